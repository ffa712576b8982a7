// The native fake behind fake_windows.h: it records every Win32 call the engine makes and
// applies each message to a model of the host application, so that tests can assert on the
// calls where the exact calls matter and on the resulting text where the user sees text.
#pragma once

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/testing/fake_windows.h"

namespace fake {

struct Call {
  std::string function;
  HWND window;
  UINT message;  // for keybd_event: the flags
  WPARAM wParam; // for keybd_event: the virtual key
  LPARAM lParam;
};

// The process the engine runs in, as GetCurrentProcessId reports it.
const DWORD kThisProcess = 0x1234;

// One character of the host's document, and whether it came from the user's own keystroke
// (as opposed to text the engine delivered).
struct Unit {
  uint16_t code;
  bool fromUser;
};

// How the host control erases: a rich edit control on the Backspace key-down, a plain edit
// control on the character 8.
enum class EraseOn { KeyDown, Char8 };

// How the host pastes on Ctrl+V: a rich edit control on the V key-down, a plain edit control on
// the character 0x16 that TranslateMessage makes of it, or an accelerator of the application's
// own (TranslateAccelerator takes the key-down, so no character ever comes).
enum class PasteOn { KeyDown, Char16, Accelerator };

struct Host {
  std::vector<Unit> text;
  size_t caretFromEnd = 0;  // the caret stands this many units before the end of the text
  EraseOn eraseOn = EraseOn::KeyDown;
  PasteOn pasteOn = PasteOn::KeyDown;
  bool keepsNul = false;    // Word: a keystroke neutralised to NUL still leaves a character
  // Characters that are letters of the font where the user types them (LIPI and T_OLD glyphs in
  // the ASCII range): the engine may rewrite them like its own, and erasing one is no loss.
  std::set<uint16_t> typedGlyphs;
  int userUnitsErased = 0;  // characters typed by the user that a backspace removed
  int erasesOnEmpty = 0;    // backspaces that found nothing before the caret
};

struct Window {
  std::string className;
  HWND parent = nullptr;
  DWORD processId = kThisProcess;  // another value: a window of another process
  bool alive = true;
  Host host;
};

// A message waiting in the thread's queue, and whether it carries a character of the user's
// (TranslateMessage's character of a key the user pressed).
struct Queued {
  MSG msg;
  bool fromUser;
};

struct World {
  std::vector<Call> calls;
  std::map<HWND, Window> windows;
  std::deque<Queued> posted;  // this thread's queue
  std::deque<MSG> input;      // synthesized keyboard input, retrieved after posted messages
  HWND focus = nullptr;       // where synthesized input goes
  DWORD tick = 0;             // GetTickCount, and the time of every message made from now on
  bool pumpGaveUp = false;    // Pump found the queue never empty (something kept posting)
  int composedNotTyped = 0;   // messages the hook composed that no key of the user's made

  std::string modulePath = "C:\\Program Files\\Host\\host.exe";
  std::vector<BYTE> versionResource;  // what GetFileVersionInfoA returns; empty: none

  bool clipboardOpenFails = false;
  bool clipboardOpen = false;
  std::string clipboard;  // CF_TEXT contents
  std::map<HGLOBAL, std::vector<BYTE>> globals;

  HHOOK installedHook = nullptr;
  bool hookFails = false;
  bool unhookFails = false;
  int hooksInstalled = 0;
  HOOKPROC hookProc = nullptr;

  BYTE keyState[256] = {0};
  int asciiResult = -1;      // what ToAscii produces; negative: no character
  bool controlDown = false;  // Ctrl is down as the host has read its keys
};

World& world();
void Reset();

// A live window of the given class, with an empty document.
HWND NewWindow(const std::string& className, HWND parent = nullptr);
Host& HostOf(HWND window);
void DestroyWindow(HWND window);

// The document as bytes (each unit's low byte) and as UTF-16 (converted to UTF-8).
std::string Bytes(HWND window);
std::string Utf8(HWND window);

// Calls that reach the host or the system on the host's behalf, rendered for comparison:
// "SendMessageA WM_CHAR 8 0", "PostMessageW WM_CHAR 0xb95 0", "keybd_event 0x8 0",
// "OpenClipboard", "SetClipboardData CF_TEXT", ...
std::vector<std::string> DeliveryLog();
void ClearLog();

// Counts of the calls made to one function.
int CountCalls(const std::string& function);

// What the host does with a message that reaches its window procedure.
void Dispatch(const MSG& msg, bool fromUser);

// A message made now: time is the world's tick.
MSG Message(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A version resource laid out as GetFileVersionInfoA returns it.
std::vector<BYTE> VersionResource(unsigned productMajor, unsigned fileMajor = 1);

}  // namespace fake
