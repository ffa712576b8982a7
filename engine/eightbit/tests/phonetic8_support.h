// Typing in the phonetic layout with an 8-bit encoding, through the real hook and the fake host.
#pragma once

#include <stdio.h>

#include <string>
#include <vector>

#include "engine/core/exports.h"
#include "engine/core/shared_state.h"
#include "engine/testing/typing_driver.h"

namespace phonetic8 {

// One way of running the engine: an encoding, and the host executable (which decides the
// profile; KAVIT makes TAM use its consonant+i/ii glyphs).
struct Target {
  const char* name;
  int encoding;
  const char* module;
  unsigned bit;
};

const char* const kPlainHost = "C:\\Program Files\\Host\\host.exe";

enum TargetBit : unsigned {
  kTsciiBit = 1,
  kTabBit = 2,
  kTamBit = 4,
  kTamKavitBit = 8,
  kLipiBit = 16,
  kTOldBit = 32,
};
const unsigned kAll = 63;
const unsigned kSignPath = kTsciiBit | kTabBit | kTamBit;          // consonant + ி written as two glyphs
const unsigned kSyllablePath = kTamKavitBit | kLipiBit | kTOldBit;  // consonant + ி is one glyph
const unsigned kNotTab = kAll & ~kTabBit;

const Target kSetups[] = {
    {"TSCII", kEncTscii, kPlainHost, kTsciiBit},
    {"TAB", kEncTab, kPlainHost, kTabBit},
    {"TAM", kEncTam, kPlainHost, kTamBit},
    {"TAM in KAVIT", kEncTam, "C:\\Apps\\KAVITHAI.EXE", kTamKavitBit},
    {"LIPI", kEncLipi, kPlainHost, kLipiBit},
    {"T_OLD", kEncTOld, kPlainHost, kTOldBit},
};

// A process set up for the phonetic layout in the setup's encoding, Tamil on.
inline HWND Start(const Target& s) {
  HWND w = fake::StartProcess(s.module);
  SetTamilEncodings(s.encoding);
  SetTamilKeyboard(kKbdPhonetic);
  fake::PressToggle(w);
  return w;
}

// Backspaces sent by the last keys, by the default host's method (key-down and key-up).
inline int ErasesInLog() {
  int n = 0;
  for (const std::string& call : fake::DeliveryLog()) {
    if (call == "SendMessageA WM_KEYDOWN 8 0") ++n;
  }
  return n;
}

// The calls of DeliverBytes with no profile: n backspaces, then each byte posted.
inline std::vector<std::string> DeliveryCalls(int erase, const std::vector<int>& bytes) {
  std::vector<std::string> calls;
  for (int i = 0; i < erase; ++i) {
    calls.push_back("SendMessageA WM_KEYDOWN 8 0");
    calls.push_back("SendMessageA WM_CHAR 8 0");
    calls.push_back("SendMessageA WM_KEYUP 8 0");
  }
  for (int b : bytes) {
    char hex[8];
    snprintf(hex, sizeof hex, "0x%x", b);
    calls.push_back(std::string("PostMessageA WM_CHAR ") + hex + " 0");
  }
  return calls;
}

// Bytes as space-separated hex, for readable failures.
inline std::string Hex(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    char hex[4];
    snprintf(hex, sizeof hex, "%02X", c);
    if (!out.empty()) out += ' ';
    out += hex;
  }
  return out;
}

}  // namespace phonetic8
