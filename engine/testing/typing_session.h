// A user at work in one application: keys, and everything else a user, the application or other
// programs do between keys, in two windows of one process (each with a GUI thread of its own),
// with the accounting that tells whether the engine kept its promises. The random-typing
// property and the hook's fuzzer drive it.
#pragma once

#include <set>
#include <string>

#include "engine/testing/typing_driver.h"

namespace fake {

class TypingSession {
 public:
  enum Action {
    kLeft, kRight, kHome, kEnd,  // caret keys
    kClick,                      // the caret put anywhere (argument: units before the end)
    kToggle,                     // the toggle key
    kRepeat,                     // a key auto-repeated (argument: its character)
    kRelease,                    // a character message with the key-release bit (argument: it)
    kHeldShift,                  // Shift held: an auto-repeated Shift key-down
    kPosted,                     // a character another program posted (argument: it)
    kOtherWindow,                // the focus moves to the other window
    kClipboard,                  // the clipboard can, or cannot, be opened from now on
    // Timing: when and how the host reads its queue, not what the user does.
    kAhead,                      // the host falls argument % 4 keys behind the typist (0: keeps up)
    kStall,                      // the host stalls over a second before it translates a key, or stops
    kNestedLoop,                 // the window procedure runs a message loop on sent messages, or stops
    kMonitor,                    // a clipboard monitor starts or stops
    kPeek,                       // two keys (argument), the second taken by a filtered PeekMessage
    kOtherThread,                // a key (argument), and a click on the other thread before its text is retrieved
    kLoseKeys,                   // keys the engine synthesized went to another program's hook
    // Beyond the user:
    kScribble,                   // another process writes a shared setting (argument: which and what)
    kActionCount
  };

  // A fresh process running the application, the encoding and layout selected, set up by its
  // first toggle key press; the clock starts at startTick.
  TypingSession(const Application& app, int encoding, int keyboard, DWORD startTick = 0);

  void Key(unsigned char ch);
  void Do(Action action, unsigned argument);
  // Whether the action changes only when and how messages are read: the same keys and actions,
  // typed slowly, must give the same text.
  static bool OnlyTiming(Action action) { return action >= kAhead && action <= kLoseKeys; }
  // The keys still queued are read.
  void CatchUp();
  // Types what Log() wrote: characters are keys ("\\b" Backspace, "\\t" Tab, "\\r" Enter), "<name
  // argument>" an action.
  void Replay(const std::string& log);

  // Empty while every promise holds: nothing the engine did not write is erased, the user's own
  // Backspace erases what it should, the queue empties, the engine composes nothing no key made,
  // every unit it writes is a glyph byte of an encoding, a Tamil-block code point, the joiner, or
  // a character a layout types in place of a key, every paste finds the clipboard, and the user's
  // own clipboard content is there again once the host has pasted.
  std::string Broken() const;

  const std::string& Log() const { return log_; }
  HWND Window(int i) const { return windows_[i]; }
  int KeysDelivered() const { return keys_; }
  // When `slow`, timing actions do nothing: the reference that the same session with them must equal.
  void SetSlow(bool slow) { slow_ = slow; }

 private:
  bool WrittenUnitAllowed(uint16_t code) const;
  void Settle();

  const Application& app_;
  int encoding_;
  HWND windows_[2];
  int current_ = 0;
  unsigned behind_ = 0;
  bool slow_ = false;
  bool scribbled_ = false;
  bool corrupted_ = false;  // a field of the shared state was written raw
  bool clipboardTouched_ = false;
  int expectedUsersErasures_ = 0;
  int keys_ = 0;
  bool composedPosted_ = false;
  std::set<uint16_t> glyphBytes_;
  std::string log_;
};

// One of the characters a session types, chosen by any number: letters, digits, punctuation,
// space, Backspace, Enter, Tab.
unsigned char SessionCharacter(unsigned pick);

}  // namespace fake
