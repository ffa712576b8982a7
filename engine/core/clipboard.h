// The clipboard, as the engine uses it for hosts that take text by paste (DREAM, EUDOR). The
// engine's text is marked so that clipboard history, the cloud clipboard and clipboard monitors
// leave it alone, and what the user had on the clipboard is given back once the host has pasted.
#pragma once

#include "engine/core/platform.h"

// Puts the text on the clipboard as CF_TEXT, keeping a copy of the user's content. False, with the
// clipboard as it was or empty, when any step fails.
bool PutOnClipboard(HWND window, const BYTE* text);

// The host has taken the engine's text: the user's content goes back, unless something else has
// been put on the clipboard since.
void GiveClipboardBack(HWND window);

// Forgets the kept content (process attach).
void ResetClipboardState();
