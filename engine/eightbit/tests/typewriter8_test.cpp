// New and Old Typewriter in the five 8-bit encodings, typed through the real hook.
#include <gtest/gtest.h>

#include "engine/eightbit/tests/typewriter8_support.h"

namespace {

using t8::G;
using t8::Hex;
using Log = std::vector<std::string>;

// Expected text per encoding group: `all` unless TAB, TAM or a syllable-glyph encoding (LIPI,
// T_OLD) has its own.
struct Row {
  std::string keys;
  std::string all;
  const char* tab = nullptr;
  const char* syllable = nullptr;
  const char* tam = nullptr;
};

std::string Expected(const Row& row, int encoding) {
  if (encoding == kEncTab && row.tab != nullptr) return G(encoding, row.tab);
  if (encoding == kEncTam && row.tam != nullptr) return G(encoding, row.tam);
  if ((encoding == kEncLipi || encoding == kEncTOld) && row.syllable != nullptr) return G(encoding, row.syllable);
  return G(encoding, row.all);
}

void ExpectRows(int keyboard, const std::vector<Row>& rows) {
  for (const t8::Encoding& enc : t8::kEncodings) {
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(enc.name) + (keyboard == kKbdOldTypewriter ? " Old" : " New") + " keys \"" +
                   t8::Printable(row.keys) + "\"");
      HWND w = t8::Start(enc.number, keyboard);
      fake::Type(w, row.keys);
      EXPECT_EQ(Hex(fake::Bytes(w)), Hex(Expected(row, enc.number)));
      EXPECT_EQ(fake::HostOf(w).userUnitsErased, 0);
      EXPECT_EQ(fake::HostOf(w).erasesOnEmpty, 0);
    }
  }
}

void ExpectBothVariants(const std::vector<Row>& rows) {
  ExpectRows(kKbdNewTypewriter, rows);
  ExpectRows(kKbdOldTypewriter, rows);
}

TEST(TypewriterEightbit, GlyphKeysWriteTheirGlyph) {
  ExpectBothVariants({
      {" ", "0x20"},
      {"f", "C0"},  {"'", "C1"},  {"r", "C2"},  {"\"", "C3"}, {"l", "C4"},  {"z", "C5"},
      {"j", "C6"},  {"e", "C7"},  {"g", "C8"},  {"k", "C9"},  {"a", "C10"}, {"u", "C11"},
      {"y", "C12"}, {"t", "C13"}, {"H", "C14"}, {"s", "C15"}, {"w", "C16"}, {"d", "C17"},
      {"!", "C18"}, {"Z", "C19"}, {"$", "C20"}, {"]", "C21"}, {"B", "C22"},
      {"F", "U0"},  {"R", "U2"},  {"L", "U4"},  {"J", "U6"},  {"E", "U7"},  {"K", "U9"},
      {"q", "U5"},  {"U", "U11"}, {"Y", "U12"}, {"G", "U14"}, {"S", "U15"}, {"W", "U16"},
      {"D", "U17"}, {"T", "UU0"}, {"N", "UU2"},
      {"m", "V0"},  {"M", "V1"},  {",", "V2"},  {"<", "V3"},  {"c", "V4"},  {"C", "V5"},
      {"v", "V6"},  {"V", "V7"},  {"I", "V8"},  {"x", "V9"},  {"X", "V10"}, {"`", "V11"},
      {"o", "X0"},  {"O", "X1"},  {"_", "X2"},
      {"b", "S6"},  {"n", "S7"},  {"i", "S8"},
      {"bfh", "S6 C0 S1"},  // கொ in visual order
      {"nfh", "S7 C0 S1"},
  });
}

TEST(TypewriterEightbit, SymbolKeysWriteAsciiCharacters) {
  ExpectBothVariants({
      {"#", "'%'"}, {"*", "'''"}, {"-", "'/'"}, {".", "','"}, {"/", "'.'"}, {">", "'?'"},
      {"@", "'\"'"}, {"|", "'!'"}, {"~", "'*'"},
  });
  for (const t8::Encoding& enc : t8::kEncodings) {
    SCOPED_TRACE(enc.name);
    HWND w = t8::Start(enc.number, kKbdNewTypewriter);
    fake::Type(w, "?");
    EXPECT_EQ(Hex(fake::Bytes(w)), Hex(enc.number == kEncLipi ? G(kEncLipi, "P") : "-"));
  }
}

TEST(TypewriterEightbit, KeysWithoutARole) {
  ExpectBothVariants({
      {"A", ""}, {"Q", ""}, {"5", "'5'"}, {"()+=", "'(' ')' '+' '='"}, {"\\", "0x5C"}, {"fAm", "C0 V0"},
  });
}

TEST(TypewriterEightbit, NewSignKeyRewritesTheGlyphBefore) {
  ExpectRows(kKbdNewTypewriter, {
      {"f;", "D0", "C0 P"},
      {"fp", "C0 S2", nullptr, "CI0"},
      {"fP", "C0 S3", nullptr, "CII0"},
      {"f[", "U0"},
      {"f{", "UU0"},
      {"f:", "UU0"},
      {"d[", "U17"},
      {"!;", "D18", "C18 P"},
      {"!p", "C18 S2", nullptr, "CI18"},
      {"B[", "C22 S4"},
      {"!{", "C18 S5"},
      {"![:", "C18 S5"},  // ு on a grantha consonant becomes ூ
      {"F:", "UU0"},      // கு becomes கூ
      {"F{", "UU0"},
      {"F[", "U0"},       // ு on கு: no rule, swallowed
      {" p", "0x20 S2"},  // a bare sign after a space
      {" P", "0x20 S3"},
      {" ;", "0x20", "0x20 P", nullptr, "0x20 P"},
      {" [", "0x20"},
      {"m;", "V0"},  // no consonant: swallowed
      {"mp", "V0"},
      {";", ""},
      {"f;;", "D0", "C0 P"},  // a pulli takes no second one
      {"fA;", "D0", "C0 P"},  // a swallowed letter changes no text
  });
}

TEST(TypewriterEightbit, OldDeadKeyAppliesToTheNextGlyph) {
  ExpectRows(kKbdOldTypewriter, {
      {";f", "D0", "C0 P"},
      {"pf", "C0 S2", nullptr, "CI0"},
      {"Pf", "C0 S3", nullptr, "CII0"},
      {"[f", "U0"},
      {"{f", "UU0"},
      {":f", "UU0"},
      {"{F", "UU0"},
      {"[!", "C18 S4"},
      {"p!", "C18 S2", nullptr, "CI18"},
      {"p ", "S2"},  // the space is the base and is not written
      {"; ", "", "P", nullptr, "P"},
      {"pff", "C0 S2 C0", nullptr, "CI0 C0"},
      {"p;f", "D0", "C0 P"},  // a second dead key replaces the first
      {";m", ""},            // no consonant: swallowed, and the dead key is used up
      {";mf", "C0"},
      {"fp", "C0"},  // a dead key at the end writes nothing
  });
}

TEST(TypewriterEightbit, SpecialKeys) {
  ExpectBothVariants({
      {"fh", "C0 S1"},
      {"Fh", "UU0"},
      {"F}", "UU0"},
      {"f}", "C0"},
      {"mh", "V0"},
      {"h", ""},
      {"!%", "C18 S4"},
      {"!^", "C18 S5"},
      {"f%", "C0"},
      {"c&", "C19"},
      {"T&", "C22"},
      {"m&", "V0"},
      {"Fh}", "UU0"},  // after a special key nothing is left to rewrite
      {"c&%", "C19"},
  });
}

// The edge cases of the layouts, with TSCII's bytes written out.
TEST(TypewriterEightbit, TsciiBytes) {
  struct Case {
    int keyboard;
    const char* keys;
    std::string bytes;
  };
  const int kNew = kKbdNewTypewriter;
  const int kOld = kKbdOldTypewriter;
  const Case kCases[] = {
      {kNew, "f", "\xB8"},        {kNew, "f;", "\xEC"},        {kNew, "fp", "\xB8\xA2"},
      {kNew, "fP", "\xB8\xA3"},   {kNew, "f[", "\xCC"},        {kNew, "f{", "\xDC"},
      {kNew, "f:", "\xDC"},       {kOld, ";f", "\xEC"},        {kOld, "pf", "\xB8\xA2"},
      {kOld, "[f", "\xCC"},       {kNew, "bfh", "\xA6\xB8\xA1"}, {kNew, "Fh", "\xDC"},
      {kNew, "F}", "\xDC"},       {kNew, "!%", "\x85\xA4"},    {kNew, "c&", "\x84"},
      {kNew, "T&", "\x87"},       {kNew, " p", " \xA2"},       {kNew, "A", ""},
      {kNew, "Q", ""},            {kNew, "5", "5"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.keyboard == kOld ? "Old " : "New ") + c.keys);
    HWND w = t8::Start(kEncTscii, c.keyboard);
    fake::Type(w, c.keys);
    EXPECT_EQ(Hex(fake::Bytes(w)), Hex(c.bytes));
  }
}

TEST(TypewriterEightbit, CallsOfARewrite) {
  HWND w = t8::Start(kEncTscii, kKbdNewTypewriter);
  fake::Type(w, "f");
  fake::ClearLog();
  fake::Type(w, ";");
  EXPECT_EQ(fake::DeliveryLog(),
            (Log{"SendMessageA WM_KEYDOWN 8 0", "SendMessageA WM_CHAR 8 0", "SendMessageA WM_KEYUP 8 0",
                 "PostMessageA WM_CHAR 0xec 0"}));
  w = t8::Start(kEncTab, kKbdNewTypewriter);
  fake::Type(w, "f");
  fake::ClearLog();
  fake::Type(w, ";");
  EXPECT_EQ(fake::DeliveryLog(), (Log{"SendMessageA WM_KEYDOWN 8 0", "SendMessageA WM_CHAR 8 0", "SendMessageA WM_KEYUP 8 0",
                                      "PostMessageA WM_CHAR 0xe8 0", "PostMessageA WM_CHAR 0xa2 0"}));
  w = t8::Start(kEncTscii, kKbdOldTypewriter);
  fake::ClearLog();
  fake::Type(w, ";");
  EXPECT_EQ(fake::DeliveryLog(), Log{});
  EXPECT_EQ(shared->twPending, 1);
  fake::Type(w, "f");
  EXPECT_EQ(fake::DeliveryLog(), Log{"PostMessageA WM_CHAR 0xec 0"});
  EXPECT_EQ(shared->twPending, 0);
  EXPECT_EQ(shared->twMode, 1);  // the mode applied during that keystroke
}

TEST(TypewriterEightbit, SyllableTablesGiveOneGlyphForConsonantAndI) {
  HWND w = t8::Start(kEncTam, kKbdNewTypewriter);
  shared->syllableTables = 1;
  fake::Type(w, "fpgP");
  EXPECT_EQ(Hex(fake::Bytes(w)), Hex(G(kEncTam, "CI0 CII8")));
  // Set by another process's encoding while this one has no syllable glyphs: consonant and
  // sign, rather than erasing the consonant for an empty text.
  for (int encoding : {kEncTscii, kEncTab}) {
    w = t8::Start(encoding, kKbdNewTypewriter);
    shared->syllableTables = 1;
    fake::Type(w, "fp");
    EXPECT_EQ(Hex(fake::Bytes(w)), Hex(G(encoding, "C0 S2")));
  }
}

// Word: erases on the character 8, keeps a character for each neutralised keystroke, and gets
// one more backspace with every delivery; after an Old dead key one more, for the dead key's.
TEST(TypewriterEightbit, WordBackspaces) {
  HWND w = t8::Start(kEncTscii, kKbdOldTypewriter, t8::kWordPath);
  t8::TypeIntoWord(w, "m;");
  fake::ClearLog();
  t8::TypeIntoWord(w, "f");
  EXPECT_EQ(fake::DeliveryLog(),
            (Log{"SendMessageA WM_CHAR 8 0", "PostMessageA WM_CHAR 8 0", "PostMessageA WM_CHAR 0xec 0"}));
  EXPECT_EQ(Hex(fake::Bytes(w)), Hex("\xAB\xEC"));

  w = t8::Start(kEncTscii, kKbdNewTypewriter, t8::kWordPath);
  t8::TypeIntoWord(w, "5f;bfh");
  EXPECT_EQ(Hex(fake::Bytes(w)), Hex("5\xEC\xA6\xB8\xA1"));
  EXPECT_EQ(fake::HostOf(w).userUnitsErased, 0);
  EXPECT_EQ(fake::HostOf(w).erasesOnEmpty, 0);
}

// In Word a swallowed key leaves a character (the NUL of its keystroke), so a sign key after
// it must not erase that character in place of the glyph before it.
TEST(TypewriterEightbit, WordSwallowedKeyEndsTheSyllable) {
  struct Case {
    int keyboard;
    const char* keys;
    std::string bytes;
  };
  const Case kCases[] = {{kKbdNewTypewriter, "fA;", std::string("\xB8\0\0", 3)},
                         {kKbdNewTypewriter, "m;f;", std::string("\xAB\0\xEC", 3)},
                         {kKbdNewTypewriter, "Fh", "\xDC"},
                         {kKbdOldTypewriter, "F;}", std::string("\xCC\0", 2)}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.keys);
    HWND w = t8::Start(kEncTscii, c.keyboard, t8::kWordPath);
    t8::TypeIntoWord(w, c.keys);
    EXPECT_EQ(Hex(fake::Bytes(w)), Hex(c.bytes));
    EXPECT_EQ(fake::HostOf(w).userUnitsErased, 0);
  }
}

// The backspace for the dead key's character is sent only where that character is: not in
// another window (the dead key is shared by every process), not after a navigation key.
TEST(TypewriterEightbit, WordDeadKeyBackspaceOnlyWhereTheDeadKeyWas) {
  HWND first = t8::Start(kEncTscii, kKbdOldTypewriter, t8::kWordPath);
  HWND second = fake::NewWindow("_WwG");
  t8::TypeIntoWord(second, "5");
  t8::TypeIntoWord(first, ";");
  fake::ClearLog();
  t8::TypeIntoWord(second, "f");
  EXPECT_EQ(fake::DeliveryLog(), (Log{"PostMessageA WM_CHAR 8 0", "PostMessageA WM_CHAR 0xec 0"}));
  EXPECT_EQ(Hex(fake::Bytes(second)), Hex("5\xEC"));
  EXPECT_EQ(fake::HostOf(second).userUnitsErased, 0);

  HWND w = t8::Start(kEncTscii, kKbdOldTypewriter, t8::kWordPath);
  t8::TypeIntoWord(w, ";");
  fake::PressKey(w, VK_LEFT);
  fake::ClearLog();
  t8::TypeIntoWord(w, "f");
  EXPECT_EQ(fake::DeliveryLog(), (Log{"PostMessageA WM_CHAR 8 0", "PostMessageA WM_CHAR 0xec 0"}));

  // The dead key typed here was used up in another process; a later one comes from elsewhere.
  w = t8::Start(kEncTscii, kKbdOldTypewriter, t8::kWordPath);
  t8::TypeIntoWord(w, ";");
  shared->twPending = 0;
  t8::TypeIntoWord(w, "g");
  shared->twPending = 1;
  fake::ClearLog();
  t8::TypeIntoWord(w, "f");
  EXPECT_EQ(fake::DeliveryLog(), (Log{"PostMessageA WM_CHAR 8 0", "PostMessageA WM_CHAR 0xec 0"}));
  EXPECT_EQ(Hex(fake::Bytes(w)), Hex(std::string("\0\xC0\xEC", 3)));
}

// FRAME writes the last byte itself from the keystroke: a special key's rewrite must leave it
// there (clearing the keystroke would erase கு and write nothing).
TEST(TypewriterEightbit, FrameKeepsTheByteOfASpecialKey) {
  struct Case {
    int keyboard;
    const char* keys;
    std::string bytes;
  };
  const Case kCases[] = {{kKbdNewTypewriter, "F}", "\xDC"},        {kKbdNewTypewriter, "Fh", "\xDC"},
                         {kKbdNewTypewriter, "!%", "\x85\xA4"},    {kKbdNewTypewriter, "fh", "\xB8\xA1"},
                         {kKbdNewTypewriter, "c&", "\x84"},        {kKbdOldTypewriter, "F;}", "\xDC"},
                         {kKbdNewTypewriter, "f;", "\xEC"},        {kKbdOldTypewriter, "pf", "\xB8\xA2"}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.keys);
    HWND w = t8::Start(kEncTscii, c.keyboard, "C:\\x\\FRAME.EXE");
    fake::HostOf(w).eraseOn = fake::EraseOn::Char8;
    fake::Type(w, c.keys);
    EXPECT_EQ(Hex(fake::Bytes(w)), Hex(c.bytes));
  }
}

// After a character the application received, last is 0: a sign or special key finds nothing
// to rewrite. (Older history entries are characters of the user's; in LIPI the backslash is
// the glyph ச, and beyond ASCII any byte may equal a glyph.)
TEST(TypewriterEightbit, NothingCombinesAcrossACharacterTheApplicationReceived) {
  ExpectRows(kKbdNewTypewriter, {
      {"f5;", "C0 '5'"},
      {"f5p", "C0 '5'"},
      {"F5}", "U0 '5'"},
      {"!5%", "C18 '5'"},
      {"\\2f5;", "0x5C '2' C0 '5'"},
      {"\\5Fhp", "0x5C '5' UU0"},
      {"\xB8" "12;", "0xB8 '1' '2'"},
      {"\xE8" "5f6[", "0xE8 '5' C0 '6'"},
      {"f\b;", ""},
      {"f\r;", "C0 0x0D"},
  });
}

TEST(TypewriterEightbit, NavigationKeyClearsLast) {
  for (int keyboard : {kKbdNewTypewriter, kKbdOldTypewriter}) {
    HWND w = t8::Start(kEncTscii, keyboard);
    fake::Type(w, "F");
    fake::PressKey(w, VK_LEFT);
    fake::Type(w, "}");
    EXPECT_EQ(Hex(fake::Bytes(w)), Hex("\xCC"));
  }
}

TEST(TypewriterEightbit, RandomTypingLosesNoCharacterOfTheUser) {
  for (int keyboard : {kKbdNewTypewriter, kKbdOldTypewriter}) {
    for (const t8::Encoding& enc : t8::kEncodings) {
      for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(std::string(enc.name) + (keyboard == kKbdOldTypewriter ? " Old" : " New"));
        HWND w = t8::Start(enc.number, keyboard);
        t8::ExpectNoUserCharacterLost(w, seed * 7919u + enc.number * 31u + keyboard, 1500, false);
        w = t8::Start(enc.number, keyboard, t8::kWordPath);
        t8::ExpectNoUserCharacterLost(w, seed * 104729u + enc.number * 31u + keyboard, 600, true);
      }
    }
  }
}

}  // namespace
