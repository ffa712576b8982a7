// The block every process of one logon session that maps this build of the engine sees as one
// copy: the settings, and what the hook and the typewriter composers keep there. Each field is a
// byte, a 32-bit integer or a pointer, written whole and without locks: the last writer wins.
//
// It is a named section of the session, not of the system, so that other users of the same PC
// (fast user switching, a terminal server) have blocks of their own. The settings page can be
// written only by processes of the integrity of the process that made the block (the tray
// program) or above: a process of lower integrity (a sandbox) gets a copy-on-write view, in
// which whatever it writes stays its own.
#pragma once

#include "engine/core/platform.h"

struct EngineSharedState {
  // The settings page: the exports write it.
  BYTE encTab;
  BYTE oldTypewriter;
  BYTE encLipi;
  BYTE encTam;
  BYTE encUnicode;
  BYTE encTscii;
  BYTE encTOld;
  BYTE hotKeyVk;
  BYTE hotKeyAlt;  // 1: the toggle key arrives as WM_SYSKEYDOWN (with Alt)
  int keyboardLayout;
  HWND ownerWindow;
  HHOOK hookHandle;
  // The page the hook writes as the user types: Tamil on or off, what set-up decides of the
  // tables, and the typewriter composers' mode.
  alignas(4096) BYTE tamilOn;
  BYTE syllableTables;  // take consonant+i/ii from the consonantI/consonantIi slots
  int twMode;           // typewriter mode for the keystroke being composed
  int twPending;        // typewriter mode left by an Old Typewriter dead key
};

// This process's view of the block of its session.
extern EngineSharedState* shared;

// Maps the session's block (made, with its first values, when no process of the session holds it
// yet). Where it cannot be had at all, the process keeps a block of its own in which no toggle key
// is set: the engine does nothing there.
void MapSharedState();
// Lets the view go (process detach); the process is left with its own block.
void UnmapSharedState();

// Encoding numbers, as stored and as passed to SetTamilEncodings.
enum EncodingNumber { kEncUnicode = 0, kEncTscii = 1, kEncTab = 2, kEncTam = 3, kEncLipi = 4, kEncTOld = 5 };

// Keyboard numbers, as passed to SetTamilKeyboard.
enum KeyboardNumber { kKbdPhonetic = 0, kKbdTamil99 = 1, kKbdNewTypewriter = 2, kKbdOldTypewriter = 3 };

// Values of keyboardLayout.
enum KeyboardLayout { kLayoutPhonetic = 0, kLayoutTamil99 = 1, kLayoutTypewriter = 2 };

// Puts every field back to the value it has when the first process of a session maps the engine.
void ResetSharedState();
