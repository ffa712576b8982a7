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
  UINT message;  // for SendInput: the key event's flags
  WPARAM wParam; // for SendInput: the virtual key
  LPARAM lParam;
};

// The process the engine runs in, as GetCurrentProcessId reports it, and its first GUI thread.
const DWORD kThisProcess = 0x1234;
const DWORD kMainThread = 0x5678;

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
// own (TranslateAccelerator takes the key-down when Ctrl alone is held, so no character comes).
enum class PasteOn { KeyDown, Char16, Accelerator };

struct Host {
  std::vector<Unit> text;
  size_t caretFromEnd = 0;  // the caret stands this many units before the end of the text
  EraseOn eraseOn = EraseOn::KeyDown;
  PasteOn pasteOn = PasteOn::KeyDown;
  bool keepsNul = false;    // Word: a keystroke neutralised to NUL still leaves a character
  DWORD stallMs = 0;        // time the host spends in its key-down handler before translating
  bool pumpsInSentMessages = false;  // its window procedure runs a message loop (a popup, a prompt)
  // Characters that are letters of the font where the user types them (LIPI and T_OLD glyphs in
  // the ASCII range): the engine may rewrite them like its own, and erasing one is no loss.
  std::set<uint16_t> typedGlyphs;
  int userUnitsErased = 0;  // characters typed by the user that a backspace not the user's removed
  int usersOwnErased = 0;   // the same, removed by the user's own Backspace
  int erasesOnEmpty = 0;    // backspaces not the user's that found nothing before the caret
  int pastesFailed = 0;     // pastes that found the clipboard held by another program
};

struct Window {
  std::string className;
  HWND parent = nullptr;
  DWORD processId = kThisProcess;  // another value: a window of another process
  DWORD threadId = kMainThread;
  bool alive = true;
  Host host;
};

// A message waiting in a thread's queue, and whether it is the user's (a key the user pressed, or
// TranslateMessage's character of one).
struct Queued {
  MSG msg;
  bool fromUser;
  LPARAM extraInfo = 0;  // what SendInput gave, as GetMessageExtraInfo reports it once retrieved
};

// A GUI thread's queues: its posted messages, and its keyboard input, retrieved after them.
struct Thread {
  std::deque<Queued> posted;
  std::deque<Queued> input;
};

struct World {
  std::vector<Call> calls;
  std::map<HWND, Window> windows;
  std::map<DWORD, Thread> threads;
  DWORD currentThread = kMainThread;  // the thread that is retrieving messages
  HWND focus = nullptr;       // where keyboard input goes, in its window's thread
  DWORD tick = 0;             // GetTickCount, and the time of every message made from now on
  bool pumpGaveUp = false;    // Pump found the queue never empty (something kept posting)
  int composedNotTyped = 0;   // messages the hook composed that no key of the user's made
  int nesting = 0;            // message loops running inside a sent message

  std::string modulePath = "C:\\Program Files\\Host\\host.exe";
  std::vector<BYTE> versionResource;  // what GetFileVersionInfoA returns; empty: none

  bool clipboardOpenFails = false;
  bool clipboardOpen = false;
  std::map<UINT, std::vector<BYTE>> clipboard;  // format -> data
  DWORD clipboardSequence = 1;
  bool clipboardMonitor = false;  // a program that opens the clipboard whenever it changes, unless told to skip
  std::map<std::string, UINT> clipboardFormats;  // registered format names
  std::map<HGLOBAL, std::vector<BYTE>> globals;

  // Named sections of the session, each with the integrity of the process that made it, and the
  // integrity of the process the engine runs in; views that are copies of a section.
  struct Section {
    BYTE* memory;
    size_t size;
    DWORD integrity;
  };
  std::map<std::wstring, Section> sections;
  std::map<const void*, std::wstring> views;
  std::set<BYTE*> copies;
  DWORD integrity = 0x2000;  // medium
  DWORD session = 1;          // "Local\\" names are the session's
  DWORD lastError = 0;
  ~World();

  HHOOK installedHook = nullptr;
  bool hookFails = false;
  bool unhookFails = false;
  int hooksInstalled = 0;
  HOOKPROC hookProc = nullptr;

  // Key states: as the retrieving thread has read its keys (GetKeyState), and as the keys are now
  // (GetAsyncKeyState, changed as key events are made).
  BYTE keyState[256] = {0};
  BYTE asyncKeyState[256] = {0};
  int asciiResult = -2;       // what ToUnicode produces: -2 the layout's character, -1 none
  std::set<UINT> deadKeys;    // keys of the layout that are dead keys
  int keysToLose = 0;         // synthesized key events that another program takes from now on
  bool inputBlocked = false;  // SendInput injects nothing (another desktop has the input)
  bool postFails = false;     // PostMessage fails (a full queue)
  std::multiset<BYTE> heldUsersKeys;  // the user's key-downs the hook neutralised, not yet put back
  LPARAM messageExtraInfo = 0;      // of the message the thread retrieved last
};

World& world();
void Reset();

// A live window of the given class, with an empty document.
HWND NewWindow(const std::string& className, HWND parent = nullptr);
Host& HostOf(HWND window);
void DestroyWindow(HWND window);

// The thread of a window (its own for an unknown one).
Thread& ThreadOf(HWND window);

// The clipboard's CF_TEXT, and putting text there as the user's copy would.
std::string ClipboardText();
void SetClipboardText(const std::string& text);

// The document as bytes (each unit's low byte) and as UTF-16 (converted to UTF-8).
std::string Bytes(HWND window);
std::string Utf8(HWND window);

// Calls that reach the host or the system on the host's behalf, rendered for comparison:
// "SendMessageA WM_CHAR 8 0", "PostMessageW WM_CHAR 0xb95 0", "SendInput 0x8 0",
// "OpenClipboard", "SetClipboardData CF_TEXT", ...
std::vector<std::string> DeliveryLog();
void ClearLog();

// Counts of the calls made to one function.
int CountCalls(const std::string& function);

// What the host does with a message that reaches its window procedure.
void Dispatch(const MSG& msg, bool fromUser);

// Retrieves everything queued in a thread (the typing driver): what a window procedure that runs
// a message loop of its own does.
bool PumpThread(DWORD thread);

// The host's paste: the clipboard's text at the caret, unless a monitor holds the clipboard; the
// user's text when the user pasted it.
void Paste(HWND window, bool fromUser = false);

// A keyboard layout (US English): the key and Shift state that type a character, and back.
// Other characters come as VK_PACKET, the character in the high word of lParam.
struct KeyStroke {
  BYTE vk;
  bool shift;
};
KeyStroke KeyFor(unsigned char ch);
unsigned char CharacterOf(BYTE vk, bool shift);

// A key event in the input stream as the system makes it from a key press: its lParam.
LPARAM KeyLParam(BYTE vk, bool up, bool extended = false);

// A message made now: time is the world's tick.
MSG Message(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A version resource laid out as GetFileVersionInfoA returns it.
std::vector<BYTE> VersionResource(unsigned productMajor, unsigned fileMajor = 1);

}  // namespace fake
