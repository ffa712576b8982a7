// The Unicode tables, the dispatch of ComposeUnicode, the literal sequences, and what the
// composers do with table slots that were never loaded and with keystrokes outside ASCII.
#include "engine/unicode/tests/unicode_typing.h"

#include <string.h>

#include "engine/core/composers.h"
#include "engine/core/process_state.h"

namespace {

using Log = std::vector<std::string>;

std::vector<BYTE> Slot(const BYTE* slot) { return std::vector<BYTE>(slot, slot + strlen(reinterpret_cast<const char*>(slot))); }

// The low bytes of the code points of a UTF-8 text of the Tamil block.
std::vector<BYTE> LowBytes(const std::string& tamil) {
  std::vector<BYTE> bytes;
  for (size_t i = 0; i + 2 < tamil.size(); i += 3) {
    bytes.push_back(static_cast<BYTE>(((tamil[i + 1] & 0x03) << 6) | (tamil[i + 2] & 0x3F)));
  }
  return bytes;
}

// Each slot holds the letters in the order the composers index them; loading them leaves the
// 8-bit slots alone.
TEST(UnicodeTables, HoldTheLettersInIndexOrder) {
  fake::StartProcess();
  memset(&glyphs, 0x5A, sizeof glyphs);
  LoadUnicodeTables();
  EXPECT_EQ(Slot(uniTables.uniVowels), LowBytes("அஆஇஈஉஊஎஏஐஒஓஔஃ"));
  EXPECT_EQ(Slot(uniTables.uniConsonants), LowBytes("ககஙசஞடணதநபமயரலவழளறனஸஷஜஹ"));
  EXPECT_EQ(Slot(uniTables.uniSigns), LowBytes("ாாிீுூெேைொோௌ்"));
  EXPECT_EQ(Slot(uniTables.uniDigits), LowBytes("௧௨௩௪௫௬௭௮௯௰௱௲"));
  const BYTE* eightBit = reinterpret_cast<const BYTE*>(&glyphs);
  for (size_t i = 0; i < sizeof glyphs; ++i) ASSERT_EQ(eightBit[i], 0x5A) << i;
}

TEST(ComposeUnicode, AnyOtherLayoutLeavesTheKeystrokeAlone) {
  for (int layout : {3, -1, 99}) {
    SCOPED_TRACE(layout);
    HWND window = unitest::Start(kKbdPhonetic);
    shared->keyboardLayout = layout;
    fake::ClearLog();
    fake::Type(window, "ka");
    EXPECT_EQ(fake::Utf8(window), "ka");
    EXPECT_TRUE(fake::DeliveryLog().empty());
  }
}

TEST(ComposeUnicode, LiteralSequencesGoOutUnitByUnit) {
  struct Row {
    int keyboard;
    const char* keys;
    Log calls;
  };
  const Log kSri = {"PostMessageW WM_CHAR 0xbb8 0", "PostMessageW WM_CHAR 0xbcd 0", "PostMessageW WM_CHAR 0xbb0 0",
                    "PostMessageW WM_CHAR 0xbc0 0"};
  const Log kKsha = {"PostMessageW WM_CHAR 0xb95 0", "PostMessageW WM_CHAR 0xbcd 0", "PostMessageW WM_CHAR 0xbb7 0"};
  Log kshaPulli = kKsha;
  kshaPulli.push_back("PostMessageW WM_CHAR 0xbcd 0");
  for (const Row& row : {Row{kKbdPhonetic, "C", kSri}, Row{kKbdPhonetic, "x", kshaPulli}, Row{kKbdTamil99, "Y", kSri},
                         Row{kKbdTamil99, "T", kKsha}, Row{kKbdNewTypewriter, "_", kSri},
                         Row{kKbdNewTypewriter, "B", kKsha}}) {
    SCOPED_TRACE(std::string("keyboard ") + std::to_string(row.keyboard) + " key " + row.keys);
    HWND window = unitest::Start(row.keyboard);
    fake::ClearLog();
    fake::Type(window, row.keys);
    EXPECT_EQ(fake::DeliveryLog(), row.calls);
  }
}

// A process set up under an 8-bit encoding that another process switches to Unicode loads the
// Unicode tables: it types what a process set up under Unicode types.
TEST(ComposeUnicode, AProcessSwitchedToUnicodeTypesUnicode) {
  struct Row {
    int keyboard;
    const char* keys;
  };
  for (const Row& row : {Row{kKbdPhonetic, "5kai"}, Row{kKbdPhonetic, "5xa"}, Row{kKbdTamil99, "5hhT"},
                         Row{kKbdNewTypewriter, "5bfB"}, Row{kKbdOldTypewriter, "5;B:F"}}) {
    SCOPED_TRACE(std::string("keyboard ") + std::to_string(row.keyboard) + " keys " + row.keys);
    HWND window = unitest::Start(row.keyboard);
    fake::Type(window, row.keys);
    std::string expected = fake::Utf8(window);
    window = fake::StartProcess();
    SetTamilEncodings(kEncTscii);
    SetTamilKeyboard(row.keyboard);
    fake::PressToggle(window);
    SetTamilEncodings(kEncUnicode);
    fake::Type(window, row.keys);
    EXPECT_EQ(fake::Utf8(window), expected);
  }
}

TEST(ComposeUnicode, IndexZeroOfConsonantsAndSignsIsNeverRead) {
  const char* sequences[] = {"kakaakikiikukuukekeekokookaikau ngnjthshsrxCqJSjhr", "hqhshwhdhehghthrhchxhzhfkkbh",
                             "fhFhF}f%f^bfnfifbBT&c&_oONfpfPf[f:F:", "pfPf[f:F;B:B"};
  int keyboards[] = {kKbdPhonetic, kKbdTamil99, kKbdNewTypewriter, kKbdOldTypewriter};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(sequences[i]);
    std::string plain = unitest::TypeIn(keyboards[i], sequences[i]);
    HWND window = unitest::Start(keyboards[i]);
    uniTables.uniConsonants[0] = 0x01;
    uniTables.uniSigns[0] = 0x01;
    fake::Type(window, sequences[i]);
    EXPECT_EQ(fake::Utf8(window), plain);
  }
}

// SOFFI's translation widens bytes 0x80 to 0xFF to negative values; a UTF-16 unit may arrive
// too. Neither is a letter nor an index: the keystroke passes and nothing builds on it.
TEST(ComposeUnicode, CharactersOutsideAsciiPassAndEndTheSyllable) {
  const WPARAM values[] = {static_cast<WPARAM>(static_cast<LONG_PTR>(-23)), static_cast<WPARAM>(-1), 0x80, 0xFF,
                           0x100, 0x0B95, 0x10000};
  struct Row {
    int keyboard;
    const char* before;
    const char* after;
    const char* text;  // before the odd key, and after
  };
  for (const Row& row : {Row{kKbdPhonetic, "k", "a", "க்அ"}, Row{kKbdTamil99, "h", "q", "கஆ"},
                         Row{kKbdNewTypewriter, "f", "h", "க"}, Row{kKbdOldTypewriter, "b", "f", "\u200Dெக"}}) {
    for (WPARAM value : values) {
      SCOPED_TRACE(std::string("keyboard ") + std::to_string(row.keyboard) + " value " + std::to_string(value));
      HWND window = unitest::Start(row.keyboard);
      fake::Type(window, row.before);
      fake::ClearLog();
      MSG odd{window, WM_CHAR, value, 1, 0, {0, 0}};
      ComposeUnicode(&odd);
      EXPECT_EQ(odd.wParam, value);
      EXPECT_TRUE(fake::DeliveryLog().empty());
      fake::Type(window, row.after);
      EXPECT_EQ(fake::Utf8(window), row.text);
    }
  }
}

TEST(ComposeUnicode, SoffiWidenedByteEndsTheSyllable) {
  HWND window = unitest::Start(kKbdPhonetic, "C:\\x\\SOFFICE.EXE");
  fake::Type(window, "k\xE9" "a");
  EXPECT_EQ(fake::Utf8(window), "க்\u00E9அ");
  EXPECT_EQ(fake::HostOf(window).erasesOnEmpty, 0);
}

}  // namespace
