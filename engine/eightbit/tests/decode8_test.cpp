// The test decoder: every glyph of every encoding reads as its letter, and the orderings of
// 8-bit text (prefix signs, two-part signs, TAB's separate pulli) read back in logical order.
#include "engine/eightbit/tests/decode8.h"

#include <gtest/gtest.h>

#include "engine/core/exports.h"
#include "engine/core/process_state.h"
#include "engine/core/shared_state.h"
#include "engine/eightbit/tests/glyph_notation.h"
#include "engine/testing/typing_driver.h"

namespace {

const int kEncodings[] = {kEncTscii, kEncTab, kEncTam, kEncLipi, kEncTOld};
const char* const kNames[] = {"", "TSCII", "TAB", "TAM", "LIPI", "T_OLD"};

const char* const kVowels[] = {"அ", "ஆ", "இ", "ஈ", "உ", "ஊ", "எ", "ஏ", "ஐ", "ஒ", "ஓ", "ஃ"};
const char* const kConsonants[] = {"க", "ங", "ச", "ஞ", "ட", "ண", "த", "ந", "ப", "ம", "ய", "ர",
                                   "ல", "வ", "ழ", "ள", "ற", "ன", "ஸ", "ஷ", "ஜ", "ஹ", "க்ஷ"};
const char* const kSigns[] = {"ா", "ா", "ி", "ீ", "ு", "ூ", "ெ", "ே", "ை", "ௗ"};

std::string Byte(int b) { return std::string(1, static_cast<char>(b)); }

struct SlotReading {
  const char* slot;
  int count;
  std::string (*letter)(int index);
};

const SlotReading kSlots[] = {
    {"vowels", 12, [](int i) { return std::string(kVowels[i]); }},
    {"consonants", 23, [](int i) { return std::string(kConsonants[i]); }},
    {"deadConsonants", 23, [](int i) { return std::string(kConsonants[i]) + "்"; }},
    {"consonantU", 18, [](int i) { return std::string(kConsonants[i]) + "ு"; }},
    {"consonantUu", 18, [](int i) { return std::string(kConsonants[i]) + "ூ"; }},
    {"consonantI", 23, [](int i) { return std::string(kConsonants[i]) + "ி"; }},
    {"consonantIi", 23, [](int i) { return std::string(kConsonants[i]) + "ீ"; }},
    {"vowelSigns", 10, [](int i) { return std::string(kSigns[i]); }},
    {"specialGlyphs", 3, [](int i) { return std::string(i == 0 ? "டி" : i == 1 ? "டீ" : "ஸ்ரீ"); }},
};

TEST(Decode8, EveryGlyphReadsAsItsLetter) {
  for (int e : kEncodings) {
    int auMark = GoldenGlyph(e, "vowelSigns", 9);
    int la = GoldenGlyph(e, "consonants", 15);
    for (const SlotReading& s : kSlots) {
      for (int i = 0; i < s.count; ++i) {
        SCOPED_TRACE(std::string(kNames[e]) + " " + s.slot + "[" + std::to_string(i) + "]");
        int b = GoldenGlyph(e, s.slot, i);
        if (b == 0) continue;                                               // not in this encoding
        if (e == kEncTab && std::string(s.slot) == "deadConsonants") continue;  // full stops
        std::string expected = s.letter(i);
        // The au length mark drawn as ள reads as ள on its own; after ெ + consonant it is ௌ.
        if (std::string(s.slot) == "vowelSigns" && i == 9 && auMark == la) {
          expected = "ள";
          EXPECT_EQ(Decode8(Glyphs(e, "S6 C0") + Byte(b), e), "கௌ");
        }
        // T_OLD's ி entry repeats the byte of ா.
        if (e == kEncTOld && std::string(s.slot) == "vowelSigns" && i == 2) expected = "ா";
        EXPECT_EQ(Decode8(Byte(b), e), expected);
      }
    }
  }
}

TEST(Decode8, SeparatePulliAndLipiDashes) {
  EXPECT_EQ(Decode8(Glyphs(kEncTab, "P"), kEncTab), "்");
  EXPECT_EQ(Decode8(Glyphs(kEncTam, "P"), kEncTam), "்");
  EXPECT_EQ(Decode8(Glyphs(kEncLipi, "P"), kEncLipi), "-");
  EXPECT_EQ(Decode8(Byte(GoldenGlyph(kEncLipi, "specialGlyphs", 4)), kEncLipi), "—");
  EXPECT_EQ(Decode8(".", kEncTab), ".");
}

struct Sequence {
  const char* glyphs;
  const char* text;
};

TEST(Decode8, VisualOrderBecomesLogicalOrder) {
  const Sequence kSequences[] = {
      {"S6 C0", "கெ"},
      {"S7 C0", "கே"},
      {"S8 C0", "கை"},
      {"S6 C0 S1", "கொ"},
      {"S7 C0 S1", "கோ"},
      {"S8 C0 S1", "கைா"},
      {"S6 C0 S9", "கௌ"},
      {"S6 C22", "க்ஷெ"},
      {"V9 S9", "ஔ"},
      {"V9 C15 S1", "ஒளா"},
      {"S6 C15 S9", "ளௌ"},
      {"C0 S3", "கீ"},
      {"C9 C5 D0 C0 D9", "மணக்கம்"},
      {"S6", "ெ"},
      {"S6 '5", "ெ5"},
      {"S6 V0", "ெஅ"},
      {"'5 sp '. D0", "5 .க்"},
      {"X2 V0", "ஸ்ரீஅ"},
  };
  for (int e : kEncodings) {
    for (const Sequence& s : kSequences) {
      SCOPED_TRACE(std::string(kNames[e]) + " " + s.glyphs);
      std::string glyphs = s.glyphs;
      if (e == kEncTab) {  // TAB has no dead consonant glyphs
        for (size_t p; (p = glyphs.find("D0")) != std::string::npos;) glyphs.replace(p, 2, "C0 P");
        for (size_t p; (p = glyphs.find("D9")) != std::string::npos;) glyphs.replace(p, 2, "C9 P");
      }
      EXPECT_EQ(Decode8(Glyphs(e, glyphs), e), s.text);
    }
  }
}

TEST(Decode8, AuMarkDrawnAsLaBeforeASignOrPulliIsLa) {
  for (int e : {kEncTab, kEncTam, kEncLipi, kEncTOld}) {
    SCOPED_TRACE(kNames[e]);
    EXPECT_EQ(Decode8(Glyphs(e, "V9 C15 S4"), e), "ஒளு");
    EXPECT_EQ(Decode8(Glyphs(e, "S6 C0 C15 S3"), e), "கெளீ");
  }
  EXPECT_EQ(Decode8(Glyphs(kEncTab, "V9 C15 P"), kEncTab), "ஒள்");
}

TEST(Decode8, UnknownHighBytesAreMarked) {
  EXPECT_EQ(Decode8("\x80", kEncTscii), "\xEF\xBF\xBD");
  EXPECT_EQ(Decode8("a\x01", kEncTscii), "a\x01");
}

TEST(Decode8, LeavesTheEngineAsItWas) {
  HWND w = fake::StartProcess();
  SetTamilEncodings(kEncTscii);
  fake::PressToggle(w);
  BYTE before = glyphs.vowels[0];
  shared->syllableTables = 1;
  EXPECT_EQ(Decode8(Glyphs(kEncLipi, "V0"), kEncLipi), "அ");
  EXPECT_EQ(glyphs.vowels[0], before);
  EXPECT_EQ(shared->encTscii, 1);
  EXPECT_EQ(shared->encLipi, 0);
  EXPECT_EQ(shared->syllableTables, 1);
}

}  // namespace
