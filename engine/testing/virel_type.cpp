// virel_type: types keys through the real engine into the native host model and prints what the
// host then shows. For tools that must agree with the engine (layout charts, expected texts of
// end-to-end runs) without repeating its tables.
//
//   virel_type ENCODING KEYBOARD [APPLICATION | EXECUTABLE]  < keys, one sequence a line
//
// APPLICATION names one of the host models (fake::Applications: Plain, Dream, Eudor, Power, ...);
// anything else is taken for the name of the host's executable, which chooses the profile.
// Each line is typed into a fresh process (Tamil switched on by its first toggle key press) and
// answered with one line: UTF-8 text for encoding 0 (Unicode), the bytes in hex ("B8 A1") for
// the 8-bit encodings (a unit above 0xFF, which only a change of encoding can bring, in four
// digits). In a line, "\b", "\t", "\r" and "\\" stand for Backspace, Tab, Enter and a backslash,
// and these stand for what happens between keys, for a process that lives through changes:
//   \k   the toggle key pressed in this process
//   \+   \-  Tamil switched on or off in another process (the shared flag, nothing else)
//   \eN  SetTamilEncodings(N)       \lN  SetTamilKeyboard(N)      (N one digit)
//   \sN  the shared syllable-table flag as another process's set-up left it
#include <stdio.h>
#include <stdlib.h>

#include <iostream>
#include <string>

#include "engine/core/exports.h"
#include "engine/core/shared_state.h"
#include "engine/testing/typing_driver.h"

namespace {

// Types the keys of a line, acting on its between-key escapes as they come.
void TypeLine(HWND window, const std::string& line) {
  std::string keys;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] != '\\' || i + 1 == line.size()) {
      keys += line[i];
      continue;
    }
    char next = line[++i];
    const std::string kBetweenKeys = "k+-els";
    if (kBetweenKeys.find(next) == std::string::npos) {
      keys += next == 'b' ? '\b' : next == 't' ? '\t' : next == 'r' ? '\r' : next;
      continue;
    }
    fake::Type(window, keys);
    keys.clear();
    int digit = i + 1 < line.size() ? line[i + 1] - '0' : 0;
    if (next == 'k') fake::PressToggle(window);
    if (next == '+' || next == '-') shared->tamilOn = next == '+' ? 1 : 0;
    if (next == 'e') SetTamilEncodings(digit);
    if (next == 'l') SetTamilKeyboard(digit);
    if (next == 's') shared->syllableTables = static_cast<BYTE>(digit);
    if (next == 'e' || next == 'l' || next == 's') ++i;
  }
  fake::Type(window, keys);
}

std::string Hex(HWND window) {
  std::string out;
  for (const fake::Unit& unit : fake::HostOf(window).text) {
    char hex[8];
    snprintf(hex, sizeof hex, unit.code > 0xFF ? "%04X" : "%02X", unit.code);
    if (!out.empty()) out += ' ';
    out += hex;
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: virel_type ENCODING KEYBOARD [APPLICATION | EXECUTABLE] < keys\n");
    return 2;
  }
  int encoding = atoi(argv[1]);
  int keyboard = atoi(argv[2]);
  fake::Application app = fake::Applications().front();
  std::string module;
  if (argc > 3) {
    module = std::string("C:\\Program Files\\Host\\") + argv[3];
    app.module = module.c_str();
    for (const fake::Application& a : fake::Applications()) {
      if (a.name == std::string(argv[3])) app = a;
    }
  }
  std::string line;
  while (std::getline(std::cin, line)) {
    HWND window = fake::StartApplication(app);
    SetTamilEncodings(encoding);
    SetTamilKeyboard(keyboard);
    fake::PressToggle(window);
    TypeLine(window, line);
    std::cout << (encoding == kEncUnicode ? fake::Utf8(window) : Hex(window)) << '\n';
  }
  return 0;
}
