#include "engine/core/own_input.h"

#include "engine/core/process_state.h"

namespace {

// How long after the engine synthesized keys they may still arrive. Keys the user typed before
// them are older (by more than the clocks' granularity); anything later than this went elsewhere
// (the focus moved) and is not waited for. Milliseconds.
const int kOwnKeyLifetime = 1000;
const int kClockSlack = 50;

const WPARAM kCtrlVChar = 0x16;  // what TranslateMessage makes of Ctrl+V
const BYTE kKeyV = 0x56;

const OwnMessage& At(const OwnQueue& q, int i) { return q.entries[(q.head + i) % kOwnInputSize]; }

void Drop(OwnQueue* q, int n) {
  q->head = (q->head + n) % kOwnInputSize;
  q->count -= n;
}

// Appends, giving up the oldest entry when full: it never came.
void Append(OwnQueue* q, const OwnMessage& m) {
  if (q->count == kOwnInputSize) Drop(q, 1);
  q->entries[(q->head + q->count) % kOwnInputSize] = m;
  ++q->count;
}

void DropLeadingOptional(OwnQueue* q) {
  while (q->count > 0 && At(*q, 0).optional) Drop(q, 1);
}

// The same character, also after the system converted it between the 8-bit and the UTF-16 form
// of a window or hook of the other kind: an 8-bit byte above ASCII comes back as some character
// above ASCII, a Tamil unit as '?' in a code page without Tamil.
bool SameCharacter(const OwnMessage& m, WPARAM w) {
  if (m.wParam == w) return true;
  if (m.message != WM_CHAR) return false;
  if (m.ansi && m.wParam >= 0x80 && w >= 0x80) return true;
  return !m.ansi && m.wParam >= 0x100 && w == '?';
}

bool Same(const OwnMessage& m, const MSG& msg) {
  if (m.message != msg.message || !SameCharacter(m, msg.wParam)) return false;
  return m.window == nullptr || (m.window == msg.hwnd && m.lParam == msg.lParam);
}

// Position of the message among the expected ones: the first, or a later one when all before it
// are characters the host did not make. -1 when it is not expected.
int Find(const OwnQueue& q, const MSG& msg) {
  for (int i = 0; i < q.count; ++i) {
    if (Same(At(q, i), msg)) return i;
    if (!At(q, i).optional) return -1;
  }
  return -1;
}

bool TakePosted(const MSG& msg) {
  int i = Find(ownInput.posted, msg);
  if (i < 0) {
    DropLeadingOptional(&ownInput.posted);
    // A key from the input stream: a thread gets its posted messages before its input, so
    // everything posted earlier has come (or was taken by no hook).
    if (msg.lParam != 0) ownInput.posted.count = 0;
    return false;
  }
  Drop(&ownInput.posted, i + 1);
  // A host that translates the posted Backspace key-down posts its character behind what is
  // already queued.
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_BACK) {
    Append(&ownInput.posted, OwnMessage{msg.hwnd, WM_CHAR, VK_BACK, msg.lParam, 1, 0});
  }
  return true;
}

bool TakeSynthesized(const MSG& msg) {
  int age = static_cast<int>(msg.time - ownInput.synthesizedAt);
  if (age < -kClockSlack) return false;  // typed before the engine synthesized its keys
  if (age > kOwnKeyLifetime) {
    ownInput.synthesized.count = 0;
    return false;
  }
  int i = Find(ownInput.synthesized, msg);
  if (i < 0) {
    DropLeadingOptional(&ownInput.synthesized);
    return false;
  }
  Drop(&ownInput.synthesized, i + 1);
  return true;
}

}  // namespace

void PostOwn(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool wide) {
  if (wide) {
    PostMessageW(window, message, wParam, lParam);
  } else {
    PostMessageA(window, message, wParam, lParam);
  }
  Append(&ownInput.posted, OwnMessage{window, message, wParam, lParam, 0, static_cast<BYTE>(wide ? 0 : 1)});
}

void ExpectTranslation(HWND window, WPARAM character, LPARAM lParam) {
  Append(&ownInput.posted, OwnMessage{window, WM_CHAR, character & 0xFF, lParam, 1, 1});
}

void SynthesizeOwnKey(BYTE vk, DWORD flags) {
  // The keys of one delivery are timed from before the first of them is made.
  if (ownInput.synthesized.count == 0) ownInput.synthesizedAt = GetTickCount();
  keybd_event(vk, 0, flags, 0);
  if (flags & KEYEVENTF_KEYUP) return;
  // Synthesized keys go wherever the focus is: any window. The character a host may make of the
  // key comes before the next key event, since posted messages are retrieved before input.
  Append(&ownInput.synthesized, OwnMessage{nullptr, WM_KEYDOWN, vk, 0, 0, 0});
  WPARAM ch = vk == VK_BACK ? VK_BACK : vk == kKeyV ? kCtrlVChar : 0;
  if (ch != 0) {
    Append(&ownInput.synthesized, OwnMessage{nullptr, WM_CHAR, ch, 0, 1, 0});
  }
}

bool IsOwnInput(const MSG& msg) {
  if (ownInput.posted.count > 0 && TakePosted(msg)) return true;
  return ownInput.synthesized.count > 0 && TakeSynthesized(msg);
}
