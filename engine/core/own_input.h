// What the engine itself puts in a host's way: the messages it posts to a window and the keys it
// synthesizes. They come back through the hook when the host retrieves them, and are then the
// engine's own text or keys, never the user's: the hook lets them through untouched, neither
// composed nor taken for navigation. Recognised by what was sent, in order, never by assuming
// what the host does with it (it may translate a key into a character, or not).
//
// Queues are per thread, so this state is too: each GUI thread of a process has its own record,
// found by its thread id.
#pragma once

#include "engine/core/platform.h"

// The extra information of the keys the engine makes: its own, and the user's it puts back.
const ULONG_PTR kOwnKeyMark = 0x5649524C;
const ULONG_PTR kHeldKeyMark = 0x56495255;

const unsigned kOwnInputSize = 48;
struct OwnEvent {
  HWND window;     // posted: the window; null for synthesized keys, which go where the focus is
  UINT message;
  WPARAM wParam;
  LPARAM lParam;   // compared for posted messages only
  DWORD madeAt;    // GetTickCount when a key was synthesized
  BYTE optional;   // a character the host makes of a key only if it translates the key
  BYTE ansi;       // posted as an 8-bit character
  BYTE usersKey;   // a key of the user's that the engine put back behind its own keys
  BYTE endsPaste;  // once it is back, the host has pasted
  unsigned order;  // of a key of the user's: when it was typed, among the keys held back
};
struct OwnEvents {  // oldest first
  OwnEvent entries[kOwnInputSize];
  unsigned count;
};

// A key the user typed that must wait until the engine's own keys ahead of it have been taken.
struct HeldKey {
  BYTE vk;
  BYTE scan;
  BYTE extended;
  BYTE modifiers;  // the Shift, Ctrl and Alt keys down as the thread saw them with the key
  unsigned order;  // the order in which the user typed the keys held back
};

const unsigned kHeldKeys = 8;
struct ThreadInput {
  DWORD threadId;  // 0: the slot is free
  DWORD usedAt;
  OwnEvents posted;
  OwnEvents synthesized;
  int delivering;  // a delivery is running on this thread (a sent message may pump the queue)
  HWND deliveryWindow;  // the window it writes to
  HeldKey held[kHeldKeys];
  unsigned heldCount;
  unsigned typedOrder;  // the last order given to a key held back
  unsigned takenOrder;  // the order of the key of the user's just taken back, 0 for a new key
};

const unsigned kThreadSlots = 8;
extern ThreadInput threadInputs[kThreadSlots];

// Posts a message to the window (PostMessageA, or PostMessageW when wide) and, when the post
// succeeded and the hook will see the message, expects it back. False when the post failed.
bool PostOwn(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool wide = false);

// The character a host's TranslateMessage will make of a key-down the engine let through (SOFFI,
// whose key-downs the engine composes): when it comes, it is no news to the composers.
void ExpectTranslation(HWND window, WPARAM character, LPARAM lParam);

// Key events for the input stream, sent with one SendInput call: nothing else comes between them.
const unsigned kKeyBatchSize = 40;
struct KeyBatch {
  INPUT events[kKeyBatchSize];
  unsigned count;
};
void AddKey(KeyBatch* batch, BYTE vk, bool up);
// Releases the modifier keys that are down now (Shift, Ctrl, Alt, Windows) ...
void ReleaseModifiers(KeyBatch* batch, BYTE released[8]);
// ... and presses them again, after the keys that must not see them.
void RestoreModifiers(KeyBatch* batch, const BYTE released[8]);

// Whether keys synthesized now reach the window: the keyboard focus is on it, in this thread.
bool KeysReach(HWND window);

// Sends the batch and expects its keys back; the last V key-up of a paste, when it returns, says
// the host has pasted. False when the keys could not be sent.
bool SynthesizeOwnKeys(const KeyBatch& batch);

enum class Origin {
  kUser,       // the user's, or another program's
  kOwn,        // the engine posted or synthesized it
  kPasted,     // the engine's, and the host has now taken its paste
  kTypedAhead  // a key the user typed before the engine's own keys still queued ahead of it
};

// Where a keyboard message the hook takes from this thread's queue comes from. An own message is
// no longer expected afterwards.
Origin ClassifyInput(const MSG& msg);

// Holds back a key of the user's (typed ahead, or arriving while a delivery runs) and puts it
// back into the input stream behind the engine's own keys, with the modifiers it was typed with;
// the message itself is neutralised. False when it cannot go back (the focus is elsewhere), and
// while a delivery runs, for a window other than the one it writes to: a prompt the host shows
// meanwhile takes its keys as typed.
bool HoldUsersKey(MSG* msg);

// Deliveries on this thread: while one runs, the hook composes nothing (a sent message may run
// the host's own message loop); the keys held meanwhile go back when the outermost one ends.
void BeginDelivery(HWND window);
void EndDelivery();
bool Delivering();

// Keys that type nothing by themselves.
bool IsModifierKey(WPARAM vk);

// Forgets every thread's record (process attach).
void ResetOwnInput();
