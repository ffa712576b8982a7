#include "engine/core/composers.h"
#include "engine/core/process_state.h"
#include "engine/core/shared_state.h"
#include "engine/unicode/unicode_composer.h"

namespace {

const WPARAM kFirstTamilUnit = 0x0B80;
const WPARAM kLastTamilUnit = 0x0BFF;
const WPARAM kZeroWidthJoiner = 0x200D;

// Under POWER the hook also composes characters posted with lParam 0, and so sees the units
// this engine posted itself. They are already written and were never keystrokes: they must not
// count as characters that passed, which would end every syllable as soon as it was written.
bool IsOwnUnitComingBack(const MSG& msg) {
  if (!profile.profilePower || msg.lParam != 0) return false;
  return (msg.wParam >= kFirstTamilUnit && msg.wParam <= kLastTamilUnit) || msg.wParam == kZeroWidthJoiner;
}

}  // namespace

void ComposeUnicode(MSG* msg) {
  if (IsOwnUnitComingBack(*msg)) return;
  switch (keyboardLayout) {
    case kLayoutPhonetic:
      ComposePhoneticUnicode(msg);
      break;
    case kLayoutTamil99:
      ComposeTamil99Unicode(msg);
      break;
    case kLayoutTypewriter:
      ComposeTypewriterUnicode(msg);
      break;
    default:
      break;
  }
}

void ForgetUnicodeContext() {
  lastEmitted = uni::kNothing;
  phoneticJoin = 0;
  t99AfterConsonant = 0;
  t99NoAutoPulli = 1;
}
