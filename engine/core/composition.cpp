#include "engine/core/composition.h"

#include <string.h>

#include "engine/core/composers.h"
#include "engine/core/process_state.h"
#include "engine/core/shared_state.h"

namespace {

void ForgetWhatWasWritten() {
  memset(composerHistory, 0, sizeof composerHistory);
  tamil99AfterConsonant = 0;
  tamil99NoAutoPulli = 1;
  ForgetUnicodeContext();  // also lastEmitted, which the 8-bit Tamil99 composer shares
  typewriterDeadKeyWindow = nullptr;
}

}  // namespace

void ForgetContext() {
  ForgetWhatWasWritten();
  navigationReset = 1;
}

void ForgetComposition() {
  ForgetWhatWasWritten();
  shared->twPending = 0;
}

void NoteDeadKey(HWND window) { typewriterDeadKeyWindow = window; }

bool TakeDeadKey(HWND window) {
  bool here = typewriterDeadKeyWindow == window;
  typewriterDeadKeyWindow = nullptr;
  return here;
}
