// Tamil99 in the five 8-bit encodings, typed through the real hook into the host model.
#include <gtest/gtest.h>

#include "engine/eightbit/tests/typewriter8_support.h"

namespace {

using t8::G;
using t8::Hex;
using Log = std::vector<std::string>;

// Expected text per encoding group: `all` unless TAB (separate pulli) or a syllable-glyph
// encoding (LIPI, T_OLD) has its own.
struct Row {
  std::string keys;
  std::string all;
  const char* tab = nullptr;
  const char* syllable = nullptr;
};

std::string Expected(const Row& row, int encoding) {
  if (encoding == kEncTab && row.tab != nullptr) return G(encoding, row.tab);
  if ((encoding == kEncLipi || encoding == kEncTOld) && row.syllable != nullptr) return G(encoding, row.syllable);
  return G(encoding, row.all);
}

void ExpectRows(const std::vector<Row>& rows) {
  for (const t8::Encoding& enc : t8::kEncodings) {
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(enc.name) + " keys \"" + t8::Printable(row.keys) + "\"");
      HWND w = t8::Start(enc.number, kKbdTamil99);
      fake::Type(w, row.keys);
      EXPECT_EQ(Hex(fake::Bytes(w)), Hex(Expected(row, enc.number)));
      EXPECT_EQ(fake::HostOf(w).userUnitsErased, 0);
      EXPECT_EQ(fake::HostOf(w).erasesOnEmpty, 0);
    }
  }
}

TEST(Tamil99Eightbit, ConsonantKeysWriteTheirConsonant) {
  ExpectRows({
      {"h", "C0"},  {"b", "C1"},  {"[", "C2"},  {"]", "C3"},  {"o", "C4"},  {"p", "C5"},
      {"l", "C6"},  {";", "C7"},  {"j", "C8"},  {"k", "C9"},  {"'", "C10"}, {"m", "C11"},
      {"n", "C12"}, {"v", "C13"}, {"/", "C14"}, {"y", "C15"}, {"u", "C16"}, {"i", "C17"},
      {"Q", "C18"}, {"W", "C19"}, {"E", "C20"}, {"R", "C21"}, {"T", "C22"}, {"Y", "X2"},
  });
}

TEST(Tamil99Eightbit, PulliPairsGiveTheFirstConsonantAPulli) {
  ExpectRows({
      {"hh", "D0 C0", "C0 P C0"},
      {"hhh", "D0 C0 C0", "C0 P C0 C0"},
      {"QQ", "D18 C18", "C18 P C18"},
      {"bh", "D1 C0", "C1 P C0"},
      {"][", "D3 C2", "C3 P C2"},
      {"po", "D5 C4", "C5 P C4"},
      {";l", "D7 C6", "C7 P C6"},
      {"kj", "D9 C8", "C9 P C8"},
      {"iu", "D17 C16", "C17 P C16"},
      {"hb", "C0 C1"},  // the pairs go nasal first only
      {"jk", "C8 C9"},
      {"hk", "C0 C9"},
      {"ha", "C0"},      // the inherent a is swallowed ...
      {"hah", "C0 C0"},  // ... and stops the next automatic pulli
      {"hqh", "C0 S1 C0"},
      {"YY", "X2 X2"},
  });
}

TEST(Tamil99Eightbit, VowelKeysAloneWriteTheIndependentVowel) {
  ExpectRows({
      {"a", "V0"}, {"q", "V1"}, {"s", "V2"}, {"w", "V3"}, {"d", "V4"}, {"e", "V5"}, {"g", "V6"},
      {"t", "V7"}, {"r", "V8"}, {"c", "V9"}, {"x", "V10"}, {"f", "V11"}, {"F", "V11"}, {"z", "V9 S9"},
      {"aa", "V0 V0"},  // no consonant before: no combination
  });
}

TEST(Tamil99Eightbit, VowelKeysAfterAConsonantRewriteIt) {
  ExpectRows({
      {"hq", "C0 S1"},
      {"hs", "C0 S2", nullptr, "CI0"},
      {"hw", "C0 S3", nullptr, "CII0"},
      {"Qs", "C18 S2", nullptr, "CI18"},
      {"os", "X0"},
      {"ow", "X1"},
      {"hd", "U0"},
      {"id", "U17"},
      {"Qd", "C18 S4"},
      {"Td", "C22 S4"},
      {"he", "UU0"},
      {"Re", "C21 S5"},
      {"hg", "S6 C0"},
      {"ht", "S7 C0"},
      {"hr", "S8 C0"},
      {"hc", "S6 C0 S1"},
      {"hx", "S7 C0 S1"},
      {"hz", "S6 C0 S9"},
      {"hf", "D0", "C0 P"},
      {"hF", "D0", "C0 P"},
      {"Wf", "D19", "C19 P"},
      {"hhg", "D0 S6 C0", "C0 P S6 C0"},
      {"hhd", "D0 U0", "C0 P U0"},
      {"had", "U0"},  // the swallowed a changed no text: d still finds the consonant
      {"has", "C0 V2"},
      {"hqs", "C0 S1 V2"},
      {"hsd", "C0 S2 V4", nullptr, "CI0 V4"},
      {"hgh", "S6 C0 C0"},  // after a rewrite no automatic pulli
  });
}

TEST(Tamil99Eightbit, SymbolKeysWriteAsciiCharacters) {
  ExpectRows({
      {"\"", "'''"}, {":", "';'"}, {"K", "'\"'"}, {"L", "':'"}, {"M", "'/'"}, {"P", "']'"},
      {"Kd", "'\"' V4"},  // a symbol is no consonant ...
      {"Kg", "'\"' V6"},
      {"Kh", "'\"' C0"},
  });
}

TEST(Tamil99Eightbit, PrefixKeyTypesASpaceThatTheNextKeyMayReplace) {
  ExpectRows({
      {"^", "0x20"},
      {"^.", "0xB7"},
      {"^0", "'\"'"},
      {"^9", "'\"'"},
      {"^7", "'''"},
      {"^8", "'''"},
      {"^C", "0xA9"},
      {"^S", "0xA0"},
      {"^^", "0x20 '^'"},     // a second ^ passes through
      {"^..", "0xB7 '.'"},    // one replacement only
      {"^q", "0x20 S1"},      // vowel keys write signs after the space
      {"^g", "S6 0x20"},
      {"^h", "0x20 C0"},
      {"^d", "0x20 V4"},
      {"C", ""},
      {"S", ""},
      {"5", "'5'"},
      {".", "'.'"},
  });
}

TEST(Tamil99Eightbit, KeysWithoutARoleAreSwallowedOrPassed) {
  ExpectRows({
      {"A", ""}, {"BDGHIJNUVXZ", ""}, {"5", "'5'"}, {"h A", "C0 0x20"}, {"hAh", "C0 C0"},
  });
}

// The edge cases of the layout, with TSCII's bytes written out.
TEST(Tamil99Eightbit, TsciiBytes) {
  struct Case {
    const char* keys;
    std::string bytes;
  };
  const Case kCases[] = {
      {"h", "\xB8"},           {"hh", "\xEC\xB8"},          {"hhh", "\xEC\xB8\xB8"},
      {"ha", "\xB8"},          {"hah", "\xB8\xB8"},         {"bh", "\xED\xB8"},
      {"kj", "\xF5\xC0"},      {"hq", "\xB8\xA1"},          {"hs", "\xB8\xA2"},
      {"os", "\xCA"},          {"ow", "\xCB"},              {"hg", "\xA6\xB8"},
      {"hc", "\xA6\xB8\xA1"},  {"hx", "\xA7\xB8\xA1"},      {"hz", "\xA6\xB8\xAA"},
      {"z", "\xB4\xAA"},       {"hd", "\xCC"},              {"Qd", "\x85\xA4"},
      {"hf", "\xEC"},          {"f", "\xB7"},               {"^.", "\xB7"},
      {"K", "\""},             {"A", ""},                   {"5", "5"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.keys);
    HWND w = t8::Start(kEncTscii, kKbdTamil99);
    fake::Type(w, c.keys);
    EXPECT_EQ(Hex(fake::Bytes(w)), Hex(c.bytes));
  }
}

Log LogOfLastKey(HWND w, const std::string& before, char key) {
  fake::Type(w, before);
  fake::ClearLog();
  fake::Type(w, std::string(1, key));
  return fake::DeliveryLog();
}

TEST(Tamil99Eightbit, CallsOfARewrite) {
  HWND w = t8::Start(kEncTscii, kKbdTamil99);
  EXPECT_EQ(LogOfLastKey(w, "h", 'h'), (Log{"SendMessageA WM_KEYDOWN 8 0", "SendMessageA WM_CHAR 8 0", "SendMessageA WM_KEYUP 8 0",
                                            "PostMessageA WM_CHAR 0xec 0", "PostMessageA WM_CHAR 0xb8 0"}));
  w = t8::Start(kEncTab, kKbdTamil99);
  EXPECT_EQ(LogOfLastKey(w, "h", 'h'), (Log{"PostMessageA WM_CHAR 0xa2 0", "PostMessageA WM_CHAR 0xe8 0"}));
  w = t8::Start(kEncTab, kKbdTamil99);
  EXPECT_EQ(LogOfLastKey(w, "h", 'f'), (Log{"SendMessageA WM_KEYDOWN 8 0", "SendMessageA WM_CHAR 8 0", "SendMessageA WM_KEYUP 8 0",
                                            "PostMessageA WM_CHAR 0xe8 0", "PostMessageA WM_CHAR 0xa2 0"}));
  w = t8::Start(kEncTscii, kKbdTamil99);
  EXPECT_EQ(LogOfLastKey(w, "", '^'), Log{});  // the keystroke itself becomes the space
  EXPECT_EQ(fake::Bytes(w), " ");
}

TEST(Tamil99Eightbit, WordGetsItsExtraBackspace) {
  HWND w = t8::Start(kEncTscii, kKbdTamil99, t8::kWordPath);
  t8::TypeIntoWord(w, "h");
  fake::ClearLog();
  t8::TypeIntoWord(w, "h");
  EXPECT_EQ(fake::DeliveryLog(), (Log{"PostMessageA WM_CHAR 8 0", "PostMessageA WM_CHAR 8 0",
                                      "PostMessageA WM_CHAR 0xec 0", "PostMessageA WM_CHAR 0xb8 0"}));
  t8::TypeIntoWord(w, "g5d");
  EXPECT_EQ(Hex(fake::Bytes(w)), Hex("\xEC\xA6\xB8" "5\xAF"));
  EXPECT_EQ(fake::HostOf(w).userUnitsErased, 0);
  EXPECT_EQ(fake::HostOf(w).erasesOnEmpty, 0);
}

// In Word a swallowed letter leaves a character too (the NUL of its keystroke), so d, e and f
// after it must not erase that character in place of the consonant.
TEST(Tamil99Eightbit, WordSwallowedLetterEndsTheSyllable) {
  struct Case {
    const char* keys;
    std::string bytes;
  };
  const Case kCases[] = {{"had", std::string("\xB8\0\xAF", 3)},
                         {"hAf", std::string("\xB8\0\xB7", 3)},
                         {"hd", "\xCC"}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.keys);
    HWND w = t8::Start(kEncTscii, kKbdTamil99, t8::kWordPath);
    t8::TypeIntoWord(w, c.keys);
    EXPECT_EQ(Hex(fake::Bytes(w)), Hex(c.bytes));
  }
}

// FRAME writes the last byte itself from the keystroke: nothing after the delivery may clear it.
TEST(Tamil99Eightbit, FrameKeepsTheByteLeftInTheKeystroke) {
  struct Case {
    const char* keys;
    std::string bytes;
  };
  const Case kCases[] = {{"hh", "\xEC\xB8"}, {"z", "\xB4\xAA"}, {"^.", "\xB7"}, {"hd", "\xCC"}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.keys);
    HWND w = t8::Start(kEncTscii, kKbdTamil99, "C:\\x\\FRAME.EXE");
    fake::HostOf(w).eraseOn = fake::EraseOn::Char8;
    fake::Type(w, c.keys);
    EXPECT_EQ(Hex(fake::Bytes(w)), Hex(c.bytes));
  }
}

// A key that reaches the application leaves a character of the user's before the caret: d, e
// and f must not combine across it, nor the syllable keys after a navigation key.
TEST(Tamil99Eightbit, NothingCombinesAcrossACharacterTheApplicationReceived) {
  ExpectRows({
      {"h5d", "C0 '5' V4"},
      {"h5e", "C0 '5' V5"},
      {"h5f", "C0 '5' V11"},
      {"h.d", "C0 '.' V4"},
      {"h d", "C0 0x20 V4"},
      {"h\rd", "C0 0x0D V4"},
      {"hd5d", "U0 '5' V4"},
      {"h5h", "C0 '5' C0"},
      {"^^d", "0x20 '^' V4"},
      {"h\bd", "V4"},  // Backspace removed the consonant
      {"hh\bd", "D0 V4", "C0 P V4"},
  });
}

TEST(Tamil99Eightbit, NothingCombinesAfterANavigationKey) {
  for (const t8::Encoding& enc : t8::kEncodings) {
    SCOPED_TRACE(enc.name);
    HWND w = t8::Start(enc.number, kKbdTamil99);
    fake::Type(w, "h");
    fake::PressKey(w, VK_LEFT);
    fake::Type(w, "g");
    fake::PressKey(w, VK_RIGHT);
    fake::Type(w, "d");
    fake::PressKey(w, VK_UP);
    fake::Type(w, "h");  // the caret moved: g went before the first h, this h to the start
    EXPECT_EQ(Hex(fake::Bytes(w)), Hex(G(enc.number, "C0 V6 C0 V4")));
  }
}

// A character from beyond ASCII is passed through like a digit and never read as a key; under
// SOFFI it arrives as a negative number from the key-down's translation.
TEST(Tamil99Eightbit, CharactersBeyondAsciiPassThrough) {
  HWND w = t8::Start(kEncTscii, kKbdTamil99);
  fake::Type(w, "h\xE9" "d");
  EXPECT_EQ(Hex(fake::Bytes(w)), Hex("\xB8\xE9\xAF"));
  w = t8::Start(kEncTscii, kKbdTamil99, "C:\\x\\SOFFICE.EXE");
  fake::Type(w, "h\xE9" "d");  // passed back to its own key, which the host translates
  EXPECT_EQ(Hex(fake::Bytes(w)), Hex("\xB8\xE9\xAF"));
}

// In T_OLD some ASCII bytes are glyphs of the font: [ is ஸ, and treated as the consonant.
TEST(Tamil99Eightbit, TOldSymbolByteThatIsAGlyphCombines) {
  HWND w = t8::Start(kEncTOld, kKbdTamil99);
  fake::Type(w, "Od");
  EXPECT_EQ(Hex(fake::Bytes(w)), Hex(G(kEncTOld, "C18 S4")));
  EXPECT_EQ(G(kEncTOld, "C18"), "[");
  w = t8::Start(kEncTOld, kKbdTamil99);
  fake::Type(w, "OO");
  EXPECT_EQ(Hex(fake::Bytes(w)), Hex(G(kEncTOld, "D18 C18")));
}

// ஔ's length mark is the byte of ள in TAB, TAM, LIPI and T_OLD, so u after it reads as ளு.
TEST(Tamil99Eightbit, AuLengthMarkThatIsAConsonantByte) {
  for (const t8::Encoding& enc : t8::kEncodings) {
    SCOPED_TRACE(enc.name);
    HWND w = t8::Start(enc.number, kKbdTamil99);
    fake::Type(w, "zd");
    EXPECT_EQ(Hex(fake::Bytes(w)), Hex(G(enc.number, enc.number == kEncTscii ? "V9 S9 V4" : "V9 U15")));
  }
}

// syllableTables is shared: another process's encoding may set it while this one has no
// syllable glyphs. i and ii then fall back to consonant and sign instead of erasing the consonant
// for an empty text.
TEST(Tamil99Eightbit, SyllableGlyphsMissingFromTheLoadedEncoding) {
  for (int encoding : {kEncTscii, kEncTab}) {
    HWND w = t8::Start(encoding, kKbdTamil99);
    shared->syllableTables = 1;
    fake::Type(w, "hsjw");
    EXPECT_EQ(Hex(fake::Bytes(w)), Hex(G(encoding, "C0 S2 C8 S3")));
  }
  HWND w = t8::Start(kEncTam, kKbdTamil99);
  shared->syllableTables = 1;
  fake::Type(w, "hs");
  EXPECT_EQ(Hex(fake::Bytes(w)), Hex(G(kEncTam, "CI0")));
}

TEST(Tamil99Eightbit, RandomTypingLosesNoCharacterOfTheUser) {
  for (const t8::Encoding& enc : t8::kEncodings) {
    for (unsigned seed : {1u, 2u, 3u}) {
      SCOPED_TRACE(enc.name);
      HWND w = t8::Start(enc.number, kKbdTamil99);
      t8::ExpectNoUserCharacterLost(w, seed * 7919u + enc.number, 1500, false);
      w = t8::Start(enc.number, kKbdTamil99, t8::kWordPath);
      t8::ExpectNoUserCharacterLost(w, seed * 104729u + enc.number, 600, true);
    }
  }
}

}  // namespace
