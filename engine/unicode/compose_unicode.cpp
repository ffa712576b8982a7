#include "engine/core/composers.h"
#include "engine/core/process_state.h"
#include "engine/core/shared_state.h"
#include "engine/unicode/unicode_composer.h"

void ComposeUnicode(MSG* msg) {
  switch (shared->keyboardLayout) {
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
  phoneticTyped = 1;  // whatever stands before the caret now is not known
  phoneticJoin = 0;
  t99AfterConsonant = 0;
  t99NoAutoPulli = 1;
}
