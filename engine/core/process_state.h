// Per-process state of the engine: ordinary globals, zero when the engine is mapped into a
// process, grouped by owner. Only the thread that retrieves a message touches them, and one
// typing thread per process is assumed; what belongs to a thread's queue is kept per thread
// (own_input.h).
#pragma once

#include "engine/core/app_profile.h"
#include "engine/core/platform.h"
#include "engine/eightbit/glyph_slots.h"

// Set at process attach, and by LoadVirelEngine in the process that installs the hook.
extern HINSTANCE engineInstance;
extern UINT tamilOnOffMsg;
extern int loaderProcess;
extern HHOOK installedHook;  // the hook this process installed, if any

// Owned by the hook entry.
extern BYTE processReady;     // the toggle key has been seen here and the process is set up
extern BYTE kavitEditTarget;  // this message is for a plain "Edit" control in a KAVIT process
extern BYTE navigationReset;  // a navigation key cleared composerHistory (read by the phonetic composer)
extern BYTE keyStateBuffer[256];
extern BYTE soffiDeadKey;
extern int tablesEncoding;   // the encoding whose tables this process loaded
extern int composingLayout;  // the layout (keyboard number) its composition was made in  // SOFFI: a dead key of the user's layout is pending, left to the host

// The host application, recognised once from the executable name (app_profile.h).
extern ApplicationProfile profile;

// The 8-bit encodings' glyphs, one zero-terminated string a slot, filled once per process.
extern GlyphTables glyphs;

// Low bytes of Tamil-block code points, filled once per process when Unicode is selected.
const int kUnicodeSlotSize = 24;
struct UnicodeTables {
  BYTE uniVowels[kUnicodeSlotSize];
  BYTE uniConsonants[kUnicodeSlotSize];
  BYTE uniSigns[kUnicodeSlotSize];
  BYTE uniDigits[kUnicodeSlotSize];
};
extern UnicodeTables uniTables;

// Composer history and scratch space.
extern BYTE composerHistory[3];  // 8-bit phonetic and typewriter: h0, h1, h2 (h2 newest)
extern BYTE lastEmitted;         // Unicode composers and the 8-bit Tamil99 composer
const int kComposeTextSize = 8;
extern BYTE composeText[kComposeTextSize];  // zero-terminated text handed to delivery

// 8-bit Tamil99 composer.
extern BYTE tamil99AfterConsonant;
extern BYTE tamil99NoAutoPulli;

// Typewriter composers: the window where this process swallowed the pending Old Typewriter dead
// key (a WINWO host keeps a character for it that the next key erases).
extern HWND typewriterDeadKeyWindow;

// The window the composers' state belongs to: what they wrote last is before its caret.
extern HWND compositionWindow;

// Unicode composers.
extern int phoneticJoin;
extern BYTE phoneticTyped;  // the phonetic composer has seen a key, or the context was lost
extern BYTE t99AfterConsonant;
extern BYTE t99NoAutoPulli;

// Puts every per-process global back to its state at process attach (all zero).
void ResetProcessState();
