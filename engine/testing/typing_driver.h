// Drives the engine as an application thread would: each message is retrieved through the
// hook (as GetMessage with PM_REMOVE), then goes through the host's loop (TranslateAccelerator,
// TranslateMessage) to its window; posted messages and synthesized input are retrieved the same
// way after it, posted ones first.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "engine/testing/fake_win32.h"

namespace fake {

// A fresh engine in a fresh process: shared block at its initial values, per-process state
// zero, process attach run, a host window of class "RichEdit20W" with the focus.
HWND StartProcess(const std::string& modulePath = "C:\\Program Files\\Host\\host.exe");

// The engine mapped into another process of the same bitness: the shared block as it is, the
// per-process state fresh and process attach run. The windows stay: they stand for the desktop.
void EnterAnotherProcess(const std::string& modulePath = "C:\\Program Files\\Other\\other.exe");

// An application a host profile exists for, as the host model plays it: the control that takes
// the keys, how it erases and pastes, and what else it does with the messages it gets.
struct Application {
  const char* name;
  const char* module;
  const char* className;
  EraseOn eraseOn;
  PasteOn pasteOn = PasteOn::KeyDown;
  bool keepsNul = false;              // Word
  const char* parentClass = nullptr;  // a control inside a dialog (KAVIT's edit fields)
  unsigned productMajor = 0;          // version resource; 0: none
};

// A plain host (no profile), then one application for every profile, and the variants of a
// profile where the applications differ (Ctrl+V a character or an accelerator).
const std::vector<Application>& Applications();

// A fresh process running the application; returns the window that has the focus.
HWND StartApplication(const Application& app);

// The virtual key the driver presses for a character (the US layout of KeyFor).
UINT VirtualKeyOf(unsigned char ch);

// Retrieves one message through the hook and the host's loop, in the thread of its window.
// fromUser marks the user's keystroke: its character counts as the user's when it reaches the
// host. A key-down the hook leaves alone goes through TranslateAccelerator (Ctrl+V alone, in a
// host that pastes by accelerator) and TranslateMessage, whose character is posted. extraInfo is
// what GetMessageExtraInfo then reports.
LRESULT Retrieve(MSG msg, bool fromUser = false, LPARAM extraInfo = 0);

// Retrieves the next message of a thread (posted ones before input); false when there is none.
bool RetrieveNext(DWORD thread);

// A filtered PeekMessage of the host: the first message of the thread between first and last,
// posted or input (false when there is none).
bool RetrieveFiltered(DWORD thread, UINT first, UINT last);

// Retrieves everything queued in one thread, or in every thread. False (and world().pumpGaveUp)
// when a queue never emptied: something kept posting.
bool PumpThread(DWORD thread);
bool Pump();

// Presses the toggle key as the shared block defines it (Alt+key or the key alone).
void PressToggle(HWND window);

// A key-down (with Alt when alt is true), lParam 1, then the queue is pumped.
void PressKey(HWND window, UINT vk, bool alt = false);

// The user types the key of a character, with Shift held through it where the layout needs
// Shift; the host keeps `behind` of the user's keys unread (0: it reads everything at once).
void TypeKey(HWND window, unsigned char ch, unsigned behind = 0);

// The user presses the toggle key (Alt held where it needs Alt), as TypeKey.
void TypeToggle(HWND window, unsigned behind = 0);

// Types each character with the focus on the window, the host keeping up. "\b" is the
// Backspace key, "\t" Tab, "\r" Enter.
void Type(HWND window, const std::string& keys);

// The host reads its queue: all of it, or until at most `behind` of the user's keys wait.
void Keep(unsigned behind);

// Types faster than the host reads: it stays `behind` keys behind the typist; then it catches up.
void TypeAhead(HWND window, const std::string& keys, unsigned behind);

// Sends only the character message of each key (no key-down), pumping after each.
void TypeChars(HWND window, const std::string& keys);

// A mouse click that puts the caret unitsFromEnd units before the end of the text.
void Click(HWND window, size_t unitsFromEnd);

// LIPI and T_OLD: the printable ASCII characters that are glyphs of the loaded tables, which the
// font shows as letters the user types (see Host::typedGlyphs); empty for other encodings.
std::set<uint16_t> TypedGlyphs();

// The toggle message the engine posts to an owner window: how many, and their wParams.
std::vector<WPARAM> ToggleNotifications(HWND owner);

}  // namespace fake
