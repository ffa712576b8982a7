// Drives the engine as an application thread would: each message is retrieved through the
// hook (as GetMessage with PM_REMOVE), then dispatched to the host model; posted messages and
// synthesized input are retrieved the same way after it, posted ones first.
#pragma once

#include <string>

#include "engine/testing/fake_win32.h"

namespace fake {

// A fresh engine in a fresh process: shared block at its initial values, per-process state
// zero, process attach run, a host window of class "RichEdit20W" with the focus.
HWND StartProcess(const std::string& modulePath = "C:\\Program Files\\Host\\host.exe");

// Retrieves one message through the hook and dispatches it; fromUser marks a keystroke of the
// user, whose character counts as the user's when it reaches the host unchanged.
LRESULT Retrieve(MSG msg, bool fromUser = false);

// Retrieves everything posted or synthesized so far.
void Pump();

// Presses the toggle key as the shared block defines it (Alt+key or the key alone).
void PressToggle(HWND window);

// A key-down (with Alt when alt is true), lParam 1, then the queue is pumped.
void PressKey(HWND window, UINT vk, bool alt = false);

// Types each character as a key-down and its character (lParam 1, first press), pumping the
// queue after each. "\b" is the Backspace key, "\t" Tab, "\r" Enter.
void Type(HWND window, const std::string& keys);

// Sends only the character message of each key (no key-down), pumping after each.
void TypeChars(HWND window, const std::string& keys);

// The toggle message the engine posts to an owner window: how many, and their wParams.
std::vector<WPARAM> ToggleNotifications(HWND owner);

}  // namespace fake
