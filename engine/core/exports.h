// The engine's six exported functions, plain C names, cdecl in both builds.
#pragma once

#include "engine/core/platform.h"

#if defined(_WIN32) && !defined(VIREL_ENGINE_BUILD)
#define VIREL_API __declspec(dllimport)
#else
#define VIREL_API
#endif

extern "C" {
// Installs the message hook for every thread of the desktop; 1 on success, 0 when a hook of this
// build is already installed by a live owner or the hook cannot be installed.
VIREL_API int __cdecl LoadVirelEngine(HWND owner);
// Removes the hook installed for owner; nonzero on success.
VIREL_API int __cdecl UnloadVirelEngine(HWND owner);
// 0 Unicode, 1 TSCII, 2 TAB, 3 TAM, 4 LIPI, 5 T_OLD; anything else TSCII.
VIREL_API void __cdecl SetTamilEncodings(int encoding);
// 0 phonetic, 1 Tamil99, 2 New Typewriter, 3 Old Typewriter; anything else phonetic.
VIREL_API void __cdecl SetTamilKeyboard(int keyboard);
// The toggle key: virtual key vk, with Alt when alt is 1 (low bytes only).
VIREL_API void __cdecl SetHotKey(int alt, int vk);
// Flips Tamil input and tells the owner window.
VIREL_API void __cdecl ToggleTamil();
}

// Name of the window message that reports the Tamil/English state to the owner window.
extern const char kTamilOnOffMessageName[];

// What the library entry does when the engine is mapped into and out of a process.
void EngineProcessAttach(HINSTANCE instance);
void EngineProcessDetach();

// Posts the toggle message with the new state to the owner window, if there is one.
void NotifyOwner(BYTE state);
