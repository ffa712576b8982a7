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
// the 8-bit encodings. In a line, "\b", "\t", "\r" and "\\" stand for Backspace, Tab, Enter and a
// backslash.
#include <stdio.h>
#include <stdlib.h>

#include <iostream>
#include <string>

#include "engine/core/exports.h"
#include "engine/core/shared_state.h"
#include "engine/testing/typing_driver.h"

namespace {

std::string Unescape(const std::string& line) {
  std::string keys;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] != '\\' || i + 1 == line.size()) {
      keys += line[i];
      continue;
    }
    char next = line[++i];
    keys += next == 'b' ? '\b' : next == 't' ? '\t' : next == 'r' ? '\r' : next;
  }
  return keys;
}

std::string Hex(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    char hex[4];
    snprintf(hex, sizeof hex, "%02X", c);
    if (!out.empty()) out += ' ';
    out += hex;
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: virel_type ENCODING KEYBOARD [EXECUTABLE] < keys\n");
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
    fake::Type(window, Unescape(line));
    std::cout << (encoding == kEncUnicode ? fake::Utf8(window) : Hex(fake::Bytes(window))) << '\n';
  }
  return 0;
}
