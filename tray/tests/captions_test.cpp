// The window's texts: the TSCII captions byte for byte, the buffer bound, the help text's shape.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "tray/captions.h"

namespace {

// "CC C8 3A" -> the bytes, written as the published TSCII tables write them.
std::string Bytes(const char* hex) {
  std::string out;
  std::istringstream in(hex);
  unsigned value;
  while (in >> std::hex >> value) out.push_back(static_cast<char>(value));
  return out;
}

std::vector<const char*> AllTexts(const CaptionSet& set) {
  std::vector<const char*> texts = {set.encodingLabel, set.keyboardLabel, set.toggleKeyLabel, set.stop,
                                    set.saveChanges,   set.help,          set.tamilDisplay};
  texts.insert(texts.end(), set.encodings, set.encodings + kEncodingCount);
  texts.insert(texts.end(), set.keyboards, set.keyboards + kKeyboardCount);
  return texts;
}

TEST(Captions, TamilSetIsTsciiByteForByte) {
  const CaptionSet& t = kTamilCaptions;
  const std::pair<const char*, const char*> cases[] = {
      {t.encodingLabel, "CC C8 A2 C2 A3 CE 28 26 45 29 3A"},
      {t.keyboardLabel, "C5 A2 A8 BA F4 C0 C4 A8 B8 28 26 42 29 3A"},
      {t.toggleKeyLabel, "C1 A1 FC DA 20 C5 A2 A8 BA 28 26 54 29 3A"},
      {t.stop, "BF A2 DA F2 D0 B8 28 26 53 29"},
      {t.saveChanges, "C1 A1 FC C8 F2 A8 BE 20 A7 BA C1 A2 28 26 53 29"},
      {t.help, "C5 A2 A6 C3 F8 20 AF BE C5 A2 28 26 48 29"},
      {t.tamilDisplay, "20 20 BE C1 A2 C6 A2 F8 28 26 49 29"},
      {t.encodings[0], "D4 C9 A2 A7 B8 A1 F0"},
      {t.encodings[1], "BE A2 8A B8 A2"},
      {t.encodings[2], "BC A1 F4"},
      {t.encodings[3], "BC A1 F5"},
      {t.encodings[4], "C4 A2 C0 A2"},
      {t.encodings[5], "C0 A8 C6 C2"},
      {t.keyboards[0], "B4 C4 A2 C2 A2 C2 F8"},
      {t.keyboards[1], "BE C1 A2 FA 39 39"},
      {t.keyboards[2], "D2 BE A2 C2 20 BE F0 BC EE CD"},
      {t.keyboards[3], "C0 A8 C6 C2 20 BE F0 BC EE CD"},
  };
  for (const auto& [actual, hex] : cases) {
    SCOPED_TRACE(hex);
    EXPECT_EQ(std::string(actual), Bytes(hex));
  }
  EXPECT_STREQ(t.fontFace, "TSCVirel");
}

TEST(Captions, EveryTextFitsTheCaptionBuffer) {
  for (const CaptionSet* set : {&kEnglishCaptions, &kTamilCaptions}) {
    for (const char* text : AllTexts(*set)) {
      SCOPED_TRACE(text);
      EXPECT_LT(std::strlen(text), static_cast<size_t>(kCaptionBufferSize));
    }
  }
  for (const char* name : kToggleKeyNames) EXPECT_LE(std::strlen(name), 3u) << name;
}

TEST(Captions, TamilOnlyForDisplayLanguageOne) {
  EXPECT_EQ(&CaptionsFor(1), &kTamilCaptions);
  for (uint32_t other : {0u, 2u, 0xFFFFFFFFu}) EXPECT_EQ(&CaptionsFor(other), &kEnglishCaptions) << other;
  EXPECT_EQ(kEnglishCaptions.fontFace, nullptr);
}

TEST(Captions, ToggleKeyNamesFollowTheirPositions) {
  EXPECT_STREQ(kToggleKeyNames[0], "A");
  EXPECT_STREQ(kToggleKeyNames[10], "K");
  EXPECT_STREQ(kToggleKeyNames[25], "Z");
  EXPECT_STREQ(kToggleKeyNames[26], "F1");
  EXPECT_STREQ(kToggleKeyNames[37], "F12");
}

std::vector<std::string> Lines(const char* text) {
  std::vector<std::string> lines;
  std::string line;
  for (const char* p = text; *p; ++p) {
    if (*p == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line.push_back(*p);
    }
  }
  lines.push_back(line);
  return lines;
}

TEST(HelpText, HeadingsStandOnTheirOwnLinesInOrderEachAfterAnEmptyLine) {
  EXPECT_EQ(std::strchr(kHelpText, '\r'), nullptr);
  const char* headings[] = {"OPERATING SYSTEM: ", "64 BIT PLATFORMS: ",  "TAMIL ENCODING: ", "TAMIL KEYBOARD LAYOUTS: ",
                            "DISPLAY LANGUAGES: ", "TOGGLE KEY: ",       "TO SAVE CHANGES: ", "MINIMIZE: ",
                            "VIREL MANUAL : ",     "COST: ",             "TUTORIAL:"};
  std::vector<std::string> lines = Lines(kHelpText);
  size_t from = 0;
  for (const char* heading : headings) {
    SCOPED_TRACE(heading);
    size_t at = from;
    while (at < lines.size() && lines[at] != heading) ++at;
    ASSERT_LT(at, lines.size()) << "missing or out of order";
    EXPECT_EQ(lines[at - 1], "") << "no empty line before it";
    ASSERT_LT(at + 1, lines.size());
    EXPECT_NE(lines[at + 1], "") << "no text under it";
    from = at + 1;
  }
  EXPECT_EQ(lines[0].rfind("Virel Tamil Software is a keyboard manager", 0), 0u);
}

TEST(HelpText, NamesTheDefaultKeyTheManualsAndTheFiveTutorialSteps) {
  std::string text = kHelpText;
  for (const char* needle : {"the default is ALT + k.", "    o  Virel-Manual-Tamil.pdf\n",
                             "    o  Virel-Manual-English.pdf\n", "It is completely free!"}) {
    EXPECT_NE(text.find(needle), std::string::npos) << needle;
  }
  std::vector<std::string> lines = Lines(kHelpText);
  std::vector<std::string> steps(lines.end() - 5, lines.end());
  for (int n = 1; n <= 5; ++n) EXPECT_EQ(steps[n - 1].rfind("   " + std::to_string(n) + ". ", 0), 0u) << n;
}

// Its full length: the complete text is 2155 bytes on 47 lines.
TEST(HelpText, IsCompleteInLengthAndLines) {
  std::string text = kHelpText;
  EXPECT_EQ(text.size(), 2155u);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 46);
}

}  // namespace
