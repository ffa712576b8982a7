// virel_instructions: drives the engine through the native fake and marks out each measurement
// for callgrind, which counts the instructions (engine/bench/bench.py runs it; see there).
//
//   valgrind --tool=callgrind --collect-atstart=no --toggle-collect=KeyHookProc*
//            --toggle-collect=<each fake Win32 function>* --combine-dumps=yes ...
//            virel_instructions [WORDS_PER_LAYOUT]            (one command)
//
// Collection is on only inside the hook and off inside the fake's Win32 functions, so each part
// of the dump holds the engine's own instructions, and the calls it made to malloc and friends.
// Each part is named "<what> <messages>" (the count divides the part's total), one part a
// measurement:
//   nonkey N        N messages that are not keystrokes, removed from the queue
//   char-unset N    N WM_CHAR in a process whose toggle key was never pressed
//   char-off N      N WM_CHAR in a set-up process with Tamil off
//   key E L W K 1   the K-th key of the W-th word, encoding E, keyboard L, Tamil on: every message
//                   of the key (key-down, character, and what the engine posted, coming back)
//   setup-psp 1     the set-up of a process whose profile reads its version resource (allocates:
//                   the check that allocations are seen)
// Run without valgrind the marks do nothing: the program then only shows that every scenario runs.
#include <stdio.h>
#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/core/exports.h"
#include "engine/core/hook.h"
#include "engine/core/shared_state.h"
#include "engine/testing/typing_driver.h"

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_ZERO_STATS
#define CALLGRIND_DUMP_STATS_AT(name) (void)(name)
#endif

namespace {

const int kRepeat = 1000;
const UINT kMouseMove = 0x0200;
const LPARAM kFirstPress = 1;

void Mark(const std::string& name) { CALLGRIND_DUMP_STATS_AT(name.c_str()); }

// words.tsv: a word and its keys in each layout, by keyboard number.
std::vector<std::vector<std::string>> ReadKeys(const std::string& path) {
  std::ifstream file(path);
  std::vector<std::vector<std::string>> words;
  std::string line;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string field;
    std::getline(fields, field, '\t');  // the word itself
    std::vector<std::string> keys;
    while (std::getline(fields, field, '\t')) keys.push_back(field);
    if (keys.size() >= 4) words.push_back(keys);
  }
  return words;
}

HWND StartTyping(int encoding, int keyboard, bool tamilOn) {
  HWND window = fake::StartProcess();
  SetTamilEncodings(encoding);
  SetTamilKeyboard(keyboard);
  fake::PressToggle(window);  // sets the process up, Tamil on
  if (!tamilOn) fake::PressToggle(window);
  return window;
}

// Retrieves the same message `kRepeat` times; the fake's queue and host are not involved.
void Repeat(const std::string& name, MSG msg) {
  CALLGRIND_ZERO_STATS;
  for (int i = 0; i < kRepeat; ++i) {
    MSG copy = msg;
    KeyHookProc(0, PM_REMOVE, reinterpret_cast<LPARAM>(&copy));
  }
  Mark(name + " " + std::to_string(kRepeat));
}

}  // namespace

int main(int argc, char** argv) {
  size_t wordLimit = argc > 1 ? static_cast<size_t>(atoi(argv[1])) : 0;
  std::vector<std::vector<std::string>> words =
      ReadKeys(std::string(VIREL_SOURCE_DIR) + "/engine/unicode/tests/data/words.tsv");
  if (words.empty()) {
    fprintf(stderr, "virel_instructions: no words read\n");
    return 1;
  }
  if (wordLimit > 0 && wordLimit < words.size()) words.resize(wordLimit);

  HWND window = fake::StartProcess();
  Repeat("nonkey", MSG{window, kMouseMove, 0, 0x00100010, 0, {0, 0}});
  Repeat("char-unset", MSG{window, WM_CHAR, 'a', kFirstPress, 0, {0, 0}});
  window = StartTyping(kEncUnicode, kKbdPhonetic, false);
  Repeat("char-off", MSG{window, WM_CHAR, 'a', kFirstPress, 0, {0, 0}});

  for (int encoding = kEncUnicode; encoding <= kEncTOld; ++encoding) {
    for (int keyboard = kKbdPhonetic; keyboard <= kKbdOldTypewriter; ++keyboard) {
      window = StartTyping(encoding, keyboard, true);
      for (size_t w = 0; w < words.size(); ++w) {
        const std::string& keys = words[w][static_cast<size_t>(keyboard)];
        for (size_t k = 0; k < keys.size(); ++k) {
          CALLGRIND_ZERO_STATS;
          fake::Type(window, keys.substr(k, 1));
          Mark("key " + std::to_string(encoding) + " " + std::to_string(keyboard) + " " +
               std::to_string(w) + " " + std::to_string(k) + " 1");
        }
        fake::Type(window, " ");
      }
    }
  }

  window = fake::StartProcess("C:\\Program Files\\Host\\PSP.EXE");
  fake::world().versionResource.assign(64, 0);  // a resource that parses to no version
  CALLGRIND_ZERO_STATS;
  fake::PressToggle(window);
  Mark("setup-psp 1");
  printf("virel_instructions: %zu words a layout, every scenario ran\n", words.size());
  return 0;
}
