// Typing into a host model through the real hook with Unicode selected, and reading back what
// the host shows.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/exports.h"
#include "engine/core/shared_state.h"
#include "engine/testing/typing_driver.h"

namespace unitest {

const char kPlainHost[] = "C:\\Program Files\\Host\\host.exe";

// A fresh process with Unicode and the keyboard (0 phonetic, 1 Tamil99, 2 New, 3 Old
// typewriter) selected, set up by its first toggle key press.
inline HWND Start(int keyboard, const std::string& exe = kPlainHost) {
  HWND window = fake::StartProcess(exe);
  SetTamilEncodings(kEncUnicode);
  SetTamilKeyboard(keyboard);
  fake::PressToggle(window);
  return window;
}

inline std::string TypeIn(int keyboard, const std::string& keys) {
  HWND window = Start(keyboard);
  fake::Type(window, keys);
  return fake::Utf8(window);
}

// Keys typed into a fresh process, and what the host then shows (UTF-8).
struct Case {
  const char* name;
  const char* keys;
  const char* text;
};

inline void ExpectTyped(int keyboard, const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + ": keys \"" + c.keys + "\"");
    EXPECT_EQ(TypeIn(keyboard, c.keys), c.text);
  }
}

}  // namespace unitest
