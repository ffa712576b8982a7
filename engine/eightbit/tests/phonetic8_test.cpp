// The phonetic layout in the five 8-bit encodings, rule by rule: each case types its keys
// through the hook into the fake host and checks the host's bytes and how many characters the
// last key erased.
#include <gtest/gtest.h>

#include <string.h>

#include <iterator>
#include <sstream>

#include "engine/core/process_state.h"
#include "engine/eightbit/tests/decode8.h"
#include "engine/eightbit/tests/glyph_notation.h"
#include "engine/eightbit/tests/phonetic8_support.h"

namespace {

using namespace phonetic8;

// Expected text in glyph notation (glyph_notation.h). TAB writes each dead consonant Dn as the
// consonant and the separate pulli, "Cn P"; apart from that its text is the same, only the
// erase counts differ.
struct Rule {
  const char* keys;
  int erase;     // characters the last key erases
  int tabErase;  // the same in TAB
  const char* text;
  unsigned setups = kAll;
};

std::string ForTab(const std::string& notation) {
  std::istringstream tokens(notation);
  std::string out, token;
  while (tokens >> token) {
    if (!out.empty()) out += ' ';
    if (token.size() > 1 && token[0] == 'D') {
      out += "C" + token.substr(1) + " P";
    } else {
      out += token;
    }
  }
  return out;
}

void Check(const Target& s, const Rule& r) {
  SCOPED_TRACE(std::string(s.name) + " keys \"" + r.keys + "\" -> " + r.text);
  HWND w = Start(s);
  std::string keys = r.keys;
  if (!keys.empty()) fake::Type(w, keys.substr(0, keys.size() - 1));
  fake::ClearLog();
  if (!keys.empty()) fake::Type(w, keys.substr(keys.size() - 1));
  std::string expected = Glyphs(s.encoding, s.encoding == kEncTab ? ForTab(r.text) : r.text);
  EXPECT_EQ(Hex(fake::Bytes(w)), Hex(expected));
  EXPECT_EQ(ErasesInLog(), s.encoding == kEncTab ? r.tabErase : r.erase);
  EXPECT_EQ(fake::HostOf(w).erasesOnEmpty, 0);
  EXPECT_EQ(fake::HostOf(w).userUnitsErased, 0);
}

void CheckAll(const std::vector<Rule>& rules) {
  for (const Rule& r : rules) {
    for (const Target& s : kSetups) {
      if (r.setups & s.bit) Check(s, r);
    }
  }
}

TEST(Phonetic8BaseMapping, VowelAndLigatureKeysWriteTheirGlyph) {
  CheckAll({
      {"a", 0, 0, "V0"},  {"A", 0, 0, "V1"},  {"i", 0, 0, "V2"},  {"I", 0, 0, "V3"},
      {"u", 0, 0, "V4"},  {"U", 0, 0, "V5"},  {"e", 0, 0, "V6"},  {"E", 0, 0, "V7"},
      {"o", 0, 0, "V9"},  {"O", 0, 0, "V10"}, {"q", 0, 0, "V11"}, {"C", 0, 0, "X2"},
  });
}

TEST(Phonetic8BaseMapping, ConsonantKeysWriteTheDeadConsonant) {
  const struct {
    const char* keys;
    int index;
  } kKeys[] = {
      {"k", 0},  {"c", 2},  {"s", 2},  {"d", 4},  {"t", 4},  {"N", 5},  {"w", 7},  {"b", 8},
      {"p", 8},  {"m", 9},  {"y", 10}, {"r", 11}, {"l", 12}, {"v", 13}, {"z", 14}, {"L", 15},
      {"R", 16}, {"S", 18}, {"Z", 19}, {"J", 20}, {"j", 20}, {"h", 21}, {"x", 22}, {"n", 7},
  };
  std::vector<std::string> texts;
  std::vector<Rule> rules;
  texts.reserve(std::size(kKeys));
  for (const auto& k : kKeys) texts.push_back("D" + std::to_string(k.index));
  for (size_t i = 0; i < std::size(kKeys); ++i) rules.push_back({kKeys[i].keys, 0, 0, texts[i].c_str()});
  CheckAll(rules);
}

TEST(Phonetic8BaseMapping, UnusedLettersAreSwallowed) {
  for (const Target& s : kSetups) {
    for (char key : std::string("BDFGHKMPQTVWXYfg")) {
      SCOPED_TRACE(std::string(s.name) + " " + key);
      HWND w = Start(s);
      fake::Type(w, "k");
      BYTE history[3] = {composerHistory[0], composerHistory[1], composerHistory[2]};
      std::string before = fake::Bytes(w);
      fake::ClearLog();
      fake::Type(w, std::string(1, key));
      EXPECT_EQ(fake::Bytes(w), before);
      EXPECT_TRUE(fake::DeliveryLog().empty());
      EXPECT_EQ(0, memcmp(history, composerHistory, 3));
      fake::Type(w, "a");  // the swallowed letter leaves the consonant open
      EXPECT_EQ(Hex(fake::Bytes(w)), Hex(Glyphs(s.encoding, "C0")));
    }
  }
}

TEST(Phonetic8BaseMapping, NonLettersPassThrough) {
  CheckAll({
      {"5", 0, 0, "'5"},
      {",", 0, 0, "',"},
      {"k5", 0, 0, "D0 '5"},
      {"k5a", 0, 0, "D0 '5 V0"},
      {"k a", 0, 0, "D0 sp V0"},
      {"-", 0, 0, "'-"},
  });
}

TEST(Phonetic8Combination, KeyA) {
  CheckAll({
      {"aa", 1, 1, "V1"},
      {"ka", 1, 2, "C0"},
      {"xa", 1, 2, "C22"},
      {"kaa", 0, 0, "C0 S1"},
      {"kaaa", 0, 0, "C0 S1 V0"},
      {"kA", 1, 1, "C0 S1"},
      {"SA", 1, 1, "C18 S1"},
      {"aA", 0, 0, "V0 V1"},
  });
}

TEST(Phonetic8Combination, KeyIWithSigns) {
  CheckAll({
      {"ii", 1, 1, "V3"},
      {"ai", 1, 1, "V8"},
      {"ti", 1, 2, "X0"},
      {"di", 1, 2, "X0"},
      {"tii", 1, 1, "X1"},
      {"kai", 1, 1, "S8 C0"},
      {"ki", 1, 2, "C0 S2", kSignPath},
      {"kii", 2, 2, "C0 S3", kSignPath},
      {"xi", 1, 2, "C22 S2", kSignPath},
      {"kI", 1, 1, "C0 S3", kSignPath},
      {"SI", 1, 1, "C18 S3", kSignPath},
  });
}

TEST(Phonetic8Combination, KeyIWithSyllableGlyphs) {
  CheckAll({
      {"ki", 1, 0, "CI0", kSyllablePath},
      {"kii", 1, 0, "CII0", kSyllablePath},
      {"xi", 1, 0, "CI22", kSyllablePath},
      {"xii", 1, 0, "CII22", kSyllablePath},
      {"kI", 1, 0, "CII0", kSyllablePath},
      {"RI", 1, 0, "CII16", kSyllablePath},
      {"kiii", 0, 0, "CII0 V2", kSyllablePath},
  });
}

TEST(Phonetic8Combination, KeyU) {
  CheckAll({
      {"ku", 1, 2, "U0"},
      {"Ru", 1, 2, "U16"},
      {"nu", 1, 2, "U7"},
      {"Su", 1, 1, "C18 S4"},
      {"xu", 1, 1, "C22 S4"},
      {"Suu", 1, 1, "C18 S5"},
      {"uu", 1, 1, "V5"},
      {"au", 1, 1, "V9 S9"},
      {"kuu", 1, 1, "UU0"},
      {"kau", 1, 1, "S6 C0 S9"},
      {"kU", 1, 2, "UU0"},
      {"LU", 1, 2, "UU15"},
      {"SU", 1, 1, "C18 S5"},
      {"aU", 0, 0, "V0 V5"},
  });
}

TEST(Phonetic8Combination, PrefixSignKeys) {
  CheckAll({
      {"ee", 1, 1, "V7"},
      {"ke", 1, 2, "S6 C0"},
      {"kE", 1, 2, "S7 C0"},
      {"oo", 1, 1, "V10"},
      {"ko", 1, 2, "S6 C0 S1"},
      {"kO", 1, 2, "S7 C0 S1"},
      {"xo", 1, 2, "S6 C22 S1"},
      {"aE", 0, 0, "V0 V7"},
  });
}

TEST(Phonetic8Combination, PrefixSignRepairs) {
  CheckAll({
      {"kee", 2, 2, "S7 C0"},
      {"koo", 3, 3, "S7 C0 S1"},
      // The repaired syllable is closed: the next key starts afresh.
      {"keek", 0, 0, "S7 C0 D0"},
      {"keea", 0, 0, "S7 C0 V0"},
      {"kooa", 0, 0, "S7 C0 S1 V0"},
      {"kooo", 0, 0, "S7 C0 S1 V9"},
      {"keen", 0, 0, "S7 C0 D17"},
  });
}

TEST(Phonetic8Combination, ClosedSyllablesAreNotExtended) {
  CheckAll({
      {"kea", 0, 0, "S6 C0 V0"},
      {"kEi", 0, 0, "S7 C0 V2"},
      {"kaia", 0, 0, "S8 C0 V0"},
      {"aua", 0, 0, "V9 S9 V0"},
      {"aui", 0, 0, "V9 S9 V2"},
      {"auu", 0, 0, "V9 S9 V4"},
      {"kaua", 0, 0, "S6 C0 S9 V0"},
      {"kaui", 0, 0, "S6 C0 S9 V2"},
      {"kauu", 0, 0, "S6 C0 S9 V4"},
      {"kaun", 0, 0, "S6 C0 S9 D17"},
  });
}

// In TAB, TAM, LIPI and T_OLD the au length mark is the ள glyph, so ஒ + ள reads like ஔ and
// ெ + consonant + ள like ௌ; typed with its inherent a, ள still takes a, i and u (they gave ஔஅ,
// கௌஇ, கௌஉ and the like).
TEST(Phonetic8Combination, LaAfterOOrAPrefixSignTakesItsVowel) {
  CheckAll({
      {"oLa", 1, 2, "V9 C15"},
      {"oLaa", 0, 0, "V9 C15 S1"},
      {"oLai", 1, 1, "V9 S8 C15"},
      {"oLau", 1, 1, "V9 S6 C15 S9"},
      {"oLaua", 0, 0, "V9 S6 C15 S9 V0"},
      {"auLaa", 0, 0, "V9 S9 C15 S1"},
      {"auLau", 1, 1, "V9 S9 S6 C15 S9"},
      {"keLa", 1, 2, "S6 C0 C15"},
      {"keLaa", 0, 0, "S6 C0 C15 S1"},
      {"keLai", 1, 1, "S6 C0 S8 C15"},
      {"keLau", 1, 1, "S6 C0 S6 C15 S9"},
      {"kauLaa", 0, 0, "S6 C0 S9 C15 S1"},
      {"kauLau", 1, 1, "S6 C0 S9 S6 C15 S9"},
      {"keLaua", 0, 0, "S6 C0 S6 C15 S9 V0"},
  });
}

// Syllables after one with a prefix sign or ௌ combine as anywhere else. TAB keeps a byte from
// before the last syllable with its dead consonant; a syllable written over it must not carry
// that ெ or ே along, or uu and ii after it met a closed syllable (கொடுஉ), and e or o after it
// rewrote the syllable before (கெேடு, கெகோ).
TEST(Phonetic8Combination, SyllablesAfterAPrefixSignCombine) {
  CheckAll({
      {"koduu", 1, 1, "S6 C0 S1 UU4"},
      {"kotii", 1, 1, "S6 C0 S1 X1"},
      {"keevuu", 1, 1, "S7 C0 UU13"},
      {"kOvuu", 1, 1, "S7 C0 S1 UU13"},
      {"kauluu", 1, 1, "S6 C0 S9 UU12"},
      {"kaukuu", 1, 1, "S6 C0 S9 UU0"},
      {"kodU", 1, 2, "S6 C0 S1 UU4"},
      {"kodUn", 0, 0, "S6 C0 S1 UU4 D17"},
      {"kodue", 0, 0, "S6 C0 S1 U4 V6"},
      {"kodUe", 0, 0, "S6 C0 S1 UU4 V6"},
      {"kotie", 0, 0, "S6 C0 S1 X0 V6"},
      {"kosre", 0, 0, "S6 C0 S1 X2 V6"},
      {"kodAo", 0, 0, "S6 C0 S1 C4 S1 V9"},
      {"kokAo", 0, 0, "S6 C0 S1 C0 S1 V9"},
      {"kaukAo", 0, 0, "S6 C0 S9 C0 S1 V9"},
      {"kokAoo", 1, 1, "S6 C0 S1 C0 S1 V10"},
      {"kokoo", 3, 3, "S6 C0 S1 S7 C0 S1"},
  });
}

TEST(Phonetic8Combination, ConsonantDigraphs) {
  CheckAll({
      {"th", 1, 2, "D6"},
      {"tha", 1, 2, "C6"},
      {"sh", 1, 2, "D19"},
      {"ch", 1, 2, "D19"},
      {"ah", 0, 0, "V0 D21"},
      {"ng", 1, 2, "D1"},
      {"wg", 1, 2, "D1"},
      {"ang", 1, 2, "V0 D1"},
      {"ag", 0, 0, "V0"},
      {"nj", 1, 2, "D3"},
      {"anj", 1, 2, "V0 D3"},
      {"aj", 0, 0, "V0 D20"},
      {"an-", 1, 2, "V0 D7"},
      {"sr", 1, 2, "X2"},
      {"cr", 1, 2, "X2"},
      {"kr", 0, 0, "D0 D11"},
      {"sra", 0, 0, "X2 V0"},
  });
}

TEST(Phonetic8Combination, HyphenWritesLipiGlyphAfterALetter) {
  CheckAll({
      {"k-", 0, 0, "D0 P", kLipiBit},
      {"k-", 0, 0, "D0 '-", kNotTab & ~kLipiBit},
      {"k-", 0, 0, "D0 '-", kTabBit},
      {"-", 0, 0, "'-"},
  });
}

TEST(Phonetic8SpecialKeys, NIsNaAtTheStartOfAWordAndNnnaElsewhere) {
  CheckAll({
      {"n", 0, 0, "D7"},
      {"an", 0, 0, "V0 D17"},
      {"a n", 0, 0, "V0 sp D7"},
      {"5n", 0, 0, "'5 D17"},
      {"nan", 0, 0, "C7 D17"},
      {"kn", 0, 0, "D0 D17"},
  });
}

TEST(Phonetic8SpecialKeys, SriAfterCaDiffersInTabForTheFollowingN) {
  // After ஸ்ரீ the other encodings start a new syllable (h2 0, so n is ந்); TAB keeps ஸ்ரீ in h2.
  CheckAll({
      {"srn", 0, 0, "X2 D7", kNotTab},
      {"srn", 0, 0, "X2 D17", kTabBit},
  });
}

// The bytes and calls the edge-case list gives, literally.
TEST(Phonetic8Delivery, TsciiCallsKeyByKey) {
  const struct {
    const char* before;
    const char* key;
    int erase;
    std::vector<int> sent;
  } kSteps[] = {
      {"", "k", 0, {0xEC}},
      {"k", "a", 1, {0xB8}},
      {"ka", "a", 0, {0xA1}},
      {"k", "A", 1, {0xB8, 0xA1}},
      {"k", "i", 1, {0xB8, 0xA2}},
      {"ki", "i", 2, {0xB8, 0xA3}},
      {"t", "i", 1, {0xCA}},
      {"ti", "i", 1, {0xCB}},
      {"k", "e", 1, {0xA6, 0xB8}},
      {"ke", "e", 2, {0xA7, 0xB8}},
      {"k", "o", 1, {0xA6, 0xB8, 0xA1}},
      {"ko", "o", 3, {0xA7, 0xB8, 0xA1}},
      {"ka", "i", 1, {0xA8, 0xB8}},
      {"ka", "u", 1, {0xA6, 0xB8, 0xAA}},
      {"a", "u", 1, {0xB4, 0xAA}},
      {"n", "g", 1, {0xED}},
      {"n", "j", 1, {0xEF}},
      {"t", "h", 1, {0xF2}},
      {"s", "h", 1, {0x89}},
      {"c", "h", 1, {0x89}},
      {"s", "r", 1, {0x82}},
      {"", "n", 0, {0xF3}},
      {"a", "n", 0, {0xFD}},
      {"an", "-", 1, {0xF3}},
  };
  for (const auto& step : kSteps) {
    SCOPED_TRACE(std::string(step.before) + " then " + step.key);
    HWND w = Start(kSetups[0]);
    fake::Type(w, step.before);
    fake::ClearLog();
    fake::Type(w, step.key);
    EXPECT_EQ(fake::DeliveryLog(), DeliveryCalls(step.erase, step.sent));
  }
}

TEST(Phonetic8Delivery, TabWritesDeadConsonantsAsTwoBytes) {
  HWND w = Start(kSetups[1]);
  fake::ClearLog();
  fake::Type(w, "k");
  EXPECT_EQ(fake::DeliveryLog(), DeliveryCalls(0, {0xE8, 0xA2}));
  fake::ClearLog();
  fake::Type(w, "a");
  EXPECT_EQ(fake::DeliveryLog(), DeliveryCalls(2, {0xE8}));

  w = Start(kSetups[1]);
  fake::Type(w, "k");
  fake::ClearLog();
  fake::Type(w, "A");
  EXPECT_EQ(fake::DeliveryLog(), DeliveryCalls(1, {0xA3}));
  EXPECT_EQ(Hex(fake::Bytes(w)), "E8 A3");
}

TEST(Phonetic8Delivery, ToldAndLipiSyllableGlyphs) {
  HWND w = Start(kSetups[5]);
  fake::Type(w, "k");
  fake::ClearLog();
  fake::Type(w, "i");
  EXPECT_EQ(fake::DeliveryLog(), DeliveryCalls(1, {0xBB}));
  fake::ClearLog();
  fake::Type(w, "i");
  EXPECT_EQ(fake::DeliveryLog(), DeliveryCalls(1, {0xD1}));

  w = Start(kSetups[4]);
  fake::Type(w, "k");
  fake::ClearLog();
  fake::Type(w, "-");
  EXPECT_EQ(fake::DeliveryLog(), DeliveryCalls(0, {0x96}));
}

TEST(Phonetic8Navigation, NavigationKeysEndTheSyllable) {
  for (const Target& s : kSetups) {
    SCOPED_TRACE(s.name);
    HWND w = Start(s);
    fake::Type(w, "k");
    fake::PressKey(w, VK_LEFT);
    fake::PressKey(w, VK_RIGHT);
    fake::Type(w, "a");
    EXPECT_EQ(Hex(fake::Bytes(w)), Hex(Glyphs(s.encoding, s.encoding == kEncTab ? "C0 P V0" : "D0 V0")));

    // After a navigation key n is ன் until the combination stage has run again.
    w = Start(s);
    fake::PressKey(w, VK_LEFT);
    fake::Type(w, "n");
    EXPECT_EQ(Hex(fake::Bytes(w)), Hex(Glyphs(s.encoding, s.encoding == kEncTab ? "C17 P" : "D17")));
    w = Start(s);
    fake::PressKey(w, VK_LEFT);
    fake::Type(w, " n");
    EXPECT_EQ(Hex(fake::Bytes(w)), Hex(Glyphs(s.encoding, s.encoding == kEncTab ? "sp C7 P" : "sp D7")));
  }
}

TEST(Phonetic8Navigation, BackspaceClearsTheHistory) {
  for (const Target& s : kSetups) {
    SCOPED_TRACE(s.name);
    HWND w = Start(s);
    // One Backspace erases one character: in TAB the pulli, leaving the live consonant.
    fake::Type(w, "k\ba");
    EXPECT_EQ(Hex(fake::Bytes(w)), Hex(Glyphs(s.encoding, s.encoding == kEncTab ? "C0 V0" : "V0")));
    w = Start(s);
    fake::Type(w, "k\bn");
    EXPECT_EQ(Hex(fake::Bytes(w)), Hex(Glyphs(s.encoding, s.encoding == kEncTab ? "C0 C17 P" : "D17")));
  }
}

TEST(Phonetic8Decoded, TypedWordsReadBackAsUnicode) {
  const struct {
    const char* keys;
    const char* text;
  } kWords[] = {
      {"thamiz", "தமிழ்"}, {"vaNakkam", "வணக்கம்"}, {"kooyil", "கோயில்"},  {"veeLai", "வேளை"},
      {"pongkal", "பொங்கல்"}, {"mUnRu", "மூன்று"},  {"kaudhaa", "கௌதா"}, {"SrI", "ஸ்ரீ"},
      {"koduuram", "கொடூரம்"}, {"koodiiSvaran", "கோடீஸ்வரன்"}, {"peeruur", "பேரூர்"},
  };
  for (const Target& s : kSetups) {
    for (const auto& word : kWords) {
      SCOPED_TRACE(std::string(s.name) + " " + word.keys);
      HWND w = Start(s);
      fake::Type(w, word.keys);
      EXPECT_EQ(Decode8(fake::Bytes(w), s.encoding), word.text);
    }
  }
}

}  // namespace
