#include "convert/legacy_text.h"

#include <stdio.h>
#include <string.h>

#include "engine/eightbit/glyph_slots.h"
#include "engine/eightbit/glyph_tables.h"
#include "engine/unicode/unicode_units.h"

namespace convert {
namespace {

// Input is read in pieces: what the last piece left unfinished (carry) goes in front of the next
// one, in work, which then holds the data to read; *n becomes its length.
template <typename Buffer, typename T>
const T* Joined(Buffer* carry, Buffer* work, const T* p, size_t* n) {
  if (carry->empty()) return p;
  carry->insert(carry->end(), reinterpret_cast<const typename Buffer::value_type*>(p),
                reinterpret_cast<const typename Buffer::value_type*>(p) + *n);
  work->swap(*carry);
  carry->clear();
  *n = work->size();
  return reinterpret_cast<const T*>(work->data());
}

const uint32_t kBlock = 0x0B00;
const uint32_t kReplacement = 0xFFFD;
// A problem already counted where it was found: the next stage writes the replacement for it.
const uint32_t kCounted = 0x110000;
// The au length mark alone; the engine writes it only as part of ஔ and ௌ.
const uint32_t kAuLengthMark = 0x0BD7;

enum UniSign { kUniO = 9, kUniOo = 10, kUniAu = 11, kUniPulli = 12 };
enum UniVowel { kUniVowelAu = 11, kUniAytham = 12 };

// Code points by the 8-bit tables' indices, from the Unicode composers' tables.
uint32_t VowelCode(int n) { return kBlock + kUniVowels[n == kVowAytham ? kUniAytham : n]; }
uint32_t ConsonantCode(int i) { return kBlock + kUniConsonants[i + 1]; }  // i 0 to 21
uint32_t SignCode(int n) { return n == kSignAuLength ? kAuLengthMark : kBlock + kUniSigns[n]; }
uint32_t UniSignCode(int n) { return kBlock + kUniSigns[n]; }
uint32_t LiteralCode(const unsigned char* units, int k) { return kBlock + units[k]; }
const int kKsha = 22;

// Writes c as UTF-8 at p; returns the length.
int PutUtf8(uint32_t c, char* p) {
  if (c < 0x80) {
    p[0] = static_cast<char>(c);
    return 1;
  }
  if (c < 0x800) {
    p[0] = static_cast<char>(0xC0 | (c >> 6));
    p[1] = static_cast<char>(0x80 | (c & 0x3F));
    return 2;
  }
  if (c < 0x10000) {
    p[0] = static_cast<char>(0xE0 | (c >> 12));
    p[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    p[2] = static_cast<char>(0x80 | (c & 0x3F));
    return 3;
  }
  p[0] = static_cast<char>(0xF0 | (c >> 18));
  p[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
  p[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  p[3] = static_cast<char>(0x80 | (c & 0x3F));
  return 4;
}

// ---- What each byte of an 8-bit encoding reads as ------------------------------------------

enum Kind : uint8_t {
  kPass,       // not a glyph, below 0x80: itself
  kNoGlyph,    // not a glyph, from 0x80 up: a problem
  kVowel,      // index: vowel
  kConsonant,  // index: consonant
  kText,       // a fixed text: a syllable glyph, a dead consonant, a conjunct, LIPI's dashes
  kPrefix,     // ெ ே ை, drawn before the consonant; index: sign
  kSign,       // ா ி ீ ு ூ, and TSCII's own au length mark; index: sign
  kPulli,      // the separate pulli
};

struct Glyph {
  Kind kind = kNoGlyph;
  uint8_t index = 0;
  uint8_t length = 0;
  bool auMark = false;  // a consonant byte that is also the au length mark
  uint32_t text[4] = {};
  uint8_t utf8Length = 0;  // the text as UTF-8
  char utf8[16] = {};
};

// What the encoder writes, by the tables' indices; 0 where the encoding has no glyph.
struct Writing {
  unsigned char vowel[12], consonant[23], dead[23], u[18], uu[18], sign[10], i[23], ii[23];
  unsigned char ti, tii, sri, pulli;
  unsigned char auMark;    // in ஔ and ௌ (sign[kSignAuLength] is the mark alone)
  bool syllableI;          // consonant + ி/ீ as one glyph
  unsigned char ascii[128];  // the byte of an ASCII character, or 0 where it would read as Tamil
  uint32_t otherCode[2];   // further characters with a glyph (LIPI's dashes), and their bytes
  unsigned char otherByte[2];
  unsigned char replacement;
};

struct Tables {
  Glyph glyph[256];
  int aaByte;
  Writing w;
};

void Put(Tables& t, unsigned char b, Kind kind, int index, std::initializer_list<uint32_t> text) {
  if (b == 0) return;
  Glyph& g = t.glyph[b];
  if (g.kind != kNoGlyph && g.kind != kPass) return;  // the first meaning wins: ா over T_OLD's ி copy
  g.kind = kind;
  g.index = static_cast<uint8_t>(index);
  g.length = 0;
  for (uint32_t c : text) g.text[g.length++] = c;
}

void PutConsonantText(Tables& t, unsigned char b, Kind kind, int i, std::initializer_list<uint32_t> after) {
  if (i == kKsha) {
    uint32_t ksha[4] = {LiteralCode(uni::kKsha, 0), LiteralCode(uni::kKsha, 1), LiteralCode(uni::kKsha, 2), 0};
    if (after.size() == 0) {
      Put(t, b, kind, i, {ksha[0], ksha[1], ksha[2]});
    } else {
      Put(t, b, kind, i, {ksha[0], ksha[1], ksha[2], *after.begin()});
    }
  } else if (after.size() == 0) {
    Put(t, b, kind, i, {ConsonantCode(i)});
  } else {
    Put(t, b, kind, i, {ConsonantCode(i), *after.begin()});
  }
}

void Build(Tables& t, Encoding e) {
  GlyphTables s;
  memset(&s, 0, sizeof s);
  FillGlyphSlots(&s, e);
  for (int b = 0; b < 256; ++b) t.glyph[b].kind = b < 0x80 ? kPass : kNoGlyph;

  for (int n = 0; n <= kVowAytham; ++n) Put(t, s.vowels[n], kVowel, n, {VowelCode(n)});
  for (int i = 0; i < kConsonantCount; ++i) PutConsonantText(t, s.consonants[i], kConsonant, i, {});
  for (int n = kSignAa; n <= kSignAuLength; ++n) {
    unsigned char b = s.vowelSigns[n];
    if (n == kSignAuLength && t.glyph[b].kind == kConsonant) {
      t.glyph[b].auMark = true;
      continue;
    }
    bool prefix = n == kSignE || n == kSignEe || n == kSignAi;
    Put(t, b, prefix ? kPrefix : kSign, n, {SignCode(n)});
  }
  t.aaByte = s.vowelSigns[kSignAa];
  // TAB writes a dead consonant as consonant and separate pulli; its own slot holds full stops.
  if (e != kTab) {
    for (int i = 0; i < kConsonantCount; ++i) PutConsonantText(t, s.deadConsonants[i], kText, i, {UniSignCode(kUniPulli)});
  }
  for (int i = 0; i < kTamilConsonantCount; ++i) {
    PutConsonantText(t, s.consonantU[i], kText, i, {SignCode(kSignU)});
    PutConsonantText(t, s.consonantUu[i], kText, i, {SignCode(kSignUu)});
  }
  for (int i = 0; i < kConsonantCount; ++i) {
    PutConsonantText(t, s.consonantI[i], kText, i, {SignCode(kSignI)});
    PutConsonantText(t, s.consonantIi[i], kText, i, {SignCode(kSignIi)});
  }
  const int kTta = 4;
  PutConsonantText(t, s.specialGlyphs[kSpecialTi], kText, kTta, {SignCode(kSignI)});
  PutConsonantText(t, s.specialGlyphs[kSpecialTii], kText, kTta, {SignCode(kSignIi)});
  Put(t, s.specialGlyphs[kSpecialSri], kText, 0,
      {LiteralCode(uni::kSri, 0), LiteralCode(uni::kSri, 1), LiteralCode(uni::kSri, 2), LiteralCode(uni::kSri, 3)});
  // LIPI's slot 3 is the glyph its engine types for "-", and slot 4 the long dash beside it.
  if (e == kLipi) {
    Put(t, s.specialGlyphs[kSpecialPulli], kText, 0, {'-'});
    Put(t, s.specialGlyphs[kSpecialPulli + 1], kText, 0, {0x2014});
  } else {
    Put(t, s.specialGlyphs[kSpecialPulli], kPulli, 0, {UniSignCode(kUniPulli)});
  }

  for (Glyph& g : t.glyph) {
    for (int k = 0; k < g.length; ++k) g.utf8Length += static_cast<uint8_t>(PutUtf8(g.text[k], g.utf8 + g.utf8Length));
  }

  Writing& w = t.w;
  memset(&w, 0, sizeof w);
  memcpy(w.vowel, s.vowels, sizeof w.vowel);
  memcpy(w.consonant, s.consonants, sizeof w.consonant);
  if (e != kTab) memcpy(w.dead, s.deadConsonants, sizeof w.dead);
  memcpy(w.u, s.consonantU, sizeof w.u);
  memcpy(w.uu, s.consonantUu, sizeof w.uu);
  memcpy(w.sign, s.vowelSigns, sizeof w.sign);
  memcpy(w.i, s.consonantI, sizeof w.i);
  memcpy(w.ii, s.consonantIi, sizeof w.ii);
  w.ti = s.specialGlyphs[kSpecialTi];
  w.tii = s.specialGlyphs[kSpecialTii];
  w.sri = s.specialGlyphs[kSpecialSri];
  w.pulli = t.glyph[s.specialGlyphs[kSpecialPulli]].kind == kPulli ? s.specialGlyphs[kSpecialPulli] : 0;
  w.syllableI = e == kLipi || e == kTOld;
  w.auMark = s.vowelSigns[kSignAuLength];
  // A sign alone is written only where its byte reads back as that sign (not T_OLD's ி).
  for (int n = kSignAa; n <= kSignAuLength; ++n) {
    const Glyph& g = t.glyph[w.sign[n]];
    if (g.length != 1 || g.text[0] != SignCode(n)) w.sign[n] = 0;
  }
  int others = 0;
  for (int b = 0; b < 256; ++b) {
    const Glyph& g = t.glyph[b];
    if (b < 0x80) w.ascii[b] = g.kind == kPass ? static_cast<unsigned char>(b) : 0;
    if (g.kind == kText && g.length == 1 && g.text[0] < kBlock && others < 2) {
      if (g.text[0] < 0x80) {
        w.ascii[g.text[0]] = static_cast<unsigned char>(b);  // the engine's own byte for it
      } else {
        w.otherCode[others] = g.text[0];
        w.otherByte[others++] = static_cast<unsigned char>(b);
      }
    }
  }
  w.replacement = '?';
  for (int b = 0xFF; t.glyph[w.replacement].kind != kPass && b >= 0x80; --b) {
    if (t.glyph[b].kind == kNoGlyph) w.replacement = static_cast<unsigned char>(b);
  }
}

const Tables& TablesOf(Encoding e) {
  struct All {
    Tables t[kEncodingCount];
    All() {
      for (int e = kTscii; e < kEncodingCount; ++e) Build(t[e], static_cast<Encoding>(e));
    }
  };
  static const All all;
  return all.t[e];
}

// ---- Tamil-block classes, for the encoder ---------------------------------------------------

enum Class : uint8_t { kOther, kCVowel, kCConsonant, kCSign, kCPulli, kCAuLength };
struct CodeClass {
  Class cls;
  uint8_t index;  // vowel index (8-bit tables), consonant index, or Unicode sign index (1 to 11)
};

struct BlockClasses {
  CodeClass c[128];
  BlockClasses() {
    memset(c, 0, sizeof c);
    for (int n = 0; n <= kVowAytham; ++n) c[VowelCode(n) - 0x0B80] = {kCVowel, static_cast<uint8_t>(n)};
    c[kUniVowels[kUniVowelAu] - 0x80] = {kCVowel, 12};  // ஔ
    for (int i = 0; i < kConsonantCount - 1; ++i) c[ConsonantCode(i) - 0x0B80] = {kCConsonant, static_cast<uint8_t>(i)};
    for (int n = 1; n <= kUniAu; ++n) c[kUniSigns[n] - 0x80] = {kCSign, static_cast<uint8_t>(n)};
    c[kUniSigns[kUniPulli] - 0x80] = {kCPulli, 0};
    c[kAuLengthMark - 0x0B80] = {kCAuLength, 0};
  }
};
const int kVowelAuClass = 12;

const CodeClass& ClassOf(uint32_t code) {
  static const BlockClasses classes;
  return classes.c[code - 0x0B80];
}

bool IsTamil(uint32_t c) { return c >= 0x0B80 && c <= 0x0BFF; }

// ---- Positions and problems ----------------------------------------------------------------

// Where a unit is: `offset` counts the units (bytes, or code points) before it; a line starts
// after each line feed.
struct Position {
  uint64_t line = 1, lineStart = 0, offset = 0;
  uint64_t byteOffset = 0;  // Unicode input: the bytes before it
  void NewLine(uint64_t next) {
    ++line;
    lineStart = next;
  }
  void Pass(uint32_t unit) {
    ++offset;
    if (unit == '\n') NewLine(offset);
  }
  uint64_t column() const { return offset - lineStart + 1; }
};

struct Problems {
  bool strict = false;
  bool stopped = false;
  uint64_t count = 0;
  std::vector<Problem> first;
  // Returns whether conversion goes on (with a replacement).
  bool Add(Problem::Kind kind, const Position& at, uint32_t value, uint64_t offset) {
    ++count;
    if (first.size() < Converter::kKeptProblems) {
      first.push_back(Problem{kind, at.line, at.column(), offset, value});
    }
    if (strict) stopped = true;
    return !strict;
  }
};

// ---- 8-bit to code points -------------------------------------------------------------------

class Decoder {
 public:
  Decoder(Encoding e, Problems* problems) : t_(TablesOf(e)), problems_(problems) {}

  // Decodes p[0..n) into code points (*codes) or UTF-8 (*utf8, the other null), keeping what
  // needs bytes not yet seen unless `final`.
  void Feed(const unsigned char* p, size_t n, bool final, std::vector<uint32_t>* codes, std::string* utf8) {
    const unsigned char* data = Joined(&carry_, &work_, p, &n);
    // A byte gives at most four code points (ஸ்ரீ), twelve bytes of UTF-8, written 16 at a time.
    size_t start = 0;
    if (utf8 != nullptr) {
      start = utf8->size();
      utf8->resize(start + 12 * n + 16);
      u_ = &(*utf8)[start];
    } else {
      start = codes->size();
      codes->resize(start + 4 * n);
      o_ = codes->data() + start;
    }
    char* const uStart = u_;
    uint32_t* const oStart = o_;
    size_t i = 0;
    while (i < n) {
      unsigned char b = data[i];
      const Glyph& g = t_.glyph[b];
      // Most bytes decide alone.
      if (g.kind == kPass) {
        if (u_ != nullptr) {
          *u_++ = static_cast<char>(b);
        } else {
          *o_++ = b;
        }
        ++i;
        if (b == '\n') at_.NewLine(at_.offset + i);
        continue;
      }
      if (g.kind == kConsonant || g.kind == kText || g.kind == kSign || g.kind == kPulli) {
        Emit(g);
        ++i;
        continue;
      }
      at_.offset += i;
      size_t k = Step(data + i, n - i, final);
      at_.offset -= i;
      if (k == 0) break;
      i += k;
    }
    at_.offset += i;
    if (utf8 != nullptr) {
      utf8->resize(start + (u_ - uStart));
    } else {
      codes->resize(start + (o_ - oStart));
    }
    u_ = nullptr;
    o_ = nullptr;
    if (!problems_->stopped && i < n) carry_.assign(reinterpret_cast<const char*>(data) + i, n - i);
  }

  uint64_t converted = 0;

 private:
  void Emit(const Glyph& g) {
    if (u_ != nullptr) {
      memcpy(u_, g.utf8, sizeof g.utf8);
      u_ += g.utf8Length;
    } else {
      for (int k = 0; k < g.length; ++k) *o_++ = g.text[k];
    }
    converted += g.length;
  }
  void EmitCode(uint32_t c) {
    Put(c);
    ++converted;
  }
  void Put(uint32_t c) {
    if (u_ != nullptr) {
      u_ += PutUtf8(c == kCounted ? kReplacement : c, u_);
    } else {
      *o_++ = c;
    }
  }

  // 1: the au length mark at q; 0: not; -1: the next byte decides and is not there yet.
  int AuMark(const unsigned char* q, size_t n, bool final) const {
    const Glyph& g = t_.glyph[q[0]];
    if (g.kind == kSign && g.index == kSignAuLength) return 1;
    if (!g.auMark) return 0;
    if (n < 2) return final ? 1 : -1;
    Kind next = t_.glyph[q[1]].kind;
    return next != kSign && next != kPulli ? 1 : 0;
  }

  // Bytes consumed from p, or 0 when more are needed; the glyphs that look at the bytes after them.
  size_t Step(const unsigned char* p, size_t n, bool final) {
    const Glyph& g = t_.glyph[p[0]];
    switch (g.kind) {
      case kNoGlyph:
        if (!problems_->Add(Problem::kNoGlyph, at_, p[0], at_.offset)) return 0;
        Put(kCounted);
        return 1;
      case kPrefix: {
        if (n < 3 && !final) return 0;
        if (n < 2 || t_.glyph[p[1]].kind != kConsonant) break;
        const Glyph& c = t_.glyph[p[1]];
        if (n >= 3 && p[2] == t_.aaByte && g.index != kSignAi) {
          Emit(c);
          EmitCode(UniSignCode(g.index == kSignE ? kUniO : kUniOo));
          return 3;
        }
        if (n >= 3 && g.index == kSignE) {
          int mark = AuMark(p + 2, n - 2, final);
          if (mark < 0) return 0;
          if (mark > 0) {
            Emit(c);
            EmitCode(UniSignCode(kUniAu));
            return 3;
          }
        }
        Emit(c);
        Emit(g);
        return 2;
      }
      case kVowel:
        if (g.index != kVowO) break;
        if (n < 2) {
          if (!final) return 0;
          break;
        }
        switch (AuMark(p + 1, n - 1, final)) {
          case -1: return 0;
          case 1:
            EmitCode(kBlock + kUniVowels[kUniVowelAu]);
            return 2;
          default: break;
        }
        break;
      default:
        break;
    }
    Emit(g);
    return 1;
  }

  const Tables& t_;
  Problems* problems_;
  Position at_;
  uint32_t* o_ = nullptr;
  char* u_ = nullptr;
  std::string carry_, work_;
};

// ---- Code points to 8-bit -------------------------------------------------------------------

class Encoder {
 public:
  Encoder(Encoding e, Problems* problems) : t_(TablesOf(e)), w_(t_.w), problems_(problems) {}

  void Feed(const uint32_t* c, size_t n, bool final, std::string* out) {
    out_ = out;
    c = Joined(&carry_, &work_, c, &n);
    size_t i = 0;
    while (i < n && !problems_->stopped) {
      size_t k = Step(c + i, n - i, final);
      if (k == 0) break;
      for (size_t j = 0; j < k; ++j) at_.Pass(c[i + j]);
      i += k;
    }
    if (!problems_->stopped && i < n) carry_.assign(c + i, c + n);
  }

  uint64_t converted = 0;

 private:
  // The longest syllable: க ் ஷ, then ெ ா.
  static const size_t kLookahead = 5;

  void Put(unsigned char b) { out_->push_back(static_cast<char>(b)); }

  // Writes the bytes (all present), or reports the character at c[0].
  bool Write(std::initializer_list<unsigned char> bytes, uint32_t code, size_t length) {
    for (unsigned char b : bytes) {
      if (b == 0) return Fail(code);
    }
    for (unsigned char b : bytes) Put(b);
    converted += length;
    return true;
  }
  bool Fail(uint32_t code) {
    if (!problems_->Add(Problem::kCannotWrite, at_, code, 0)) return false;
    Put(w_.replacement);
    return true;
  }

  // A consonant with a Unicode sign index (0 none, 1 to 11 the signs, 12 pulli).
  bool Syllable(int i, int sign, uint32_t code, size_t length) {
    const Writing& w = w_;
    unsigned char c = w.consonant[i];
    const int kTta = 4;
    switch (sign) {
      case 0: return Write({c}, code, length);
      case kUniPulli:
        if (w.dead[i] != 0) return Write({w.dead[i]}, code, length);
        return Write({c, w.pulli}, code, length);
      case kSignAa: return Write({c, w.sign[kSignAa]}, code, length);
      case kSignI:
      case kSignIi: {
        bool ii = sign == kSignIi;
        if (i == kTta) return Write({ii ? w.tii : w.ti}, code, length);
        if (w.syllableI) return Write({ii ? w.ii[i] : w.i[i]}, code, length);
        return Write({c, w.sign[sign]}, code, length);
      }
      case kSignU:
      case kSignUu: {
        bool uu = sign == kSignUu;
        if (i < kTamilConsonantCount) return Write({uu ? w.uu[i] : w.u[i]}, code, length);
        return Write({c, w.sign[sign]}, code, length);
      }
      case kSignE:
      case kSignEe:
      case kSignAi: return Write({w.sign[sign], c}, code, length);
      case kUniO: return Write({w.sign[kSignE], c, w.sign[kSignAa]}, code, length);
      case kUniOo: return Write({w.sign[kSignEe], c, w.sign[kSignAa]}, code, length);
      case kUniAu: return Write({w.sign[kSignE], c, w.auMark}, code, length);
      default: return Fail(code);
    }
  }

  static bool Is(const uint32_t* c, size_t n, size_t k, uint32_t code) { return k < n && c[k] == code; }

  // Code points consumed from c, or 0 when more are needed (or strict mode stopped).
  size_t Step(const uint32_t* c, size_t n, bool final) {
    uint32_t x = c[0];
    if (x < 0x80) {
      if (w_.ascii[x] != 0 || x == 0) {  // 0 is never a glyph
        Put(w_.ascii[x]);
        return 1;
      }
      return Fail(x) ? 1 : 0;
    }
    if (x == kCounted) {
      Put(w_.replacement);
      return 1;
    }
    if (!IsTamil(x)) {
      for (int k = 0; k < 2; ++k) {
        if (w_.otherCode[k] == x) {
          Put(w_.otherByte[k]);
          return 1;
        }
      }
      return Fail(x) ? 1 : 0;
    }
    const CodeClass& cc = ClassOf(x);
    switch (cc.cls) {
      case kCConsonant: {
        if (n <= kLookahead && !final) return 0;
        const uint32_t pulli = UniSignCode(kUniPulli);
        int i = cc.index;
        size_t length = 1;
        if (x == LiteralCode(uni::kKsha, 0) && Is(c, n, 1, pulli) && Is(c, n, 2, LiteralCode(uni::kKsha, 2))) {
          i = kKsha;
          length = 3;
        } else if (x == LiteralCode(uni::kSri, 0) && Is(c, n, 1, pulli) && Is(c, n, 2, LiteralCode(uni::kSri, 2)) &&
                   Is(c, n, 3, LiteralCode(uni::kSri, 3))) {
          return Write({w_.sri}, x, 4) ? 4 : 0;
        }
        int sign = 0;
        if (length < n) {
          const uint32_t s = c[length];
          if (IsTamil(s) && ClassOf(s).cls == kCSign) {
            sign = ClassOf(s).index;
            ++length;
            uint32_t second = length < n ? c[length] : 0;
            // ொ ோ ௌ in their two parts
            if (sign == kSignE && second == UniSignCode(kSignAa)) {
              sign = kUniO;
              ++length;
            } else if (sign == kSignEe && second == UniSignCode(kSignAa)) {
              sign = kUniOo;
              ++length;
            } else if (sign == kSignE && second == kAuLengthMark) {
              sign = kUniAu;
              ++length;
            }
          } else if (s == pulli) {
            sign = kUniPulli;
            ++length;
          }
        }
        return Syllable(i, sign, x, length) ? length : 0;
      }
      case kCVowel:
        if (cc.index == kVowO) {
          if (n < 2 && !final) return 0;
          if (Is(c, n, 1, kAuLengthMark)) return Write({w_.vowel[kVowO], w_.auMark}, x, 2) ? 2 : 0;
        }
        if (cc.index == kVowelAuClass) return Write({w_.vowel[kVowO], w_.auMark}, x, 1) ? 1 : 0;
        return Write({w_.vowel[cc.index]}, x, 1) ? 1 : 0;
      case kCSign:
        if (cc.index == kUniO) return Write({w_.sign[kSignE], w_.sign[kSignAa]}, x, 1) ? 1 : 0;
        if (cc.index == kUniOo) return Write({w_.sign[kSignEe], w_.sign[kSignAa]}, x, 1) ? 1 : 0;
        if (cc.index == kUniAu) return Write({w_.sign[kSignE], w_.auMark}, x, 1) ? 1 : 0;
        return Write({w_.sign[cc.index]}, x, 1) ? 1 : 0;
      case kCPulli: return Write({w_.pulli}, x, 1) ? 1 : 0;
      case kCAuLength: return Write({w_.sign[kSignAuLength]}, x, 1) ? 1 : 0;
      default: return Fail(x) ? 1 : 0;
    }
  }

  const Tables& t_;
  const Writing& w_;
  Problems* problems_;
  Position at_;
  std::string* out_ = nullptr;
  std::vector<uint32_t> carry_, work_;
};

// ---- Unicode text to and from code points ---------------------------------------------------

class UnicodeReader {
 public:
  explicit UnicodeReader(Problems* problems) : problems_(problems) {}

  void Feed(const unsigned char* p, size_t n, bool final, std::vector<uint32_t>* out) {
    const unsigned char* data = Joined(&carry_, &work_, p, &n);
    size_t i = 0;
    if (!started_) {
      if (n < 3 && !final) {
        carry_.assign(reinterpret_cast<const char*>(data), n);
        return;
      }
      started_ = true;
      if (n >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
        i = 3;
      } else if (n >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
        utf16_ = 1;
        i = 2;
      } else if (n >= 2 && data[0] == 0xFE && data[1] == 0xFF) {
        utf16_ = 2;
        i = 2;
      }
      at_.byteOffset = i;
    }
    while (i < n && !problems_->stopped) {
      size_t k = utf16_ ? Utf16Step(data + i, n - i, final, out) : Utf8Step(data + i, n - i, final, out);
      if (k == 0) break;
      at_.byteOffset += k;
      i += k;
    }
    if (!problems_->stopped && i < n) carry_.assign(reinterpret_cast<const char*>(data) + i, n - i);
  }

 private:
  size_t Good(uint32_t code, size_t length, std::vector<uint32_t>* out) {
    out->push_back(code);
    at_.Pass(code);
    return length;
  }
  size_t Bad(uint32_t value, size_t length, std::vector<uint32_t>* out) {
    if (!problems_->Add(Problem::kInvalidUtf, at_, value, at_.byteOffset)) return 0;
    out->push_back(kCounted);
    at_.Pass(kCounted);
    return length;
  }

  size_t Utf8Step(const unsigned char* p, size_t n, bool final, std::vector<uint32_t>* out) {
    unsigned char b = p[0];
    if (b < 0x80) return Good(b, 1, out);
    size_t length;
    uint32_t code;
    unsigned char low = 0x80, high = 0xBF;  // bounds of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
      length = 2;
      code = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      length = 3;
      code = b & 0x0F;
      if (b == 0xE0) low = 0xA0;
      if (b == 0xED) high = 0x9F;  // no surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
      length = 4;
      code = b & 0x07;
      if (b == 0xF0) low = 0x90;
      if (b == 0xF4) high = 0x8F;
    } else {
      return Bad(b, 1, out);
    }
    for (size_t k = 1; k < length; ++k) {
      if (k >= n) return final ? Bad(b, k, out) : 0;
      unsigned char next = p[k];
      if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return Bad(b, k, out);
      code = (code << 6) | (next & 0x3F);
    }
    return Good(code, length, out);
  }

  size_t Utf16Step(const unsigned char* p, size_t n, bool final, std::vector<uint32_t>* out) {
    auto unit = [&](size_t k) -> uint32_t {
      return utf16_ == 1 ? p[k] | (p[k + 1] << 8) : (p[k] << 8) | p[k + 1];
    };
    if (n < 2) return final ? Bad(p[0], 1, out) : 0;
    uint32_t u = unit(0);
    if (u < 0xD800 || u > 0xDFFF) return Good(u, 2, out);
    if (u >= 0xDC00) return Bad(u, 2, out);
    if (n < 4) return final ? Bad(u, n >= 2 ? 2 : n, out) : 0;
    uint32_t v = unit(2);
    if (v < 0xDC00 || v > 0xDFFF) return Bad(u, 2, out);
    return Good(0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00), 4, out);
  }

  Problems* problems_;
  Position at_;
  bool started_ = false;
  int utf16_ = 0;  // 1 little-endian, 2 big-endian
  std::string carry_, work_;
};

void AppendUtf8(const std::vector<uint32_t>& codes, std::string* out) {
  size_t at = out->size();
  out->resize(at + codes.size() * 4);
  char* start = &(*out)[at];
  char* p = start;
  for (uint32_t c : codes) p += PutUtf8(c == kCounted ? kReplacement : c, p);
  out->resize(at + (p - start));
}

void AppendUtf16(const std::vector<uint32_t>& codes, std::string* out) {
  auto unit = [out](uint32_t u) {
    out->push_back(static_cast<char>(u & 0xFF));
    out->push_back(static_cast<char>(u >> 8));
  };
  for (uint32_t c : codes) {
    if (c == kCounted) c = kReplacement;
    if (c < 0x10000) {
      unit(c);
    } else {
      unit(0xD800 + ((c - 0x10000) >> 10));
      unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
  }
}

const char* const kNames[kEncodingCount] = {"unicode", "tscii", "tab", "tam", "lipi", "t_old"};

}  // namespace

bool EncodingFromName(const std::string& name, Encoding* encoding) {
  std::string lower;
  for (char c : name) lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  if (lower == "t-old" || lower == "told") lower = "t_old";
  for (int e = 0; e < kEncodingCount; ++e) {
    if (lower == kNames[e]) {
      *encoding = static_cast<Encoding>(e);
      return true;
    }
  }
  return false;
}

const char* EncodingName(Encoding encoding) { return kNames[encoding]; }

std::string AsciiGlyphs(Encoding encoding) {
  std::string glyphs;
  if (encoding == kUnicode) return glyphs;
  const Tables& t = TablesOf(encoding);
  for (int b = 0x20; b < 0x80; ++b) {
    if (t.glyph[b].kind != kPass) glyphs += static_cast<char>(b);
  }
  return glyphs;
}

std::string Describe(const Problem& p, Encoding from, Encoding to) {
  char text[160];
  char where[64];
  if (p.offset != 0 || p.kind != Problem::kCannotWrite) {
    snprintf(where, sizeof where, "line %llu, column %llu (byte %llu)", static_cast<unsigned long long>(p.line),
             static_cast<unsigned long long>(p.column), static_cast<unsigned long long>(p.offset));
  } else {
    snprintf(where, sizeof where, "line %llu, column %llu", static_cast<unsigned long long>(p.line),
             static_cast<unsigned long long>(p.column));
  }
  switch (p.kind) {
    case Problem::kNoGlyph:
      snprintf(text, sizeof text, "%s: byte 0x%02X is no %s glyph", where, p.value, EncodingName(from));
      break;
    case Problem::kInvalidUtf:
      snprintf(text, sizeof text, "%s: invalid %s (0x%02X)", where, p.value > 0xFF ? "UTF-16" : "UTF-8", p.value);
      break;
    case Problem::kCannotWrite:
      snprintf(text, sizeof text, "%s: U+%04X cannot be written in %s", where, p.value, EncodingName(to));
      break;
  }
  return text;
}

struct Converter::State {
  Encoding from, to;
  Options options;
  Problems problems;
  Decoder* decoder = nullptr;
  UnicodeReader* reader = nullptr;
  Encoder* encoder = nullptr;
  std::vector<uint32_t> codes;
  bool bomWritten = false;

  void Run(const char* data, size_t size, bool final, std::string* out) {
    codes.clear();
    const unsigned char* p = reinterpret_cast<const unsigned char*>(data);
    if (decoder != nullptr && encoder == nullptr && !options.utf16Output) {
      decoder->Feed(p, size, final, nullptr, out);
      return;
    }
    if (decoder != nullptr) {
      decoder->Feed(p, size, final, &codes, nullptr);
    } else {
      reader->Feed(p, size, final, &codes);
    }
    if (encoder != nullptr) {
      encoder->Feed(codes.data(), codes.size(), final, out);
    } else if (options.utf16Output) {
      if (!bomWritten) {
        out->append("\xFF\xFE", 2);
        bomWritten = true;
      }
      AppendUtf16(codes, out);
    } else {
      AppendUtf8(codes, out);
    }
  }
};

Converter::Converter(Encoding from, Encoding to, const Options& options) : state_(new State) {
  state_->from = from;
  state_->to = to;
  state_->options = options;
  state_->problems.strict = options.strict;
  if (from == kUnicode) {
    state_->reader = new UnicodeReader(&state_->problems);
  } else {
    state_->decoder = new Decoder(from, &state_->problems);
  }
  if (to != kUnicode) state_->encoder = new Encoder(to, &state_->problems);
}

Converter::~Converter() {
  delete state_->decoder;
  delete state_->reader;
  delete state_->encoder;
  delete state_;
}

bool Converter::Feed(const char* data, size_t size, std::string* out) {
  if (!state_->problems.stopped) state_->Run(data, size, false, out);
  return !state_->problems.stopped;
}

bool Converter::Finish(std::string* out) {
  if (!state_->problems.stopped) state_->Run("", 0, true, out);
  return !state_->problems.stopped;
}

uint64_t Converter::converted() const {
  return state_->encoder != nullptr ? state_->encoder->converted
                                    : state_->decoder != nullptr ? state_->decoder->converted : 0;
}
uint64_t Converter::problemCount() const { return state_->problems.count; }
const std::vector<Problem>& Converter::problems() const { return state_->problems.first; }
bool Converter::stopped() const { return state_->problems.stopped; }

std::string Convert(const std::string& text, Encoding from, Encoding to, uint64_t* problems) {
  Converter c(from, to);
  std::string out;
  c.Feed(text.data(), text.size(), &out);
  c.Finish(&out);
  if (problems != nullptr) *problems = c.problemCount();
  return out;
}

}  // namespace convert
