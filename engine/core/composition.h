// What the composers build on, and the ways it ends. Every composer erases only what it wrote
// itself, trusting that this is what stands before the caret; whatever may have changed that ends
// the composition.
#pragma once

#include "engine/core/platform.h"

// The caret left what the composers wrote: a navigation key, a click, or a key for another
// window. A pending Old Typewriter dead key still applies to the next key, in any window.
void ForgetContext();

// A character reached the application without the composers (Tamil off, an auto-repeat): it now
// stands before the caret, and a pending dead key must not jump over it.
void ForgetComposition();

// The Old Typewriter dead key was swallowed in this window; a WINWO host keeps a character for
// it that the next key erases.
void NoteDeadKey(HWND window);

// Called once for every typewriter keystroke: whether the keystroke composed just before it was
// the dead key, in this window, with nothing in between that moved the caret.
bool TakeDeadKey(HWND window);
