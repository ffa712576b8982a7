// A user at work in one application: keys, and everything else a user does between keys, in two
// windows of one process, with the accounting that tells whether the engine kept its promises.
// The random-typing property and the hook's fuzzer drive it.
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
    kActionCount
  };

  // A fresh process running the application, the encoding and layout selected, set up by its
  // first toggle key press.
  TypingSession(const Application& app, int encoding, int keyboard);

  void Key(unsigned char ch);
  void Do(Action action, unsigned argument);

  // Empty while every promise holds: nothing the engine did not write is erased, the user's own
  // Backspace erases what it should, the queue empties, the engine composes nothing no key made,
  // and every unit it writes is a glyph byte of the encoding, a Tamil-block code point, the
  // joiner, or a character a layout types in place of a key.
  std::string Broken() const;

  const std::string& Log() const { return log_; }
  HWND Window(int i) const { return windows_[i]; }
  int KeysDelivered() const { return keys_; }

 private:
  bool WrittenUnitAllowed(uint16_t code) const;

  const Application& app_;
  int encoding_;
  HWND windows_[2];
  int current_ = 0;
  int allowedUser_ = 0;
  int allowedEmpty_ = 0;
  int keys_ = 0;
  bool composedPosted_ = false;
  std::set<uint16_t> glyphBytes_;
  std::string log_;
};

// One of the characters a session types, chosen by any number: letters, digits, punctuation,
// space, Backspace, Enter, Tab.
unsigned char SessionCharacter(unsigned pick);

}  // namespace fake
