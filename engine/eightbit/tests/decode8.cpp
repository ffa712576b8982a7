#include "engine/eightbit/tests/decode8.h"

#include <string.h>

#include "engine/core/composers.h"
#include "engine/core/process_state.h"
#include "engine/core/shared_state.h"
#include "engine/eightbit/glyph_tables.h"

namespace {

// Code points in the slots' index order.
const char16_t kVowelCodes[] = {0x0B85, 0x0B86, 0x0B87, 0x0B88, 0x0B89, 0x0B8A,
                                0x0B8E, 0x0B8F, 0x0B90, 0x0B92, 0x0B93, 0x0B83};
const char16_t kSignCodes[] = {0x0BBE, 0x0BBE, 0x0BBF, 0x0BC0, 0x0BC1, 0x0BC2, 0x0BC6, 0x0BC7, 0x0BC8, 0x0BD7};
const char16_t kPulli = 0x0BCD;
const char16_t kSignO = 0x0BCA, kSignOo = 0x0BCB, kSignAu = 0x0BCC, kVowelAu = 0x0B94;

std::u16string ConsonantText(int i) {
  static const char16_t kCodes[] = {0x0B95, 0x0B99, 0x0B9A, 0x0B9E, 0x0B9F, 0x0BA3, 0x0BA4, 0x0BA8,
                                    0x0BAA, 0x0BAE, 0x0BAF, 0x0BB0, 0x0BB2, 0x0BB5, 0x0BB4, 0x0BB3,
                                    0x0BB1, 0x0BA9, 0x0BB8, 0x0BB7, 0x0B9C, 0x0BB9};
  if (i == 22) return u"\u0B95\u0BCD\u0BB7";  // க்ஷ
  return std::u16string(1, kCodes[i]);
}

enum class Kind { kUnknown, kVowel, kConsonant, kSyllable, kPrefixSign, kSign, kPulli, kOther };

struct Glyph {
  Kind kind = Kind::kUnknown;
  std::u16string text;
  int index = 0;        // vowel or sign index, for kVowel, kPrefixSign and kSign
  bool auMark = false;  // the byte is also the au length mark
};

struct Reading {
  Glyph byByte[256];
  int aaByte = -1;  // the byte of ா
};

void Put(Reading& r, BYTE b, Kind kind, const std::u16string& text, int index = 0) {
  if (b == 0) return;
  Glyph& g = r.byByte[b];
  if (g.kind != Kind::kUnknown) return;  // first meaning wins: ா over T_OLD's ி copy
  g.kind = kind;
  g.text = text;
  g.index = index;
}

GlyphTables LoadedTables(int encoding) {
  GlyphTables saved = glyphs;
  BYTE flags[] = {encTscii, encTab, encTam, encLipi, encTOld, encUnicode, syllableTables};
  encTscii = encoding == kEncTscii;
  encTab = encoding == kEncTab;
  encTam = encoding == kEncTam;
  encLipi = encoding == kEncLipi;
  encTOld = encoding == kEncTOld;
  encUnicode = 0;
  memset(&glyphs, 0, sizeof glyphs);
  LoadGlyphTables();
  GlyphTables loaded = glyphs;
  glyphs = saved;
  encTscii = flags[0];
  encTab = flags[1];
  encTam = flags[2];
  encLipi = flags[3];
  encTOld = flags[4];
  encUnicode = flags[5];
  syllableTables = flags[6];
  return loaded;
}

Reading BuildReading(int encoding) {
  const GlyphTables t = LoadedTables(encoding);
  Reading r;
  for (int n = 0; n < 12; ++n) Put(r, t.vowels[n], Kind::kVowel, std::u16string(1, kVowelCodes[n]), n);
  for (int i = 0; i < kConsonantCount; ++i) Put(r, t.consonants[i], Kind::kConsonant, ConsonantText(i));
  for (int n = kSignAa; n <= kSignAuLength; ++n) {
    BYTE b = t.vowelSigns[n];
    if (n == kSignAuLength && r.byByte[b].kind == Kind::kConsonant) {
      r.byByte[b].auMark = true;
      continue;
    }
    bool prefix = n == kSignE || n == kSignEe || n == kSignAi;
    Put(r, b, prefix ? Kind::kPrefixSign : Kind::kSign, std::u16string(1, kSignCodes[n]), n);
  }
  r.aaByte = t.vowelSigns[kSignAa];
  // TAB writes a dead consonant as consonant and separate pulli; its own slot holds full stops.
  if (encoding != kEncTab) {
    for (int i = 0; i < kConsonantCount; ++i) Put(r, t.deadConsonants[i], Kind::kSyllable, ConsonantText(i) + kPulli);
  }
  for (int i = 0; i < kTamilConsonantCount; ++i) {
    Put(r, t.consonantU[i], Kind::kSyllable, ConsonantText(i) + kSignCodes[kSignU]);
    Put(r, t.consonantUu[i], Kind::kSyllable, ConsonantText(i) + kSignCodes[kSignUu]);
  }
  for (int i = 0; i < kConsonantCount; ++i) {
    Put(r, t.consonantI[i], Kind::kSyllable, ConsonantText(i) + kSignCodes[kSignI]);
    Put(r, t.consonantIi[i], Kind::kSyllable, ConsonantText(i) + kSignCodes[kSignIi]);
  }
  Put(r, t.specialGlyphs[kSpecialTi], Kind::kSyllable, ConsonantText(4) + kSignCodes[kSignI]);
  Put(r, t.specialGlyphs[kSpecialTii], Kind::kSyllable, ConsonantText(4) + kSignCodes[kSignIi]);
  Put(r, t.specialGlyphs[kSpecialSri], Kind::kSyllable, u"\u0BB8\u0BCD\u0BB0\u0BC0");
  if (encoding == kEncLipi) {
    Put(r, t.specialGlyphs[kSpecialPulli], Kind::kOther, u"-");
    Put(r, t.specialGlyphs[kSpecialPulli + 1], Kind::kOther, u"\u2014");
  } else {
    Put(r, t.specialGlyphs[kSpecialPulli], Kind::kPulli, std::u16string(1, kPulli));
  }
  return r;
}

const Reading& ReadingOf(int encoding) {
  static Reading* readings[kEncTOld + 1] = {};
  if (encoding < kEncTscii || encoding > kEncTOld) encoding = kEncTscii;
  if (readings[encoding] == nullptr) readings[encoding] = new Reading(BuildReading(encoding));
  return *readings[encoding];
}

// Whether the byte at i is the au length mark: it is, unless it is also ள and a vowel sign or
// the pulli follows.
bool AuMarkAt(const Reading& r, const std::string& bytes, size_t i) {
  if (i >= bytes.size()) return false;
  const Glyph& g = r.byByte[static_cast<BYTE>(bytes[i])];
  if (g.kind == Kind::kSign && g.index == kSignAuLength) return true;
  if (!g.auMark) return false;
  if (i + 1 >= bytes.size()) return true;
  Kind next = r.byByte[static_cast<BYTE>(bytes[i + 1])].kind;
  return next != Kind::kSign && next != Kind::kPulli;
}

}  // namespace

std::u16string Decode8Units(const std::string& bytes, int encoding) {
  const Reading& r = ReadingOf(encoding);
  std::u16string out;
  size_t i = 0;
  while (i < bytes.size()) {
    BYTE b = static_cast<BYTE>(bytes[i]);
    const Glyph& g = r.byByte[b];
    if (g.kind == Kind::kPrefixSign && i + 1 < bytes.size() &&
        r.byByte[static_cast<BYTE>(bytes[i + 1])].kind == Kind::kConsonant) {
      out += r.byByte[static_cast<BYTE>(bytes[i + 1])].text;
      size_t after = i + 2;
      bool aa = after < bytes.size() && static_cast<BYTE>(bytes[after]) == r.aaByte;
      if (aa && g.index != kSignAi) {
        out += g.index == kSignE ? kSignO : kSignOo;
        i = after + 1;
      } else if (g.index == kSignE && AuMarkAt(r, bytes, after)) {
        out += kSignAu;
        i = after + 1;
      } else {
        out += g.text;
        i = after;
      }
      continue;
    }
    if (g.kind == Kind::kVowel && g.index == kVowO && AuMarkAt(r, bytes, i + 1)) {
      out += kVowelAu;
      i += 2;
      continue;
    }
    if (g.kind != Kind::kUnknown) {
      out += g.text;
    } else {
      out += b < 0x80 ? static_cast<char16_t>(b) : u'\uFFFD';
    }
    ++i;
  }
  return out;
}

std::string Decode8(const std::string& bytes, int encoding) { return Utf8Of(Decode8Units(bytes, encoding)); }

std::string Utf8Of(const std::u16string& units) {
  std::string out;
  for (char16_t u : units) {
    unsigned c = u;
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}
