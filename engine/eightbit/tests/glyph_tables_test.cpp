// The glyph slots each encoding loads, against a golden listing laid out entry by entry, and
// the rules of LoadGlyphTables.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "engine/core/composers.h"
#include "engine/core/exports.h"
#include "engine/core/process_state.h"
#include "engine/core/shared_state.h"
#include "engine/testing/typing_driver.h"

namespace {

const char* const kEncodingNames[] = {"TSCII", "TAB", "TAM", "LIPI", "T_OLD"};
const int kEncodingNumbers[] = {1, 2, 3, 4, 5};

BYTE* Slot(const std::string& name) {
  if (name == "vowels") return glyphs.vowels;
  if (name == "deadConsonants") return glyphs.deadConsonants;
  if (name == "consonants") return glyphs.consonants;
  if (name == "consonantU") return glyphs.consonantU;
  if (name == "consonantUu") return glyphs.consonantUu;
  if (name == "vowelSigns") return glyphs.vowelSigns;
  if (name == "specialGlyphs") return glyphs.specialGlyphs;
  if (name == "consonantI") return glyphs.consonantI;
  if (name == "consonantIi") return glyphs.consonantIi;
  return nullptr;
}

struct GoldenEntry {
  std::string slot;
  int index;
  std::string bytes[5];  // per encoding: two hex digits, or "--" for a slot it does not load
};

std::vector<GoldenEntry> ReadGolden() {
  std::ifstream in(VIREL_SOURCE_DIR "/engine/eightbit/tests/data/glyph_tables.golden");
  std::vector<GoldenEntry> entries;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    GoldenEntry e;
    fields >> e.slot >> e.index;
    for (std::string& b : e.bytes) fields >> b;
    entries.push_back(e);
  }
  return entries;
}

void LoadEncoding(int number) {
  fake::StartProcess();
  SetTamilEncodings(number);
  LoadGlyphTables();
}

TEST(GlyphTables, EveryEntryOfEveryEncodingMatchesTheGoldenListing) {
  std::vector<GoldenEntry> golden = ReadGolden();
  ASSERT_EQ(golden.size(), 155u);  // 12 + 23 + 23 + 18 + 18 + 10 + 5 + 23 + 23
  for (int e = 0; e < 5; ++e) {
    LoadEncoding(kEncodingNumbers[e]);
    std::map<std::string, int> lengths;
    for (const GoldenEntry& entry : golden) {
      SCOPED_TRACE(std::string(kEncodingNames[e]) + " " + entry.slot + "[" + std::to_string(entry.index) + "]");
      BYTE* slot = Slot(entry.slot);
      ASSERT_NE(slot, nullptr);
      const std::string& cell = entry.bytes[e];
      int expected = cell == "--" ? 0 : std::stoi(cell, nullptr, 16);
      EXPECT_EQ(slot[entry.index], expected);
      if (expected != 0 && lengths[entry.slot] == entry.index) lengths[entry.slot] = entry.index + 1;
    }
    // Past the last entry every slot reads 0: the terminator, then zero fill.
    for (const auto& [name, length] : lengths) {
      SCOPED_TRACE(std::string(kEncodingNames[e]) + " " + name);
      for (int i = length; i < kGlyphSlotSize; ++i) EXPECT_EQ(Slot(name)[i], 0) << i;
    }
  }
}

TEST(GlyphTables, SlotSizesAndShapesTheComposersRelyOn) {
  LoadEncoding(1);
  EXPECT_EQ(strlen(reinterpret_cast<char*>(glyphs.consonants)), 23u);
  EXPECT_EQ(strlen(reinterpret_cast<char*>(glyphs.consonantU)), 18u);
  EXPECT_EQ(strlen(reinterpret_cast<char*>(glyphs.vowels)), 12u);
  EXPECT_EQ(strlen(reinterpret_cast<char*>(glyphs.vowelSigns)), 10u);
  EXPECT_EQ(glyphs.specialGlyphs[3], 0);  // TSCII has no separate pulli
  EXPECT_EQ(glyphs.consonantI[0], 0);

  LoadEncoding(2);
  for (int i = 0; i < 23; ++i) EXPECT_EQ(glyphs.deadConsonants[i], 0x2E) << i;
  EXPECT_EQ(glyphs.vowelSigns[9], glyphs.consonants[15]);  // au length mark is the ள glyph

  LoadEncoding(3);
  EXPECT_EQ(glyphs.consonantIi[4], 0x3F);  // டீ as a syllable glyph ...
  EXPECT_EQ(glyphs.specialGlyphs[1], 0xAF);  // ... and as the special glyph
  EXPECT_EQ(glyphs.vowelSigns[9], glyphs.consonants[15]);

  LoadEncoding(4);
  EXPECT_EQ(glyphs.specialGlyphs[3], 0x96);
  EXPECT_EQ(glyphs.vowelSigns[9], glyphs.consonants[15]);

  LoadEncoding(5);
  EXPECT_EQ(glyphs.vowelSigns[2], glyphs.vowelSigns[1]);
  EXPECT_EQ(glyphs.vowelSigns[9], glyphs.consonants[15]);
}

TEST(LoadGlyphTables, SyllableTablesFollowTheEncodingAndForTamTheHost) {
  struct Case {
    const char* path;
    int encoding;
    BYTE before;
    BYTE after;
  } cases[] = {
      {"C:\\x\\host.exe", 1, 1, 0},      {"C:\\x\\host.exe", 2, 1, 0},
      {"C:\\x\\host.exe", 3, 0, 0},      {"C:\\x\\host.exe", 3, 1, 1},  // TAM elsewhere: left as it was
      {"C:\\x\\KAVITHAI.EXE", 3, 0, 1},  {"C:\\x\\wordpad.exe", 3, 0, 1},
      {"C:\\x\\host.exe", 4, 0, 0},      {"C:\\x\\host.exe", 4, 1, 1},  // LIPI: left as it was
      {"C:\\x\\host.exe", 5, 0, 1},      {"C:\\x\\host.exe", 0, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.path) + " encoding " + std::to_string(c.encoding) + " before " +
                 std::to_string(c.before));
    HWND window = fake::StartProcess(c.path);
    SetTamilEncodings(c.encoding);
    shared->syllableTables = c.before;
    SetHotKey(1, 'K');
    fake::PressKey(window, 'K', true);  // the set-up: profile first, then tables
    EXPECT_EQ(shared->syllableTables, c.after);
  }
}

TEST(LoadGlyphTables, UnicodeLoadsOnlyTheUnicodeTables) {
  LoadEncoding(0);
  EXPECT_EQ(glyphs.consonants[0], 0);
  EXPECT_EQ(uniTables.uniConsonants[1], 0x95);
  EXPECT_EQ(uniTables.uniSigns[12], 0xCD);
  EXPECT_EQ(uniTables.uniDigits[11], 0xF2);
}

TEST(LoadGlyphTables, NoEncodingFlagMeansTscii) {
  fake::StartProcess();
  shared->encTscii = 0;
  LoadGlyphTables();
  EXPECT_EQ(shared->encTscii, 1);
  EXPECT_EQ(glyphs.consonants[0], 0xB8);
}

TEST(LoadGlyphTables, TheFirstFlagInOrderWins) {
  fake::StartProcess();
  shared->encTscii = 0;
  shared->encLipi = 1;
  shared->encTOld = 1;
  shared->encUnicode = 1;
  LoadGlyphTables();
  EXPECT_EQ(glyphs.consonants[0], 0x50);  // LIPI
}

}  // namespace
