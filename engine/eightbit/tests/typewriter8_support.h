// Shared by the Tamil99 and typewriter tests: a set-up process, expected bytes written in the
// glyph notation (C0 = consonants[0], S6 = vowelSigns[6], ...), a host modelled on Word, and
// the random-typing property.
#pragma once

#include <gtest/gtest.h>

#include <ctype.h>
#include <stdio.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine/core/exports.h"
#include "engine/core/hook.h"
#include "engine/core/process_state.h"
#include "engine/core/shared_state.h"
#include "engine/eightbit/tests/glyph_notation.h"
#include "engine/testing/typing_driver.h"

namespace t8 {

struct Encoding {
  const char* name;
  int number;
};
const Encoding kEncodings[] = {{"TSCII", kEncTscii}, {"TAB", kEncTab}, {"TAM", kEncTam},
                               {"LIPI", kEncLipi},   {"T_OLD", kEncTOld}};

const char kWordPath[] = "C:\\x\\WINWORD.EXE";

// A fresh process with the encoding and keyboard chosen and the toggle key pressed once.
inline HWND Start(int encoding, int keyboard, const std::string& exe = "C:\\Program Files\\Host\\host.exe") {
  HWND w = fake::StartProcess(exe);
  SetTamilEncodings(encoding);
  SetTamilKeyboard(keyboard);
  fake::PressToggle(w);
  return w;
}

// Expected bytes in the glyph notation of glyph_notation.h (resolved against the golden
// listing, not the engine's tables), plus two tokens of its own: 0xNN for any byte and 'c'
// (quoted on both sides) for a literal character.
inline std::string G(int encoding, const std::string& expr) {
  std::istringstream in(expr);
  std::string token;
  std::string out;
  while (in >> token) {
    if (token.rfind("0x", 0) == 0) {
      out += static_cast<char>(std::stoi(token, nullptr, 16));
    } else if (token.size() == 3 && token[0] == '\'' && token[2] == '\'') {
      out += token[1];
    } else {
      out += Glyphs(encoding, token);
    }
  }
  return out;
}

// "B8 A1" for failure messages.
inline std::string Hex(const std::string& bytes) {
  std::string out;
  char cell[4];
  for (unsigned char c : bytes) {
    snprintf(cell, sizeof cell, "%02X", c);
    if (!out.empty()) out += ' ';
    out += cell;
  }
  return out;
}

inline std::string Printable(const std::string& keys) {
  std::string out;
  char cell[8];
  for (unsigned char c : keys) {
    if (isprint(c) && c != '\\') {
      out += static_cast<char>(c);
    } else {
      snprintf(cell, sizeof cell, "\\x%02X", c);
      out += cell;
    }
  }
  return out;
}

// Word as the WINWO profile expects it: it erases on the character 8 and keeps a character for
// a keystroke neutralised to NUL (which is why delivery there posts one more backspace).
inline void TypeIntoWord(HWND w, const std::string& keys) {
  fake::HostOf(w).eraseOn = fake::EraseOn::Char8;
  fake::HostOf(w).keepsNul = true;
  fake::Type(w, keys);
}

// Types random keys one by one and fails, naming the seed and the keys typed so far, as soon as
// a backspace removes a character the user typed or finds nothing to remove, unless it is the
// user's own Backspace doing so.
inline void ExpectNoUserCharacterLost(HWND w, unsigned seed, int length, bool word) {
  static const std::string kAlphabet = [] {
    std::string keys;
    for (int c = 0x20; c < 0x7F; ++c) keys += static_cast<char>(c);
    keys += "\b\b\r\t";
    keys += "\xB8\xE8\x5C\x7C";
    return keys;
  }();
  std::mt19937 rng(seed);
  std::uniform_int_distribution<size_t> pick(0, kAlphabet.size() - 1);
  std::string typed;
  for (int i = 0; i < length; ++i) {
    char key = kAlphabet[pick(rng)];
    fake::Host& host = fake::HostOf(w);
    int userErased = host.userUnitsErased;
    int onEmpty = host.erasesOnEmpty;
    int allowUser = 0;
    int allowEmpty = 0;
    if (key == '\b') {
      if (host.text.empty()) allowEmpty = 1;
      else if (host.text.back().fromUser) allowUser = 1;
    }
    typed += key;
    if (word) {
      TypeIntoWord(w, std::string(1, key));
    } else {
      fake::Type(w, std::string(1, key));
    }
    fake::Host& after = fake::HostOf(w);
    if (after.userUnitsErased - userErased > allowUser || after.erasesOnEmpty - onEmpty > allowEmpty) {
      ADD_FAILURE() << "seed " << seed << ": a backspace removed a character the user typed (or found none)"
                    << " after typing \"" << Printable(typed) << "\"; text now " << Hex(fake::Bytes(w));
      return;
    }
  }
}

}  // namespace t8
