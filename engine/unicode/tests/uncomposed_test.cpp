// Characters that reach the host without a composer (typed while Tamil is off, or repeated by a
// held key) end what the composers wrote: nothing later erases them or attaches to them.
#include "engine/unicode/tests/unicode_typing.h"

namespace {

const LPARAM kRepeated = (1 << 30) | 1;

struct Row {
  const char* name;
  int keyboard;
  const char* before;
  const char* after;
  const char* text;
};

const Row kRows[] = {
    {"phonetic vowel", kKbdPhonetic, "k", "a", "க்xஅ"},
    {"phonetic join", kKbdPhonetic, "n", "g", "ந்xg"},
    {"Tamil99 sign", kKbdTamil99, "h", "q", "கxஆ"},
    {"Tamil99 pulli", kKbdTamil99, "h", "h", "கxக"},
    {"Tamil99 caret", kKbdTamil99, "^", ".", " x."},
    {"typewriter prefix sign", kKbdNewTypewriter, "b", "f", "\u200Dெxக"},
    {"typewriter sign", kKbdNewTypewriter, "F", "h", "குx"},
    {"typewriter mode", kKbdNewTypewriter, "f", ";", "கx"},
};

TEST(Uncomposed, TypedWhileTamilIsOff) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    HWND window = unitest::Start(row.keyboard);
    fake::Type(window, row.before);
    fake::PressToggle(window);
    fake::Type(window, "x");
    fake::PressToggle(window);
    fake::Type(window, row.after);
    EXPECT_EQ(fake::Utf8(window), row.text);
    EXPECT_EQ(fake::HostOf(window).userUnitsErased, 0);
  }
}

TEST(Uncomposed, RepeatedByAHeldKey) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    HWND window = unitest::Start(row.keyboard);
    fake::Type(window, row.before);
    fake::Retrieve(MSG{window, WM_CHAR, 'x', kRepeated, 0, {0, 0}}, true);
    fake::Pump();
    fake::Type(window, row.after);
    EXPECT_EQ(fake::Utf8(window), row.text);
    EXPECT_EQ(fake::HostOf(window).userUnitsErased, 0);
  }
}

}  // namespace
