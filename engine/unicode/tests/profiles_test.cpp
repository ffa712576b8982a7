// Host profiles: the calls prescribed for WINWO and Yahoo, and the same text in every host whose
// delivery works in order.
#include "engine/unicode/tests/unicode_typing.h"

#include "engine/core/process_state.h"

namespace {

using Log = std::vector<std::string>;
const char kWinword[] = "C:\\x\\WINWORD.EXE";
const std::string kBack = "PostMessageA WM_CHAR 8 0";
const std::string kSentBack = "SendMessageA WM_CHAR 8 0";  // the character Word kept for a swallowed key

std::string Unit(unsigned code) {
  char text[48];
  snprintf(text, sizeof text, "PostMessageW WM_CHAR 0x%x 0", code);
  return text;
}

// The calls made for the last key of `keys`.
Log CallsOfLastKey(int keyboard, const std::string& exe, const std::string& keys) {
  HWND window = unitest::Start(keyboard, exe);
  fake::HostOf(window).eraseOn = fake::EraseOn::Char8;
  fake::Type(window, keys.substr(0, keys.size() - 1));
  fake::ClearLog();
  fake::Type(window, keys.substr(keys.size() - 1));
  return fake::DeliveryLog();
}

struct CallCase {
  const char* name;
  int keyboard;
  const char* keys;
  Log calls;
};

void ExpectCalls(const std::string& exe, const std::vector<CallCase>& cases) {
  for (const CallCase& c : cases) {
    SCOPED_TRACE(std::string(c.name) + ": keys \"" + c.keys + "\"");
    EXPECT_EQ(CallsOfLastKey(c.keyboard, exe, c.keys), c.calls);
  }
}

TEST(Winword, PhoneticSpaceStepAndExtraBackspaces) {
  const Log kSpaceStep = {kBack, "PostMessageA WM_CHAR 0x20 0", kBack};
  auto spaced = [&](unsigned code) {
    Log log = kSpaceStep;
    log.push_back(Unit(code));
    return log;
  };
  ExpectCalls(kWinword, {
      {"e", kKbdPhonetic, "e", spaced(0xb8e)},
      {"E", kKbdPhonetic, "E", spaced(0xb8f)},
      {"o", kKbdPhonetic, "o", spaced(0xb92)},
      {"O", kKbdPhonetic, "O", spaced(0xb93)},
      {"a has no space step", kKbdPhonetic, "a", {kBack, Unit(0xb85)}},
      {"nor a sign", kKbdPhonetic, "ke", {kBack, kBack, Unit(0xbc6)}},
      {"nor a doubled vowel", kKbdPhonetic, "ee", {kBack, kBack, Unit(0xb8f)}},
      {"consonant", kKbdPhonetic, "k", {kBack, Unit(0xb95), Unit(0xbcd)}},
      {"the kept a", kKbdPhonetic, "ka", {kBack, kBack}},
      {"a join: DropOne sends only the extra backspace", kKbdPhonetic, "ng",
       {kBack, kBack, kBack, Unit(0xb99), Unit(0xbcd)}},
  });
}

TEST(Winword, Tamil99ErasesTheKeptAAtOnce) {
  ExpectCalls(kWinword, {
      {"vowel after h a", kKbdTamil99, "haq", {kSentBack, kBack, Unit(0xb86)}},
      {"digit after h a", kKbdTamil99, "ha5", {kSentBack}},
      {"space after h a", kKbdTamil99, "ha ", {kSentBack}},
      {"sign without a", kKbdTamil99, "hq", {kBack, Unit(0xbbe)}},
      {"once only", kKbdTamil99, "ha5q", {kBack, Unit(0xb86)}},
      {"automatic pulli", kKbdTamil99, "hh", {kBack, Unit(0xbcd), Unit(0xb95)}},
  });
}

TEST(Winword, TypewriterBackspacesAndTheCallWithoutExtra) {
  ExpectCalls(kWinword, {
      {"prefix sign", kKbdNewTypewriter, "b", {Unit(0x200d), kBack, Unit(0xbc6)}},
      {"reordered consonant", kKbdNewTypewriter, "bf", {kBack, kBack, kBack, Unit(0xb95), Unit(0xbc6)}},
      {"reordered ksha", kKbdNewTypewriter, "bB",
       {kBack, kBack, kBack, Unit(0xb95), Unit(0xbcd), Unit(0xbb7), Unit(0xbc6)}},
      {"koo to ksha: one extra backspace for one keystroke", kKbdNewTypewriter, "T&",
       {kBack, kBack, kBack, Unit(0xb95), Unit(0xbcd), Unit(0xbb7)}},
      {"u to ssa", kKbdNewTypewriter, "c&", {kBack, kBack, Unit(0xbb7)}},
      {"Old mode key left in the host", kKbdOldTypewriter, ";f", {kSentBack, kBack, Unit(0xb95), Unit(0xbcd)}},
      {"Old mode on ksha", kKbdOldTypewriter, ";B", {kSentBack, kBack, Unit(0xb95), Unit(0xbcd), Unit(0xbb7), Unit(0xbcd)}},
      {"New mode key", kKbdNewTypewriter, "f;", {kBack, Unit(0xbcd)}},
  });
}

TEST(PlainHost, CallsOfTheCaretSymbolAndTheJoiner) {
  const std::string kDown = "SendMessageA WM_KEYDOWN 8 0";
  const std::string kChar = "SendMessageA WM_CHAR 8 0";
  const std::string kUp = "SendMessageA WM_KEYUP 8 0";
  ExpectCalls(unitest::kPlainHost, {
      {"the caret only changes the keystroke", kKbdTamil99, "^", {}},
      {"a caret symbol replaces the space as a byte", kKbdTamil99, "^.", {kDown, kChar, kUp, "PostMessageA WM_CHAR 0xb7 0"}},
      {"the joiner goes first, as a whole unit", kKbdNewTypewriter, "b", {Unit(0x200d), Unit(0xbc6)}},
      {"a join is two backspaces", kKbdPhonetic, "th", {kDown, kChar, kUp, kDown, kChar, kUp, Unit(0xba4), Unit(0xbcd)}},
  });
}

TEST(Yahoo, UnicodeTextGoesOutAsItsLowBytes) {
  const char kYahoo[] = "C:\\x\\YahooMessenger.exe";
  ExpectCalls(kYahoo, {
      {"consonant", kKbdPhonetic, "k", {"PostMessageA WM_CHAR 0x95 0", "PostMessageA WM_CHAR 0xcd 0"}},
      {"ksha", kKbdTamil99, "T",
       {"PostMessageA WM_CHAR 0x95 0", "PostMessageA WM_CHAR 0xcd 0", "PostMessageA WM_CHAR 0xb7 0"}},
      {"the joiner stays a whole unit", kKbdNewTypewriter, "b",
       {"PostMessageW WM_CHAR 0x200d 0", "PostMessageA WM_CHAR 0xc6 0"}},
  });
  HWND window = unitest::Start(kKbdPhonetic, kYahoo);
  fake::Type(window, "kaa");
  EXPECT_EQ(fake::Bytes(window), "\x95\xbe");
}

struct HostProfile {
  const char* exe;
  fake::EraseOn eraseOn;
};

class EveryHost : public ::testing::TestWithParam<HostProfile> {};

// Keys and text for every layout; the same in each host.
TEST_P(EveryHost, TypesTheSameText) {
  const struct {
    int keyboard;
    const char* keys;
    const char* text;
  } cases[] = {
      {kKbdPhonetic, "vaNakkam thamiz", "வணக்கம் தமிழ்"},
      {kKbdPhonetic, "kaikoongsrx", "கைகோங்ஸ்ரீக்ஷ்"},
      {kKbdTamil99, "kk;lhqhah", "ம்மந்தகாகக"},
      {kKbdTamil99, "h^q^.", "க ா\u00B7"},
      {kKbdNewTypewriter, "bfkpFhT&", "கெமிகூக்ஷ"},
      {kKbdNewTypewriter, "nfhbB", "க\u0BC7\u0BBEக்ஷெ"},
      {kKbdOldTypewriter, ";fpk:F", "க்மிகூ"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(GetParam().exe) + ": keys \"" + c.keys + "\"");
    HWND window = unitest::Start(c.keyboard, GetParam().exe);
    fake::HostOf(window).eraseOn = GetParam().eraseOn;
    fake::Type(window, c.keys);
    EXPECT_EQ(fake::Utf8(window), c.text);
    EXPECT_EQ(fake::HostOf(window).userUnitsErased, 0);
    EXPECT_EQ(fake::HostOf(window).erasesOnEmpty, 0);
  }
}

using E = fake::EraseOn;
INSTANTIATE_TEST_SUITE_P(Profiles, EveryHost,
                         ::testing::Values(HostProfile{unitest::kPlainHost, E::KeyDown},
                                           HostProfile{"C:\\x\\DREAMWEAVER.EXE", E::Char8},
                                           HostProfile{"C:\\x\\PHOTOSHOP.EXE", E::Char8},
                                           HostProfile{"C:\\x\\FRAMEMAKER.EXE", E::Char8},
                                           HostProfile{"C:\\x\\soffice.exe", E::KeyDown},
                                           HostProfile{"C:\\x\\notepad.exe", E::Char8},
                                           HostProfile{"C:\\x\\POWERPNT.EXE", E::KeyDown},
                                           HostProfile{"C:\\x\\MSACCESS.EXE", E::Char8},
                                           HostProfile{"C:\\x\\firefox.exe", E::Char8},
                                           HostProfile{"C:\\x\\KAVITHAI.EXE", E::KeyDown},
                                           HostProfile{"C:\\x\\WORDPAD.EXE", E::KeyDown},
                                           HostProfile{"C:\\x\\abiword.exe", E::KeyDown},
                                           HostProfile{"C:\\x\\mspaint.exe", E::Char8}));

}  // namespace
