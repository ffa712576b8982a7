// The phonetic 8-bit composer never erases or builds on a character it did not write: keys that
// reach the application (even where their byte equals a glyph), the engine's own character left
// in the message under FRAME, tables that lack a glyph. Ends with the random-typing property.
#include <gtest/gtest.h>

#include <string.h>

#include <random>

#include "engine/core/process_state.h"
#include "engine/eightbit/tests/glyph_notation.h"
#include "engine/eightbit/tests/phonetic8_support.h"

namespace {

using namespace phonetic8;

const Target& TargetOf(int encoding) {
  for (const Target& t : kSetups) {
    if (t.encoding == encoding) return t;
  }
  return kSetups[0];
}

struct Case {
  int encoding;
  const char* keys;
  const char* text;  // glyph notation
};

void ExpectTyped(HWND w, const Case& c) {
  EXPECT_EQ(Hex(fake::Bytes(w)), Hex(Glyphs(c.encoding, c.text)));
  EXPECT_EQ(fake::HostOf(w).userUnitsErased, 0);
  EXPECT_EQ(fake::HostOf(w).erasesOnEmpty, 0);
}

// What the history keeps of a passed character (itself below 0x21, else 0x7F), and in place of
// the au length mark of ஔ and ௌ (0x80), must never equal a glyph, or a later rule would take it
// for one.
TEST(Phonetic8Safety, NoGlyphIsAControlCharacterSpaceOrAStandIn) {
  const struct {
    const char* slot;
    int count;
  } kSlots[] = {{"vowels", 12},     {"deadConsonants", 23}, {"consonants", 23},
                {"consonantU", 18}, {"consonantUu", 18},    {"vowelSigns", 10},
                {"specialGlyphs", 5}, {"consonantI", 23},   {"consonantIi", 23}};
  for (int e = kEncTscii; e <= kEncTOld; ++e) {
    for (const auto& slot : kSlots) {
      for (int i = 0; i < slot.count; ++i) {
        int b = GoldenGlyph(e, slot.slot, i);
        if (b == 0) continue;
        EXPECT_TRUE(b >= 0x21 && b != 0x7F && b != 0x80) << e << " " << slot.slot << "[" << i << "]";
      }
    }
  }
}

// In TAB a full stop is every deadConsonants entry. Typed, it is the user's character: the
// next key neither erases it nor adds a sign to it.
TEST(Phonetic8Safety, TypedCharacterEqualToAGlyphIsNotCombined) {
  const Case kCases[] = {
      {kEncTab, ".a", "'. V0"},  {kEncTab, ".g", "'."},    {kEncTab, ".h", "'. C21 P"},
      {kEncTab, ".j", "'. C20 P"}, {kEncTab, ".-", "'. '-"}, {kEncTab, ".i", "'. V2"},
      {kEncTab, ".u", "'. V4"},  {kEncTab, ".e", "'. V6"},  {kEncTab, ".r", "'. C11 P"},
      {kEncTab, "k.a", "C0 P '. V0"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(TargetOf(c.encoding).name) + " " + c.keys);
    HWND w = Start(TargetOf(c.encoding));
    fake::Type(w, c.keys);
    ExpectTyped(w, c);
  }
}

// In LIPI and T_OLD the printable characters are glyphs of the font: typed, they are letters,
// and the rules build on them as on the composer's own.
TEST(Phonetic8Safety, TypedGlyphOfTheFontCombines) {
  const Case kCases[] = {
      {kEncLipi, "[a", "C1"},             // [ is ங் (D1)
      {kEncLipi, "\\a", "C2 S1"},        // \ is ச (C2)
      {kEncLipi, "|i", "S8 C7"},          // | is ந (C7)
      {kEncLipi, "{i", "CII7"},           // { is நி (CI7)
      {kEncLipi, "~u", "UU7"},            // ~ is நு (U7)
      {kEncTOld, "#u", "S6 C20 S9"},      // # is ஜ (C20)
      {kEncTOld, "[i", "S8 C18"},         // [ is ஸ (C18)
      {kEncTOld, "&u", "S5"},             // & is ு (S4)
      {kEncTOld, "5a", "'5 V0"},          // a digit is no glyph
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(TargetOf(c.encoding).name) + " " + c.keys);
    HWND w = Start(TargetOf(c.encoding));
    fake::Type(w, c.keys);
    EXPECT_EQ(Hex(fake::Bytes(w)), Hex(Glyphs(c.encoding, c.text)));
    EXPECT_EQ(fake::HostOf(w).erasesOnEmpty, 0);
  }
}

// The encoding can change after a process copied its tables; the full stops of TAB's
// deadConsonants then meet the single-byte rules, and a typed full stop must still stand.
// Another process selects another encoding: the tables follow it, and the text is that encoding's.
TEST(Phonetic8Safety, TablesFollowTheEncodingAnotherProcessSelects) {
  for (const char* keys : {".a.h.i", "k-ki"}) {
    HWND w = Start(TargetOf(kEncLipi));
    fake::Type(w, keys);
    std::string lipi = fake::Bytes(w);
    w = Start(TargetOf(kEncTab));
    SetTamilEncodings(kEncLipi);
    fake::Type(w, keys);
    EXPECT_EQ(Hex(fake::Bytes(w)), Hex(lipi));
    EXPECT_EQ(fake::HostOf(w).userUnitsErased, 0);
  }
}

// SOFFI widens bytes 0x80-0xFF to negative values; they pass as non-letters, whatever their low
// byte matches.
TEST(Phonetic8Safety, WidenedBytesUnderSoffiAreNotGlyphs) {
  const struct {
    int encoding;
    const char* keys;
    const char* text;
  } kCases[] = {
      {kEncTscii, "\xB8i", "V2"},      // low byte is க
      {kEncTscii, "\xB8" "a", "V0"},
      {kEncTab, "\xE8\xA2" "a", "V0"},  // low bytes are க and the pulli
      {kEncTscii, "\xF3g", ""},         // low byte is ந்
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(TargetOf(c.encoding).name) + " " + Hex(c.keys));
    HWND w = fake::StartProcess("C:\\Office\\SOFFICE.EXE");
    SetTamilEncodings(c.encoding);
    SetTamilKeyboard(kKbdPhonetic);
    fake::PressToggle(w);
    fake::ClearLog();
    fake::Type(w, c.keys);
    EXPECT_EQ(ErasesInLog(), 0);
    // The widened byte reaches the host as the user typed it, before the next key's glyph.
    std::string typed(c.keys, strlen(c.keys) - 1);
    EXPECT_EQ(Hex(fake::Bytes(w)), Hex(typed + Glyphs(c.encoding, c.text)));
  }
}

// Under FRAME the application writes the last byte itself, from the message. After a prefix
// repair that byte is the engine's glyph; in T_OLD it can equal a letter key (க is 'f', ா is
// 'h') and must not be composed as one.
TEST(Phonetic8Safety, FrameKeepsTheRepairedSyllableInTheMessage) {
  const Case kCases[] = {
      {kEncTOld, "kee", "S7 C0"},     {kEncTOld, "koo", "S7 C0 S1"}, {kEncTOld, "keea", "S7 C0 V0"},
      {kEncTOld, "mee", "S7 C9"},     {kEncLipi, "keek", "S7 C0 D0"}, {kEncTscii, "kooa", "S7 C0 S1 V0"},
      {kEncTOld, "srn", "X2 D7"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(TargetOf(c.encoding).name) + " " + c.keys);
    HWND w = fake::StartProcess("C:\\Adobe\\FRAMEMAKER.EXE");
    fake::HostOf(w).eraseOn = fake::EraseOn::Char8;
    SetTamilEncodings(c.encoding);
    SetTamilKeyboard(kKbdPhonetic);
    fake::PressToggle(w);
    fake::Type(w, c.keys);
    EXPECT_EQ(Hex(fake::Bytes(w)), Hex(Glyphs(c.encoding, c.text)));
    EXPECT_EQ(fake::HostOf(w).erasesOnEmpty, 0);
  }
}

// T_OLD's ி entry is the byte of ா; ா followed by i is ா and இ, not ீ.
TEST(Phonetic8Safety, ToldAaIsNotLengthenedByI) {
  const Case kCases[] = {
      {kEncTOld, "kaai", "C0 S1 V2"},
      {kEncTOld, "kAi", "C0 S1 V2"},
      {kEncTOld, "kii", "CII0"},
      {kEncTscii, "kii", "C0 S3"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(TargetOf(c.encoding).name) + " " + c.keys);
    HWND w = Start(TargetOf(c.encoding));
    fake::Type(w, c.keys);
    ExpectTyped(w, c);
  }
}

// ௌ is three bytes; e after it must not take its last two for ெ and a consonant.
TEST(Phonetic8Safety, AuSyllableIsClosed) {
  for (const Target& t : kSetups) {
    SCOPED_TRACE(t.name);
    HWND w = Start(t);
    fake::Type(w, "kaue");
    EXPECT_EQ(Hex(fake::Bytes(w)), Hex(Glyphs(t.encoding, "S6 C0 S9 V6")));
    w = Start(t);
    fake::Type(w, "kauo");
    EXPECT_EQ(Hex(fake::Bytes(w)), Hex(Glyphs(t.encoding, "S6 C0 S9 V9")));
  }
}

// TAB's consonant + ூ leaves the syllable in the history like + ு, so n after it is ன் (மூன்று).
TEST(Phonetic8Safety, TabUuLeavesTheSyllableBehindIt) {
  HWND w = Start(TargetOf(kEncTab));
  fake::Type(w, "mUnRu");
  EXPECT_EQ(Hex(fake::Bytes(w)), Hex(Glyphs(kEncTab, "UU9 C17 P U16")));
}

// syllableTables is shared: a TAM process in KAVIT may set it for a process that loaded TSCII,
// whose consonantI slot is empty. Consonant + i is then written with the sign, not as nothing.
TEST(Phonetic8Safety, SyllableGlyphsOnlyWhereTheTablesHoldThem) {
  const struct {
    const char* keys;
    const char* text;
  } kCases[] = {{"ki", "C0 S2"}, {"kii", "C0 S3"}, {"kI", "C0 S3"}, {"ti", "X0"}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.keys);
    HWND w = Start(TargetOf(kEncTscii));
    shared->syllableTables = 1;
    fake::Type(w, c.keys);
    EXPECT_EQ(Hex(fake::Bytes(w)), Hex(Glyphs(kEncTscii, c.text)));
  }
}

// Characters typed while Tamil is off, or repeated by a held key, reach the application
// uncomposed; the next Tamil key must not erase them.
TEST(Phonetic8Safety, UncomposedKeysEndTheSyllable) {
  for (const Target& t : kSetups) {
    SCOPED_TRACE(t.name);
    HWND w = Start(t);
    fake::Type(w, "naan");
    fake::PressToggle(w);
    fake::Type(w, " PC ");
    fake::PressToggle(w);
    fake::Type(w, "a");
    EXPECT_EQ(fake::HostOf(w).userUnitsErased, 0);
    EXPECT_EQ(fake::Bytes(w).substr(fake::Bytes(w).size() - 5), " PC " + Glyphs(t.encoding, "V0"));

    w = Start(t);
    fake::Type(w, "k");
    fake::Retrieve(MSG{w, WM_CHAR, 'k', 1 | (1 << 30), 0, {0, 0}}, true);  // auto-repeat
    fake::Type(w, "a");
    EXPECT_EQ(fake::HostOf(w).userUnitsErased, 0);
    EXPECT_EQ(fake::HostOf(w).erasesOnEmpty, 0);
  }
}

// Random typing: letters, digits, punctuation (among them bytes that are glyphs in some
// encoding), space, Enter, Tab, arrows, Tamil off and on. No character the user typed is ever
// erased, and no backspace finds nothing to erase.
TEST(Phonetic8Property, NoUserCharacterIsLost) {
  const std::string kKeys =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZaeiouaeiounnkrs"
      "0123456789 .,-;[]{}|~#&<>?%$^_`\\'\"!@*()+=/\r\t";
  const char kLeft = '\x01', kToggle = '\x02';
  const int kSequences = 60, kLength = 120;
  std::vector<Target> targets(std::begin(kSetups), std::end(kSetups));
  targets.push_back({"TSCII in SOFFI", kEncTscii, "C:\\Office\\SOFFICE.EXE", 0});
  targets.push_back({"LIPI in SOFFI", kEncLipi, "C:\\Office\\SOFFICE.EXE", 0});
  targets.push_back({"TAB in SOFFI", kEncTab, "C:\\Office\\SOFFICE.EXE", 0});
  for (const Target& t : targets) {
    for (int n = 0; n < kSequences; ++n) {
      unsigned seed = 0x5EED0000u + static_cast<unsigned>(n) * 131u + static_cast<unsigned>(t.encoding);
      std::mt19937 random(seed);
      HWND w = Start(t);
      fake::HostOf(w).typedGlyphs = fake::TypedGlyphs();
      bool soffi = std::string(t.module).find("SOFFI") != std::string::npos;
      std::string typed;
      for (int i = 0; i < kLength; ++i) {
        const int keys = static_cast<int>(kKeys.size());
        int pick = static_cast<int>(random() % (keys + 12));
        char key;
        if (pick < keys) {
          key = kKeys[pick];
        } else if (pick < keys + 2) {
          key = kLeft;
        } else if (pick < keys + 8) {
          key = kToggle;
        } else {
          key = static_cast<char>(soffi ? 0x80 + random() % 0x80 : 'a');
        }
        typed += key;
        if (key == kLeft) {
          fake::PressKey(w, VK_LEFT);
        } else if (key == kToggle) {
          fake::PressToggle(w);
        } else {
          fake::Type(w, std::string(1, key));
        }
        const fake::Host& host = fake::HostOf(w);
        if (host.userUnitsErased != 0 || host.erasesOnEmpty != 0) {
          ADD_FAILURE() << t.name << " seed " << seed << ": after keys \"" << Hex(typed) << "\" (hex; 01 is Left, "
                        << "02 the toggle) " << host.userUnitsErased << " user characters erased, "
                        << host.erasesOnEmpty << " backspaces into nothing";
          break;
        }
      }
    }
  }
}

}  // namespace
