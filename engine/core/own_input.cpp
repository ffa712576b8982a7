#include "engine/core/own_input.h"

#include <string.h>

ThreadInput threadInputs[kThreadSlots];

namespace {

// A key of the user's made later than the engine's keys by more than the clocks' granularity was
// typed after them; compared with the time a key event was made, which a host that stalls does
// not change. Milliseconds.
const DWORD kClockSlack = 50;
// A record of keys no host could still be holding: its keys were lost. Milliseconds.
const DWORD kStaleRecord = 60000;
// How long posted messages keep a key of the user's waiting behind them. Milliseconds.
const DWORD kPostedLifetime = 10000;

const WPARAM kCtrlVChar = 0x16;  // what TranslateMessage makes of Ctrl+V

const BYTE kKeyV = 0x56;

// The modifier keys a paste must not see, and the ones a held key is put back with.
const BYTE kModifiers[8] = {VK_LSHIFT, VK_RSHIFT, VK_LCONTROL, VK_RCONTROL, VK_LMENU, VK_RMENU, VK_LWIN, VK_RWIN};
const unsigned kTypingModifiers = 6;  // the Shift, Ctrl and Alt keys

bool Extended(BYTE vk) {
  return vk == VK_RCONTROL || vk == VK_RMENU || vk == VK_LWIN || vk == VK_RWIN || vk == VK_LEFT || vk == VK_RIGHT ||
         vk == VK_UP || vk == VK_DOWN || vk == VK_HOME || vk == VK_END || vk == VK_PRIOR || vk == VK_NEXT ||
         vk == VK_DELETE;
}

// A record whose bounds are out of range (whatever wrote it) is started afresh.
OwnEvents& Checked(OwnEvents& events) {
  if (events.count > kOwnInputSize) events.count = 0;
  return events;
}

void RemoveAt(OwnEvents* events, unsigned i) {
  memmove(&events->entries[i], &events->entries[i + 1], (events->count - i - 1) * sizeof(OwnEvent));
  --events->count;
}

void RemoveFirst(OwnEvents* events, unsigned n) {
  memmove(&events->entries[0], &events->entries[n], (events->count - n) * sizeof(OwnEvent));
  events->count -= n;
}

// Appends, giving up the oldest entry when full: it never came.
void Append(OwnEvents* events, const OwnEvent& e) {
  Checked(*events);
  if (events->count == kOwnInputSize) RemoveFirst(events, 1);
  events->entries[events->count++] = e;
}

// This thread's record; with claim, one is made when there is none (a free slot, or the one used
// least recently: a thread that has gone away).
ThreadInput* last;      // the record found last: nearly always the one asked for
DWORD threadWithout;    // a thread found to have no record, since no record was made

ThreadInput* ThisThread(bool claim) {
  DWORD id = GetCurrentThreadId();
  if (last != nullptr && last->threadId == id) return last;
  if (!claim && id == threadWithout) return nullptr;
  for (ThreadInput& t : threadInputs) {
    if (t.threadId != id) continue;
    last = &t;
    return &t;
  }
  if (!claim) {
    threadWithout = id;
    return nullptr;
  }
  threadWithout = 0;
  DWORD now = GetTickCount();
  ThreadInput* oldest = &threadInputs[0];
  for (ThreadInput& t : threadInputs) {
    if (t.threadId == 0) {
      oldest = &t;
      break;
    }
    if (now - t.usedAt > now - oldest->usedAt) oldest = &t;
  }
  DWORD previous = oldest->threadId;
  if (static_cast<DWORD>(InterlockedCompareExchange(reinterpret_cast<volatile LONG*>(&oldest->threadId),
                                                    static_cast<LONG>(id), static_cast<LONG>(previous))) != previous) {
    return nullptr;  // another thread took it this instant
  }
  memset(reinterpret_cast<BYTE*>(oldest) + sizeof oldest->threadId, 0, sizeof *oldest - sizeof oldest->threadId);
  oldest->usedAt = now;
  last = oldest;
  return oldest;
}

// The same character, also after the system converted it between the 8-bit and the UTF-16 form
// of a window or hook of the other kind: an 8-bit byte above ASCII comes back as some character
// above ASCII, a Tamil unit as '?' in a code page without Tamil.
bool SameCharacter(const OwnEvent& e, WPARAM w) {
  if (e.wParam == w) return true;
  if (e.message != WM_CHAR) return false;
  if (e.ansi && e.wParam >= 0x80 && w >= 0x80) return true;
  return !e.ansi && e.wParam >= 0x100 && w == '?';
}

// Posted messages come back in order for each window, but a host may take some of them ahead of
// others (a filtered PeekMessage), so any expected one matches; characters a host did not make of
// an earlier key are given up.
bool TakePosted(OwnEvents* posted, const MSG& msg) {
  for (unsigned i = 0; i < posted->count; ++i) {
    const OwnEvent& e = posted->entries[i];
    if (e.window != msg.hwnd || e.message != msg.message || e.lParam != msg.lParam || !SameCharacter(e, msg.wParam)) {
      continue;
    }
    RemoveAt(posted, i);
    for (unsigned j = i; j-- > 0;) {
      if (posted->entries[j].window == msg.hwnd && posted->entries[j].optional) RemoveAt(posted, j);
    }
    // A host that translates a posted Backspace key-down posts its character behind what is
    // already queued.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_BACK) {
      Append(posted, OwnEvent{msg.hwnd, WM_CHAR, VK_BACK, msg.lParam, 0, 1, 0, 0, 0, 0});
    }
    return true;
  }
  return false;
}

// A system key (with Alt) is a key-down as any other.
bool IsKeyDown(UINT message) { return message == WM_KEYDOWN || message == WM_SYSKEYDOWN; }

// Keys that can be put back behind the engine's: not the modifiers, which need no waiting (the
// engine's keys set them as they need), and not a character an input method typed (VK_PACKET),
// which cannot be made again from its message.
bool CanWait(WPARAM vk) { return !IsModifierKey(vk) && vk != VK_PACKET; }

// Whether key-downs are still to come: the engine's own, or with usersToo the user's held keys.
bool KeysPending(const OwnEvents& keys, bool usersToo) {
  for (unsigned i = 0; i < keys.count; ++i) {
    const OwnEvent& e = keys.entries[i];
    if (IsKeyDown(e.message) && (usersToo || !e.usersKey)) return true;
  }
  return false;
}

// A key taken ahead of what the engine posted to its window (a filtered PeekMessage) would act
// before that text is in: it waits behind it. What was posted long before the key, or before a
// key the engine put back (which comes after every posted message), never came: another
// program's hook took it.
bool PostedPending(OwnEvents* posted, const MSG& msg) {
  bool putBack = GetMessageExtraInfo() == static_cast<LPARAM>(kHeldKeyMark);
  for (unsigned i = 0; i < posted->count; ++i) {
    const OwnEvent& e = posted->entries[i];
    if (e.optional || e.window != msg.hwnd) continue;
    if (!putBack && static_cast<int>(msg.time - e.madeAt) <= static_cast<int>(kPostedLifetime)) return true;
  }
  for (unsigned i = posted->count; i-- > 0;) {
    if (posted->entries[i].window == msg.hwnd) RemoveAt(posted, i);
  }
  return false;
}

bool PasteComing(const OwnEvents& keys) {
  for (unsigned i = 0; i < keys.count; ++i) {
    if (keys.entries[i].endsPaste) return true;
  }
  return false;
}

// Whether a key of the user's typed before this one still waits.
bool EarlierKeyWaits(const OwnEvents& keys, unsigned order) {
  for (unsigned i = 0; i < keys.count; ++i) {
    const OwnEvent& e = keys.entries[i];
    if (e.usersKey && IsKeyDown(e.message) && e.order < order) return true;
  }
  return false;
}

// What the taking of an expected key means: the engine's own (the paste is done once no other is
// on its way), or the user's key put back, which waits again while own keys made after it are
// still queued.
Origin Taken(ThreadInput* t, unsigned i, bool keyDown) {
  OwnEvents* keys = &t->synthesized;
  OwnEvent taken = keys->entries[i];
  RemoveFirst(keys, i + 1);  // those before it were lost: input is first in, first out
  if (!taken.usersKey) return taken.endsPaste && !PasteComing(*keys) ? Origin::kPasted : Origin::kOwn;
  if (!keyDown) return Origin::kOwn;
  // It waits again behind own keys made after it was put back, and behind keys typed before it
  // that wait still; it keeps its place among those.
  t->takenOrder = taken.order;
  bool waits = KeysPending(*keys, false) || EarlierKeyWaits(*keys, taken.order);
  return waits ? Origin::kTypedAhead : Origin::kUser;
}

// Synthesized keys come back in the order they were made, behind whatever input was queued
// before them; the character a host makes of one of them follows it, however long the host took.
// They carry the engine's mark in their extra information, which the system makes the thread's
// message extra information as it takes the key from the queue, before the hooks see it.
Origin TakeSynthesized(ThreadInput* t, const MSG& msg) {
  OwnEvents* keys = &t->synthesized;
  while (keys->count > 0 && keys->entries[0].optional) {
    bool translated = msg.message == WM_CHAR && keys->entries[0].wParam == msg.wParam;
    RemoveFirst(keys, 1);  // taken, or the host did not translate that key
    if (translated) return Origin::kOwn;
  }
  if (keys->count == 0 || msg.message == WM_CHAR) return Origin::kUser;

  bool keyDown = IsKeyDown(msg.message);
  LPARAM mark = GetMessageExtraInfo();
  if (mark == static_cast<LPARAM>(kOwnKeyMark) || mark == static_cast<LPARAM>(kHeldKeyMark)) {
    bool usersKey = mark == static_cast<LPARAM>(kHeldKeyMark);
    for (unsigned i = 0; i < keys->count; ++i) {
      const OwnEvent& e = keys->entries[i];
      if (IsKeyDown(e.message) == keyDown && e.wParam == msg.wParam && e.usersKey == usersKey) {
        return Taken(t, i, keyDown);
      }
    }
    return usersKey ? Origin::kUser : Origin::kOwn;  // its record is gone
  }

  if (!keyDown || !CanWait(msg.wParam)) return Origin::kUser;
  // The engine's keys made before this key was typed would have come before it: they were lost.
  // Those made after it (or too close to tell) are queued behind it, as are the keys of the
  // user's put back: it waits for them.
  for (unsigned i = keys->count; i-- > 0;) {
    const OwnEvent& e = keys->entries[i];
    if (!e.usersKey && static_cast<int>(msg.time - e.madeAt) > static_cast<int>(kClockSlack)) RemoveAt(keys, i);
  }
  return KeysPending(*keys, true) ? Origin::kTypedAhead : Origin::kUser;
}

// Expects the keys back: the engine's own, or with orders (one an event) the user's put back.
void RecordKeys(ThreadInput* t, const INPUT* events, unsigned count, const unsigned* orders) {
  bool usersKey = orders != nullptr;
  DWORD now = GetTickCount();
  OwnEvents& keys = Checked(t->synthesized);
  // A stale record is given up: by an unsigned age, which the clock's wrap does not change.
  if (keys.count > 0 && now - keys.entries[keys.count - 1].madeAt > kStaleRecord) keys.count = 0;
  t->usedAt = now;
  for (unsigned i = 0; i < count; ++i) {
    BYTE vk = static_cast<BYTE>(events[i].ki.wVk);
    bool up = (events[i].ki.dwFlags & KEYEVENTF_KEYUP) != 0;
    if (IsModifierKey(vk)) continue;  // they need no recognising: no key of the user's is taken for one
    Append(&keys, OwnEvent{nullptr, static_cast<UINT>(up ? WM_KEYUP : WM_KEYDOWN), vk, 0, now, 0, 0,
                           static_cast<BYTE>(usersKey), static_cast<BYTE>(up && vk == kKeyV && !usersKey),
                           usersKey ? orders[i] : 0});
    if (up || usersKey) continue;
    WPARAM ch = vk == VK_BACK ? VK_BACK : vk == kKeyV ? kCtrlVChar : 0;
    if (ch != 0) Append(&keys, OwnEvent{nullptr, WM_CHAR, ch, 0, now, 1, 0, 0, 0, 0});
  }
}

BYTE ModifiersNow(bool async) {
  BYTE bits = 0;
  for (unsigned i = 0; i < kTypingModifiers; ++i) {
    SHORT state = async ? GetAsyncKeyState(kModifiers[i]) : GetKeyState(kModifiers[i]);
    if (state & 0x8000) bits |= static_cast<BYTE>(1 << i);
  }
  return bits;
}

void SetModifiers(KeyBatch* batch, BYTE from, BYTE to) {
  for (unsigned i = 0; i < kTypingModifiers; ++i) {
    BYTE bit = static_cast<BYTE>(1 << i);
    if ((from & bit) != (to & bit)) AddKey(batch, kModifiers[i], (to & bit) == 0);
  }
}

// Puts the held keys back into the input stream, each with the modifiers it was typed with, in
// batches that each hold whole keys (a modifier pressed is released in the same batch). False
// when they could not all go back.
bool PutBackHeldKeys(ThreadInput* t, HWND window) {
  if (t->heldCount > kHeldKeys) t->heldCount = 0;
  if (t->heldCount == 0) return true;
  unsigned count = t->heldCount;
  t->heldCount = 0;
  if (!KeysReach(window)) return false;  // the focus went elsewhere, and the keys with it
  KeyBatch batch{};
  unsigned orders[kKeyBatchSize] = {0};
  BYTE now = ModifiersNow(true);
  bool sent = true;
  for (unsigned i = 0; i < count; ++i) {
    const HeldKey& key = t->held[i];
    SetModifiers(&batch, now, key.modifiers);
    for (int up = 0; up < 2; ++up) {
      AddKey(&batch, key.vk, up == 1);
      orders[batch.count - 1] = key.order;
      KEYBDINPUT& event = batch.events[batch.count - 1].ki;
      event.wScan = key.scan;
      event.dwExtraInfo = kHeldKeyMark;
      if (key.extended) event.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    }
    SetModifiers(&batch, key.modifiers, now);
    const unsigned kMostForAKey = 2 + 2 * kTypingModifiers;
    if (i + 1 < count && batch.count + kMostForAKey <= kKeyBatchSize) continue;
    if (SendInput(batch.count, batch.events, sizeof(INPUT)) == batch.count) {
      RecordKeys(t, batch.events, batch.count, orders);
    } else {
      sent = false;
    }
    batch.count = 0;
  }
  return sent;
}

}  // namespace

bool IsModifierKey(WPARAM vk) {
  return vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU || vk == VK_CAPITAL || vk == VK_LWIN || vk == VK_RWIN ||
         (vk >= VK_LSHIFT && vk <= VK_RMENU);
}

bool PostOwn(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool wide) {
  BOOL posted = wide ? PostMessageW(window, message, wParam, lParam) : PostMessageA(window, message, wParam, lParam);
  if (!posted) return false;

  ThreadInput* t = ThisThread(true);
  if (t != nullptr) {
    t->usedAt = GetTickCount();
    Append(&t->posted, OwnEvent{window, message, wParam, lParam, t->usedAt, 0, static_cast<BYTE>(wide ? 0 : 1), 0, 0, 0});
  }
  return true;
}

void ExpectTranslation(HWND window, WPARAM character, LPARAM lParam) {
  ThreadInput* t = ThisThread(true);
  if (t != nullptr) Append(&t->posted, OwnEvent{window, WM_CHAR, character & 0xFF, lParam, 0, 1, 1, 0, 0, 0});
}

void AddKey(KeyBatch* batch, BYTE vk, bool up) {
  if (batch->count >= kKeyBatchSize) return;
  INPUT& input = batch->events[batch->count++];
  memset(&input, 0, sizeof input);
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (Extended(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
  input.ki.dwExtraInfo = kOwnKeyMark;
}

void ReleaseModifiers(KeyBatch* batch, BYTE released[8]) {
  for (unsigned i = 0; i < 8; ++i) {
    released[i] = (GetAsyncKeyState(kModifiers[i]) & 0x8000) != 0;
    if (released[i]) AddKey(batch, kModifiers[i], true);
  }
}

void RestoreModifiers(KeyBatch* batch, const BYTE released[8]) {
  for (unsigned i = 0; i < 8; ++i) {
    if (released[i]) AddKey(batch, kModifiers[i], false);
  }
}

bool KeysReach(HWND window) {
  HWND foreground = GetForegroundWindow();
  if (foreground == nullptr || GetWindowThreadProcessId(foreground, nullptr) != GetCurrentThreadId()) return false;
  return GetFocus() == window;
}

bool SynthesizeOwnKeys(const KeyBatch& batch) {
  ThreadInput* t = ThisThread(true);
  if (t == nullptr || SendInput(batch.count, const_cast<INPUT*>(batch.events), sizeof(INPUT)) != batch.count) {
    return false;
  }
  RecordKeys(t, batch.events, batch.count, nullptr);
  return true;
}

Origin ClassifyInput(const MSG& msg) {
  ThreadInput* t = ThisThread(false);
  if (t == nullptr) return Origin::kUser;
  if (msg.message != WM_KEYUP && Checked(t->posted).count > 0 && TakePosted(&t->posted, msg)) return Origin::kOwn;
  if (IsKeyDown(msg.message) && CanWait(msg.wParam) && PostedPending(&t->posted, msg)) return Origin::kTypedAhead;
  t->takenOrder = 0;
  if (Checked(t->synthesized).count == 0) return Origin::kUser;
  return TakeSynthesized(t, msg);
}

bool HoldUsersKey(MSG* msg) {
  ThreadInput* t = ThisThread(true);
  if (t == nullptr || !IsKeyDown(msg->message) || !CanWait(msg->wParam) || !KeysReach(msg->hwnd)) return false;
  if (t->delivering > 0 && msg->hwnd != t->deliveryWindow) return false;
  if (t->heldCount >= kHeldKeys) t->heldCount = 0;
  HeldKey& key = t->held[t->heldCount++];
  key.vk = static_cast<BYTE>(msg->wParam);
  key.scan = static_cast<BYTE>(msg->lParam >> 16);
  key.extended = static_cast<BYTE>((msg->lParam >> 24) & 1);
  key.modifiers = ModifiersNow(false);
  key.order = t->takenOrder != 0 ? t->takenOrder : ++t->typedOrder;
  if (t->delivering == 0 && !PutBackHeldKeys(t, msg->hwnd)) return false;  // it goes on as it is
  msg->message = WM_NULL;
  msg->wParam = 0;
  msg->lParam = 0;
  return true;
}

void BeginDelivery(HWND window) {
  ThreadInput* t = ThisThread(true);
  if (t != nullptr && t->delivering++ == 0) t->deliveryWindow = window;
}

void EndDelivery() {
  ThreadInput* t = ThisThread(false);
  if (t == nullptr || t->delivering <= 0) return;
  if (--t->delivering == 0) PutBackHeldKeys(t, GetFocus());
}

bool Delivering() {
  ThreadInput* t = ThisThread(false);
  return t != nullptr && t->delivering > 0;
}

void ResetOwnInput() {
  memset(threadInputs, 0, sizeof threadInputs);
  last = nullptr;
  threadWithout = 0;
}
