// What the engine itself puts in a host's way: the messages it posts to a window and the keys it
// synthesizes. They come back through the hook when the host retrieves them, and are then the
// engine's own text or keys, never the user's: the hook lets them through untouched, neither
// composed nor taken for navigation. Recognised by what was sent, in order, never by assuming
// what the host does with it (it may translate a key into a character, or not).
#pragma once

#include "engine/core/platform.h"

// Posts a message to the window (PostMessageA, or PostMessageW when wide) and expects it back.
void PostOwn(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool wide = false);

// Synthesizes a key event (keybd_event, scan code 0) and expects its key-down back.
void SynthesizeOwnKey(BYTE vk, DWORD flags);

// The character a host's TranslateMessage will make of a key-down the engine let through (SOFFI,
// whose key-downs the engine composes): when it comes, it is no news to the composers.
void ExpectTranslation(HWND window, WPARAM character, LPARAM lParam);

// True when the message is one the engine posted or synthesized; it is then no longer expected.
// Called with every keyboard message the hook takes from a queue.
bool IsOwnInput(const MSG& msg);
