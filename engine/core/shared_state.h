// The settings block that every process holding this build of the engine sees as one copy.
// The fields are separate globals; each is a byte, a 32-bit integer or a pointer, written whole
// and without locks: the last writer wins.
#pragma once

#include "engine/core/platform.h"

extern BYTE encTab;
extern BYTE oldTypewriter;
extern BYTE encLipi;
extern BYTE syllableTables;  // take consonant+i/ii from the consonantI/consonantIi slots
extern int twMode;           // typewriter mode for the keystroke being composed
extern BYTE encTam;
extern BYTE tamilOn;
extern BYTE encUnicode;
extern BYTE encTscii;
extern BYTE encTOld;
extern BYTE hotKeyVk;
extern BYTE hotKeyAlt;  // 1: the toggle key arrives as WM_SYSKEYDOWN (with Alt)
extern int twPending;   // typewriter mode left by an Old Typewriter dead key
extern int keyboardLayout;
extern HWND ownerWindow;
extern HHOOK hookHandle;

// Encoding numbers, as stored and as passed to SetTamilEncodings.
enum EncodingNumber { kEncUnicode = 0, kEncTscii = 1, kEncTab = 2, kEncTam = 3, kEncLipi = 4, kEncTOld = 5 };

// Keyboard numbers, as passed to SetTamilKeyboard.
enum KeyboardNumber { kKbdPhonetic = 0, kKbdTamil99 = 1, kKbdNewTypewriter = 2, kKbdOldTypewriter = 3 };

// Values of keyboardLayout.
enum KeyboardLayout { kLayoutPhonetic = 0, kLayoutTamil99 = 1, kLayoutTypewriter = 2 };

// Puts every field back to the value it has when the first process maps the engine.
void ResetSharedState();
