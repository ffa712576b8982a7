// Fuzzes the hook through the host models (fake::Applications). The input's first four bytes choose
// an application, an encoding, a layout and the kind of run (and whether the clock is about to
// wrap), then either (byte pairs: a byte below 200 types a character, one above does something
// else; or two-byte word numbers; or byte triples for the timing run):
//   - a run of events, each a key (a character typed) or something else a user or another program
//     does (caret keys, clicks, toggles, auto-repeat, the release bit, held Shift, a character
//     posted with lParam 0, the focus moving to another window, a clipboard that cannot be opened),
//     checked after every event by fake::TypingSession: nothing the engine did not write is
//     erased, every unit it writes is a glyph byte of the encoding, a Tamil-block code point or the
//     joiner, the queue empties and the engine never composes its own output; or
//   - words of the word list, typed with a space after each in the application and in a host with
//     no profile, which must show the same text (but where a profile exists to change the text);
//   - keys and timing events (the host behind the typist, stalled, running message loops in sent
//     messages, a clipboard monitor, a filtered PeekMessage, another thread's click, lost keys),
//     run once with the host keeping up and once as they come: the same text.
// A broken promise aborts with the keys so far. At exit it reports the keys delivered.
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "engine/core/exports.h"
#include "engine/core/shared_state.h"
#include "engine/testing/typing_driver.h"
#include "engine/testing/typing_session.h"
#include "engine/testing/word_list.h"

namespace {

// The input, read from the front, a byte or two at a time (0 past its end).
struct Input {
  const uint8_t* data;
  size_t size;
  size_t at = 0;
  size_t Remaining() const { return size - at; }
  unsigned Byte() { return at < size ? data[at++] : 0; }
  unsigned Word() { return Byte() | Byte() << 8; }
};

unsigned long long keysDelivered = 0;

// Reports the keys at exit, on stderr and, for a campaign of several processes, added to the
// file VIREL_FUZZ_KEYS_FILE names (one line each).
struct Report {
  ~Report() {
    fprintf(stderr, "fuzz_hook: %llu keys delivered\n", keysDelivered);
    const char* path = getenv("VIREL_FUZZ_KEYS_FILE");
    FILE* file = path != nullptr ? fopen(path, "a") : nullptr;
    if (file == nullptr) return;
    fprintf(file, "%llu\n", keysDelivered);
    fclose(file);
  }
} report;

const std::vector<fake::WordLine>& Words() {
  static const std::vector<fake::WordLine> words = fake::ReadWords(VIREL_SOURCE_DIR);
  return words;
}

[[noreturn]] void Fail(const std::string& what, const fake::Application& app, int encoding, int keyboard,
                       const std::string& keys) {
  fprintf(stderr, "fuzz_hook: %s\n  %s, encoding %d, keyboard %d\n  keys: %s\n", what.c_str(), app.name, encoding,
          keyboard, keys.c_str());
  abort();
}

void Events(Input& input, const fake::Application& app, int encoding, int keyboard, DWORD startTick) {
  fake::TypingSession session(app, encoding, keyboard, startTick);
  while (input.Remaining() >= 2) {
    unsigned kind = input.Byte();
    unsigned argument = input.Byte();
    if (kind < 200) {
      session.Key(fake::SessionCharacter(argument));
    } else {
      session.Do(static_cast<fake::TypingSession::Action>(kind % fake::TypingSession::kActionCount), argument);
    }
    std::string broken = session.Broken();
    if (!broken.empty()) Fail(broken, app, encoding, keyboard, session.Log());
  }
  keysDelivered += static_cast<unsigned long long>(session.KeysDelivered());
}

// The same events with the host keeping up (timing actions do nothing) and as they come: the
// same text in both windows, and every promise kept.
void Timing(Input& input, const fake::Application& app, int encoding, int keyboard, DWORD startTick) {
  using S = fake::TypingSession;
  size_t start = input.at;
  std::string texts[2];
  std::string log;
  for (int slow = 1; slow >= 0; --slow) {
    input.at = start;
    S session(app, encoding, keyboard, slow ? 0 : startTick);
    session.SetSlow(slow == 1);
    while (input.Remaining() >= 2) {
      unsigned kind = input.Byte();
      unsigned argument = input.Byte() | input.Byte() << 8;
      if (kind < 180) {
        session.Key(fake::SessionCharacter(argument));
      } else {
        // Timing actions, and the few others whose effect does not depend on timing.
        const S::Action kOthers[] = {S::kToggle, S::kLeft, S::kOtherWindow};
        unsigned pick = kind - 180;
        S::Action action = pick < 64 ? static_cast<S::Action>(S::kAhead + pick % (S::kLoseKeys - S::kAhead + 1))
                                     : kOthers[pick % 3];
        session.Do(action, argument);
      }
    }
    session.CatchUp();
    std::string broken = session.Broken();
    if (!broken.empty()) Fail(broken, app, encoding, keyboard, session.Log());
    texts[slow] = fake::Bytes(session.Window(0)) + "|" + fake::Bytes(session.Window(1));
    keysDelivered += static_cast<unsigned long long>(session.KeysDelivered());
    log = session.Log();
  }
  if (texts[0] != texts[1]) Fail("the text differs from the same keys typed slowly", app, encoding, keyboard, log);
}

// The text as compared: the low bytes for 8-bit encodings and for Yahoo, which takes Unicode
// text as its low bytes by design; UTF-8 otherwise.
std::string Text(HWND w, const fake::Application& app, int encoding) {
  if (encoding == kEncUnicode && std::string(app.name) != "Yahoo") return fake::Utf8(w);
  return fake::Bytes(w);
}

std::string TypeWords(const fake::Application& app, int encoding, int keyboard, const std::string& keys,
                      const fake::Application& as) {
  HWND w = fake::StartApplication(app);
  SetTamilEncodings(encoding);
  SetTamilKeyboard(keyboard);
  fake::PressToggle(w);
  fake::Type(w, keys);
  keysDelivered += keys.size();
  return Text(w, as, encoding);
}

void Words(Input& input, const fake::Application& app, int encoding, int keyboard) {
  std::string app_name = app.name;
  bool syllableGlyphs = encoding == kEncTam && (app_name == "Kavit" || app_name == "KavitEdit" || app_name == "Wordp");
  if (syllableGlyphs) return;  // their TAM fonts have consonant + i and ii as one glyph: other text by design
  std::string keys;
  while (input.Remaining() > 0 && keys.size() < 400) {
    const fake::WordLine& word = Words()[input.Word() % Words().size()];
    keys += word.keys[keyboard] + " ";
  }
  const fake::Application& plain = fake::Applications().front();
  std::string expected = TypeWords(plain, encoding, keyboard, keys, app);
  std::string typed = TypeWords(app, encoding, keyboard, keys, app);
  if (typed != expected) Fail("the words differ from a plain host's", app, encoding, keyboard, keys);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input input{data, size};
  const std::vector<fake::Application>& apps = fake::Applications();
  const fake::Application& app = apps[input.Byte() % apps.size()];
  int encoding = static_cast<int>(input.Byte() % 6);
  int keyboard = static_cast<int>(input.Byte() % 4);
  unsigned kind = input.Byte();
  // Now and then the clock is about to wrap.
  DWORD startTick = (kind & 0x10) ? 0xFFFFF000u + (kind & 0x0F) * 256 : 0;
  if (kind % 8 == 0) {
    Words(input, app, encoding, keyboard);
  } else if (kind % 8 == 1) {
    Timing(input, app, encoding, keyboard, startTick);
  } else {
    Events(input, app, encoding, keyboard, startTick);
  }
  return 0;
}
