// Long random key sequences per layout, in an ordinary host. Every character that a keystroke
// itself left in the host counts as the user's, also when the composer changed it (the one
// exception is the space of the Tamil99 caret, which its caret state may take back). Then:
// the composer never erases a character of the user's, never sends a backspace into an empty
// document, and never puts a vowel sign or pulli straight after a character of the user's.
// VIREL_SEED=n runs one seed of one's own choice.
#include "engine/unicode/tests/unicode_typing.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>

#include <random>

#include "engine/core/hook.h"

namespace {

const int kKeysPerRun = 3000;
const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
const char kOthers[] = "0123456789 !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~";
const char kControls[] = "\b\r\t\xE9";

UINT VirtualKeyOf(unsigned char ch) {
  if (isalpha(ch)) return static_cast<UINT>(toupper(ch));
  if (isdigit(ch) || ch == ' ' || ch == '\b' || ch == '\t' || ch == '\r') return ch;
  return 0xDF;
}

bool IsSignOrPulli(uint16_t code) { return (code >= 0x0BBE && code <= 0x0BCD) || code == 0x0BD7; }

// One key as the user types it; what the keystroke itself puts into the host is the user's.
void UserKey(HWND window, int keyboard, unsigned char ch) {
  MSG down{window, WM_KEYDOWN, VirtualKeyOf(ch), 1, 0, {0, 0}};
  UINT vk = static_cast<UINT>(down.wParam);
  KeyHookProc(0, PM_REMOVE, reinterpret_cast<LPARAM>(&down));
  fake::Dispatch(down, false);
  if (down.wParam == vk) {
    MSG typed{window, WM_CHAR, ch, 1, 0, {0, 0}};
    KeyHookProc(0, PM_REMOVE, reinterpret_cast<LPARAM>(&typed));
    bool caretSpace = keyboard == kKbdTamil99 && ch == '^' && typed.wParam == ' ';
    fake::Dispatch(typed, !caretSpace);
  }
  fake::Pump();
}

std::string Printable(const std::string& keys) {
  std::string out;
  for (unsigned char c : keys) {
    char buf[8];
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out += static_cast<char>(c);
    } else {
      snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    }
  }
  return out;
}

char RandomKey(std::mt19937& random) {
  int kind = std::uniform_int_distribution<int>(0, 99)(random);
  if (kind < 70) return kLetters[std::uniform_int_distribution<size_t>(0, sizeof kLetters - 2)(random)];
  if (kind < 94) return kOthers[std::uniform_int_distribution<size_t>(0, sizeof kOthers - 2)(random)];
  return kControls[std::uniform_int_distribution<size_t>(0, sizeof kControls - 2)(random)];
}

// Types kKeysPerRun random keys and stops at the first broken promise, reporting the keys so far.
void RunRandomTyping(int keyboard, unsigned seed) {
  std::mt19937 random(seed);
  HWND window = unitest::Start(keyboard);
  fake::Host& host = fake::HostOf(window);
  int usersOwnErasures = 0;
  int usersOwnEmptyErasures = 0;
  std::string keys;
  for (int i = 0; i < kKeysPerRun; ++i) {
    char key = RandomKey(random);
    keys += key;
    if (key == '\b') {
      if (host.text.empty()) {
        ++usersOwnEmptyErasures;
      } else if (host.text.back().fromUser) {
        ++usersOwnErasures;
      }
    }
    UserKey(window, keyboard, static_cast<unsigned char>(key));
    std::string broken;
    if (host.userUnitsErased != usersOwnErasures) broken = "a character of the user's was erased";
    if (host.erasesOnEmpty != usersOwnEmptyErasures) broken = "a backspace found nothing to erase";
    for (size_t u = 1; u < host.text.size() && broken.empty(); ++u) {
      if (host.text[u - 1].fromUser && IsSignOrPulli(host.text[u].code)) broken = "a sign follows a character of the user's";
    }
    if (!broken.empty()) {
      ADD_FAILURE() << broken << "\n  keyboard " << keyboard << ", seed " << seed << " (VIREL_SEED=" << seed
                    << ")\n  keys: \"" << Printable(keys) << "\"\n  host: " << fake::Utf8(window);
      return;
    }
  }
}

std::vector<unsigned> Seeds() {
  if (const char* chosen = getenv("VIREL_SEED")) return {static_cast<unsigned>(strtoul(chosen, nullptr, 10))};
  return {20240101u, 7u, 91u};
}

class RandomTyping : public ::testing::TestWithParam<int> {};

TEST_P(RandomTyping, NeverErasesNorAttachesToTheUsersCharacters) {
  for (unsigned seed : Seeds()) RunRandomTyping(GetParam(), seed);
}

std::string LayoutName(const ::testing::TestParamInfo<int>& info) {
  static const char* const kNames[] = {"Phonetic", "Tamil99", "NewTypewriter", "OldTypewriter"};
  return kNames[info.param];
}

INSTANTIATE_TEST_SUITE_P(Layouts, RandomTyping,
                         ::testing::Values(kKbdPhonetic, kKbdTamil99, kKbdNewTypewriter, kKbdOldTypewriter),
                         LayoutName);

}  // namespace
