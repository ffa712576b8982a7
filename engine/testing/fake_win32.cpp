#include "engine/testing/fake_win32.h"

#include "engine/core/own_input.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

#include <algorithm>

namespace fake {

namespace {

World* current = nullptr;
uintptr_t nextHandle = 0x1000;

void Record(const char* function, HWND window = nullptr, UINT message = 0, WPARAM w = 0, LPARAM l = 0) {
  world().calls.push_back(Call{function, window, message, w, l});
}

std::string MessageName(UINT message) {
  switch (message) {
    case WM_CHAR: return "WM_CHAR";
    case WM_KEYDOWN: return "WM_KEYDOWN";
    case WM_KEYUP: return "WM_KEYUP";
    case WM_UNICHAR: return "WM_UNICHAR";
    case WM_SYSKEYDOWN: return "WM_SYSKEYDOWN";
    default: {
      char text[16];
      snprintf(text, sizeof text, "0x%x", message);
      return text;
    }
  }
}

std::string Number(uintptr_t value) {
  char text[24];
  if (value < 10) {
    snprintf(text, sizeof text, "%u", static_cast<unsigned>(value));
  } else {
    snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
  }
  return text;
}

// Index of the unit just before the caret, or -1 when the caret is at the start.
long BeforeCaret(const Host& host) {
  return static_cast<long>(host.text.size()) - static_cast<long>(host.caretFromEnd) - 1;
}

// A backspace of the user's own may erase anything; one of the engine's only what it wrote.
void Erase(Host& host, bool byUser) {
  long at = BeforeCaret(host);
  if (at < 0) {
    if (!byUser) ++host.erasesOnEmpty;
    return;
  }
  const Unit& erased = host.text[at];
  if (erased.fromUser && host.typedGlyphs.count(erased.code) == 0) ++(byUser ? host.usersOwnErased : host.userUnitsErased);
  host.text.erase(host.text.begin() + at);
}

void Insert(Host& host, uint16_t code, bool fromUser) {
  host.text.insert(host.text.begin() + (BeforeCaret(host) + 1), Unit{code, fromUser});
}

// Whether the clipboard's content tells monitors to leave it alone.
bool SkippedByMonitors() {
  auto found = world().clipboardFormats.find("ExcludeClipboardContentFromMonitorProcessing");
  return found != world().clipboardFormats.end() && world().clipboard.count(found->second) != 0;
}

// Arrow keys, Home and End in a one-line document; a click puts the caret where its lParam
// says (units before the end).
void MoveCaret(Host& host, UINT message, WPARAM key, LPARAM lParam) {
  size_t size = host.text.size();
  if (message == WM_LBUTTONDOWN) {
    host.caretFromEnd = std::min(static_cast<size_t>(lParam), size);
    return;
  }
  switch (key) {
    case VK_LEFT:
      if (host.caretFromEnd < size) ++host.caretFromEnd;
      return;
    case VK_RIGHT:
      if (host.caretFromEnd > 0) --host.caretFromEnd;
      return;
    case VK_HOME:
    case VK_UP:
    case VK_PRIOR:
      host.caretFromEnd = size;
      return;
    case VK_END:
    case VK_DOWN:
    case VK_NEXT:
      host.caretFromEnd = 0;
      return;
    default:
      return;
  }
}

}  // namespace

World::~World() {
  for (auto& section : sections) free(section.second.memory);
  for (BYTE* copy : copies) free(copy);
}

World& world() {
  if (current == nullptr) current = new World();
  return *current;
}

void Reset() {
  delete current;
  current = new World();
}

HWND NewWindow(const std::string& className, HWND parent) {
  HWND window = reinterpret_cast<HWND>(nextHandle);
  nextHandle += 0x10;
  Window& w = world().windows[window];
  w.className = className;
  w.parent = parent;
  if (world().focus == nullptr) world().focus = window;
  return window;
}

Host& HostOf(HWND window) { return world().windows[window].host; }

void DestroyWindow(HWND window) { world().windows[window].alive = false; }

std::string Bytes(HWND window) {
  std::string bytes;
  for (const Unit& u : HostOf(window).text) bytes += static_cast<char>(u.code & 0xFF);
  return bytes;
}

std::string Utf8(HWND window) {
  std::string out;
  for (const Unit& u : HostOf(window).text) {
    unsigned c = u.code;
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::vector<std::string> DeliveryLog() {
  static const char* const kDelivery[] = {"SendMessageA", "SendMessageW", "PostMessageA", "PostMessageW",
                                          "SendInput"};
  static const char* const kClipboard[] = {"OpenClipboard", "EmptyClipboard", "CloseClipboard"};
  std::vector<std::string> log;
  for (const Call& c : world().calls) {
    if (std::find_if(std::begin(kDelivery), std::end(kDelivery),
                     [&](const char* f) { return c.function == f; }) != std::end(kDelivery)) {
      if (c.function == "SendInput") {
        log.push_back("SendInput " + Number(c.wParam) + " " + Number(c.message));
      } else {
        log.push_back(c.function + " " + MessageName(c.message) + " " + Number(c.wParam) + " " + Number(c.lParam));
      }
    } else if (std::find_if(std::begin(kClipboard), std::end(kClipboard),
                            [&](const char* f) { return c.function == f; }) != std::end(kClipboard)) {
      log.push_back(c.function);
    } else if (c.function == "SetClipboardData") {
      log.push_back("SetClipboardData " + Number(c.message));
    }
  }
  return log;
}

void ClearLog() { world().calls.clear(); }

int CountCalls(const std::string& function) {
  return static_cast<int>(std::count_if(world().calls.begin(), world().calls.end(),
                                        [&](const Call& c) { return c.function == function; }));
}

void Dispatch(const MSG& msg, bool fromUser) {
  auto found = world().windows.find(msg.hwnd);
  if (found == world().windows.end()) return;
  Host& host = found->second.host;
  switch (msg.message) {
    case WM_CHAR:
    case WM_UNICHAR:
      if (msg.wParam == 0) {
        if (host.keepsNul) Insert(host, 0, false);
        return;
      }
      if (msg.wParam == VK_BACK) {
        if (host.eraseOn == EraseOn::Char8) Erase(host, fromUser);
        return;
      }
      if (msg.wParam == 0x16) {
        if (host.pasteOn == PasteOn::Char16) Paste(msg.hwnd, fromUser);
        return;
      }
      Insert(host, static_cast<uint16_t>(msg.wParam), fromUser);
      return;
    case WM_KEYDOWN:
      if (msg.wParam == VK_BACK && host.eraseOn == EraseOn::KeyDown) Erase(host, fromUser);
      if (msg.wParam == 0x56 && (world().keyState[VK_CONTROL] & 0x80) && host.pasteOn == PasteOn::KeyDown) {
        Paste(msg.hwnd, fromUser);
      }
      MoveCaret(host, msg.message, msg.wParam, msg.lParam);
      return;
    case WM_LBUTTONDOWN:
      MoveCaret(host, msg.message, 0, msg.lParam);
      return;
    default:
      return;
  }
}

void Paste(HWND window, bool fromUser) {
  Host& host = HostOf(window);
  // A monitor told of the change opens the clipboard at once, and holds it as the host pastes
  // (the user's paste comes long after the user's copy).
  if (!fromUser && world().clipboardMonitor && !SkippedByMonitors()) {
    ++host.pastesFailed;
    return;
  }
  for (unsigned char c : ClipboardText()) Insert(host, c, fromUser);
}

Thread& ThreadOf(HWND window) {
  auto found = world().windows.find(window);
  return world().threads[found == world().windows.end() ? 0 : found->second.threadId];
}

std::string ClipboardText() {
  auto found = world().clipboard.find(CF_TEXT);
  if (found == world().clipboard.end()) return "";
  const std::vector<BYTE>& data = found->second;
  return std::string(data.begin(), std::find(data.begin(), data.end(), 0));
}

void SetClipboardText(const std::string& text) {
  world().clipboard.clear();
  world().clipboard[CF_TEXT] = std::vector<BYTE>(text.begin(), text.end());
  world().clipboard[CF_TEXT].push_back(0);
  ++world().clipboardSequence;
}

namespace {

const char kShiftedDigits[] = ")!@#$%^&*(";
// Punctuation keys: the key, its character and its character with Shift.
const struct {
  BYTE vk;
  char plain;
  char shifted;
} kPunctuation[] = {{0xBA, ';', ':'}, {0xBB, '=', '+'}, {0xBC, ',', '<'}, {0xBD, '-', '_'},
                    {0xBE, '.', '>'}, {0xBF, '/', '?'}, {0xC0, '`', '~'}, {0xDB, '[', '{'},
                    {0xDC, '\\', '|'}, {0xDD, ']', '}'}, {0xDE, '\'', '"'}};

}  // namespace

KeyStroke KeyFor(unsigned char ch) {
  if (ch >= 'a' && ch <= 'z') return {static_cast<BYTE>(ch - 'a' + 'A'), false};
  if (ch >= 'A' && ch <= 'Z') return {ch, true};
  if ((ch >= '0' && ch <= '9') || ch == ' ' || ch == '\b' || ch == '\t' || ch == '\r') return {ch, false};
  for (int d = 0; d < 10; ++d) {
    if (kShiftedDigits[d] == ch) return {static_cast<BYTE>('0' + d), true};
  }
  for (const auto& p : kPunctuation) {
    if (p.plain == ch) return {p.vk, false};
    if (p.shifted == ch) return {p.vk, true};
  }
  return {VK_PACKET, false};  // typed as a character of its own, as an input method does
}

unsigned char CharacterOf(BYTE vk, bool shift) {
  if (vk >= 'A' && vk <= 'Z') return shift ? vk : static_cast<unsigned char>(vk - 'A' + 'a');
  if (vk >= '0' && vk <= '9') return shift ? kShiftedDigits[vk - '0'] : vk;
  if (vk == ' ' || vk == VK_BACK || vk == VK_TAB || vk == VK_RETURN) return vk;
  for (const auto& p : kPunctuation) {
    if (p.vk == vk) return shift ? p.shifted : p.plain;
  }
  return 0;
}

LPARAM KeyLParam(BYTE vk, bool up, bool extended) {
  LPARAM lParam = 1 | static_cast<LPARAM>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)) << 16;
  if (extended) lParam |= 1 << 24;
  if (up) lParam |= static_cast<LPARAM>(0xC0000000u);
  return lParam;
}

MSG Message(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return MSG{window, message, wParam, lParam, world().tick, {0, 0}};
}

std::vector<BYTE> VersionResource(unsigned productMajor, unsigned fileMajor) {
  std::vector<BYTE> r;
  auto word = [&](unsigned v) {
    r.push_back(static_cast<BYTE>(v));
    r.push_back(static_cast<BYTE>(v >> 8));
  };
  auto dword = [&](uint32_t v) {
    word(v & 0xFFFF);
    word(v >> 16);
  };
  word(0);   // wLength, patched below
  word(52);  // wValueLength: VS_FIXEDFILEINFO
  word(0);   // wType
  for (const char* p = "VS_VERSION_INFO"; *p; ++p) word(static_cast<unsigned char>(*p));
  word(0);
  while (r.size() % 4) r.push_back(0);
  dword(0xFEEF04BD);              // dwSignature
  dword(0x00010000);              // dwStrucVersion
  dword(fileMajor << 16 | 2);     // dwFileVersionMS
  dword(3 << 16 | 4);             // dwFileVersionLS
  dword(productMajor << 16 | 6);  // dwProductVersionMS
  dword(0);                       // dwProductVersionLS
  for (int i = 0; i < 7; ++i) dword(0);
  for (int i = 0; i < 40; ++i) r.push_back(0);  // children (StringFileInfo...) stand-in
  r[0] = static_cast<BYTE>(r.size());
  r[1] = static_cast<BYTE>(r.size() >> 8);
  return r;
}

}  // namespace fake

using fake::Record;
using fake::world;

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
  // The hook handle is recorded in the window field.
  Record("CallNextHookEx", reinterpret_cast<HWND>(hook), static_cast<UINT>(code), wParam, lParam);
  return 0;
}

HHOOK SetWindowsHookExA(int idHook, HOOKPROC proc, HINSTANCE, DWORD threadId) {
  Record("SetWindowsHookExA", nullptr, static_cast<UINT>(idHook), threadId, 0);
  if (world().hookFails) return nullptr;
  ++world().hooksInstalled;
  world().hookProc = proc;
  world().installedHook = reinterpret_cast<HHOOK>(static_cast<uintptr_t>(0x7000 + world().hooksInstalled));
  return world().installedHook;
}

BOOL UnhookWindowsHookEx(HHOOK hook) {
  Record("UnhookWindowsHookEx", nullptr, 0, reinterpret_cast<WPARAM>(hook), 0);
  if (world().unhookFails || hook != world().installedHook) return FALSE;
  world().installedHook = nullptr;
  return TRUE;
}

BOOL DisableThreadLibraryCalls(HMODULE) {
  Record("DisableThreadLibraryCalls");
  return TRUE;
}

UINT RegisterWindowMessageA(LPCSTR name) {
  Record("RegisterWindowMessageA");
  return strcmp(name, "UWM_TAMILONOFF_MSG-VR4031B1_14D3_11d5_A025_006067718D04") == 0 ? 0xC123 : 0xC200;
}

int GetClassNameA(HWND window, LPSTR name, int size) {
  Record("GetClassNameA", window);
  auto found = world().windows.find(window);
  if (found == world().windows.end() || size <= 0) return 0;
  snprintf(name, static_cast<size_t>(size), "%s", found->second.className.c_str());
  return static_cast<int>(strlen(name));
}

DWORD GetWindowThreadProcessId(HWND window, DWORD* processId) {
  Record("GetWindowThreadProcessId", window);
  auto found = world().windows.find(window);
  bool known = found != world().windows.end();
  if (processId != nullptr) *processId = known ? found->second.processId : 0;
  return known ? found->second.threadId : 0;
}

DWORD GetCurrentProcessId() { return fake::kThisProcess; }

HWND GetParent(HWND window) {
  Record("GetParent", window);
  auto found = world().windows.find(window);
  return found == world().windows.end() ? nullptr : found->second.parent;
}

BOOL IsWindow(HWND window) {
  Record("IsWindow", window);
  auto found = world().windows.find(window);
  return found != world().windows.end() && found->second.alive;
}

int lstrcmpiA(LPCSTR a, LPCSTR b) { return strcasecmp(a, b); }

namespace fake {
namespace {

BOOL Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (world().postFails || world().windows.count(window) == 0 || !world().windows[window].alive) return FALSE;
  ThreadOf(window).posted.push_back(Queued{Message(window, message, wParam, lParam), false});
  return TRUE;
}

// A window procedure that runs a message loop of its own while it handles a sent message.
void RunNestedLoop(HWND window) {
  auto found = world().windows.find(window);
  if (found == world().windows.end() || !found->second.host.pumpsInSentMessages || world().nesting > 0) return;
  ++world().nesting;
  PumpThread(found->second.threadId);
  --world().nesting;
}

}  // namespace
}  // namespace fake

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Record("PostMessageA", window, message, wParam, lParam);
  // An ANSI character reaches a Unicode window as the code point of its byte (code page 1252
  // differs only in 0x80-0x9F, which tests compare as bytes).
  if (message == WM_CHAR) wParam &= 0xFF;
  return fake::Post(window, message, wParam, lParam);
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Record("PostMessageW", window, message, wParam, lParam);
  return fake::Post(window, message, wParam, lParam);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Record("SendMessageA", window, message, wParam, lParam);
  if (message == WM_CHAR) wParam &= 0xFF;
  fake::Dispatch(MSG{window, message, wParam, lParam, 0, {0, 0}}, false);
  fake::RunNestedLoop(window);
  return 0;
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Record("SendMessageW", window, message, wParam, lParam);
  fake::Dispatch(MSG{window, message, wParam, lParam, 0, {0, 0}}, false);
  fake::RunNestedLoop(window);
  return 0;
}

HWND GetFocus() {
  auto found = world().windows.find(world().focus);
  bool here = found != world().windows.end() && found->second.threadId == world().currentThread;
  return here ? world().focus : nullptr;
}

HWND GetForegroundWindow() { return world().focus; }

DWORD GetCurrentThreadId() { return world().currentThread; }

LPARAM GetMessageExtraInfo() { return world().messageExtraInfo; }

LONG InterlockedCompareExchange(volatile LONG* target, LONG exchange, LONG comparand) {
  return __sync_val_compare_and_swap(target, comparand, exchange);
}

BOOL GetKeyboardState(BYTE* state) {
  Record("GetKeyboardState");
  memcpy(state, world().keyState, 256);
  return TRUE;
}

SHORT GetKeyState(int vk) { return (world().keyState[vk & 0xFF] & 0x80) ? static_cast<SHORT>(0x8000) : 0; }

SHORT GetAsyncKeyState(int vk) {
  return (world().asyncKeyState[vk & 0xFF] & 0x80) ? static_cast<SHORT>(0x8000) : 0;
}

UINT MapVirtualKeyA(UINT code, UINT mapType) {
  if (mapType == MAPVK_VK_TO_CHAR) {
    UINT ch = fake::CharacterOf(static_cast<BYTE>(code), false);
    return world().deadKeys.count(code) ? (ch | 0x80000000u) : ch;
  }
  return (code * 7 + 1) & 0x7F;  // some scan code, the same for the same key
}

int ToUnicode(UINT vk, UINT scan, const BYTE* keyState, WCHAR* result, int size, UINT) {
  Record("ToUnicode", nullptr, 0, vk, 0);
  if (size < 1) return 0;
  if (world().deadKeys.count(vk)) return -1;
  int ch = world().asciiResult;
  if (ch == -2) ch = vk == VK_PACKET ? static_cast<int>(scan) : fake::CharacterOf(static_cast<BYTE>(vk), (keyState[VK_SHIFT] & 0x80) != 0);
  if (ch <= 0) return 0;
  result[0] = static_cast<WCHAR>(ch);
  return 1;
}

// Synthesized keys join the input stream of the thread with the focus as key events only; the
// characters come from the host's own TranslateMessage when it retrieves them (the typing
// driver). Keys another program takes are made all the same, and never arrive.
UINT SendInput(UINT count, INPUT* inputs, int) {
  if (world().inputBlocked) return 0;
  for (UINT i = 0; i < count; ++i) {
    const KEYBDINPUT& key = inputs[i].ki;
    Record("SendInput", nullptr, key.dwFlags, key.wVk, 0);
    bool up = (key.dwFlags & KEYEVENTF_KEYUP) != 0;
    BYTE vk = static_cast<BYTE>(key.wVk);
    // Messages carry the key without its side (VK_SHIFT for VK_LSHIFT); the key states have both.
    BYTE generic = vk == VK_LSHIFT || vk == VK_RSHIFT ? VK_SHIFT
                   : vk == VK_LCONTROL || vk == VK_RCONTROL ? VK_CONTROL
                   : vk == VK_LMENU || vk == VK_RMENU ? VK_MENU
                                                      : vk;
    for (BYTE k : {vk, generic}) world().asyncKeyState[k] = up ? 0 : 0x80;
    if (world().keysToLose > 0) {
      --world().keysToLose;
      continue;
    }
    if (world().focus == nullptr) continue;
    bool fromUser = false;  // a key of the user's that the hook held back, put back
    auto held = world().heldUsersKeys.find(generic);
    if (!up && key.dwExtraInfo == kHeldKeyMark && held != world().heldUsersKeys.end()) {
      world().heldUsersKeys.erase(held);
      fromUser = true;
    }
    LPARAM lParam = fake::KeyLParam(generic, up, (key.dwFlags & KEYEVENTF_EXTENDEDKEY) != 0);
    lParam = (lParam & ~(static_cast<LPARAM>(0xFF) << 16)) | static_cast<LPARAM>(key.wScan & 0xFF) << 16;
    UINT message = up ? WM_KEYUP : WM_KEYDOWN;
    fake::ThreadOf(world().focus)
        .input.push_back(fake::Queued{fake::Message(world().focus, message, generic, lParam), fromUser,
                                      static_cast<LPARAM>(key.dwExtraInfo)});
  }
  return count;
}

BOOL OpenClipboard(HWND owner) {
  Record("OpenClipboard", owner);
  if (world().clipboardOpenFails) return FALSE;
  world().clipboardOpen = true;
  return TRUE;
}

BOOL EmptyClipboard() {
  Record("EmptyClipboard");
  if (!world().clipboardOpen) return FALSE;
  world().clipboard.clear();
  ++world().clipboardSequence;
  return TRUE;
}

// The system owns the block from now on: it is freed when the clipboard is emptied.
HANDLE SetClipboardData(UINT format, HANDLE data) {
  Record("SetClipboardData", nullptr, format, 0, 0);
  auto found = world().globals.find(data);
  if (!world().clipboardOpen || found == world().globals.end()) return nullptr;
  const std::vector<BYTE>& block = found->second;
  // CF_TEXT ends at its terminator, which must lie inside the block.
  if (format == CF_TEXT && std::find(block.begin(), block.end(), 0) == block.end()) return nullptr;
  world().clipboard[format] = block;
  world().globals.erase(found);
  ++world().clipboardSequence;
  return data;
}

BOOL CloseClipboard() {
  Record("CloseClipboard");
  world().clipboardOpen = false;
  return TRUE;
}

UINT RegisterClipboardFormatA(LPCSTR name) {
  auto inserted = world().clipboardFormats.emplace(name, 0xC000 + world().clipboardFormats.size());
  return inserted.first->second;
}

UINT EnumClipboardFormats(UINT format) {
  if (!world().clipboardOpen) return 0;
  auto next = world().clipboard.upper_bound(format);
  return next == world().clipboard.end() ? 0 : next->first;
}

// The data is copied into a block of the caller's, as good as the system's own for reading.
HANDLE GetClipboardData(UINT format) {
  auto found = world().clipboard.find(format);
  if (!world().clipboardOpen || found == world().clipboard.end()) return nullptr;
  HGLOBAL block = reinterpret_cast<HGLOBAL>(fake::nextHandle);
  fake::nextHandle += 0x10;
  world().globals[block] = found->second;
  return block;
}

DWORD GetClipboardSequenceNumber() { return world().clipboardSequence; }

HGLOBAL GlobalAlloc(UINT flags, size_t bytes) {
  Record("GlobalAlloc", nullptr, flags, bytes, 0);
  HGLOBAL block = reinterpret_cast<HGLOBAL>(fake::nextHandle);
  fake::nextHandle += 0x10;
  world().globals[block] = std::vector<BYTE>(bytes, 0xCC);
  return block;
}

LPVOID GlobalLock(HGLOBAL block) {
  Record("GlobalLock");
  auto found = world().globals.find(block);
  return found == world().globals.end() ? nullptr : found->second.data();
}

BOOL GlobalUnlock(HGLOBAL) {
  Record("GlobalUnlock");
  return TRUE;
}

HGLOBAL GlobalFree(HGLOBAL block) {
  Record("GlobalFree");
  world().globals.erase(block);
  return nullptr;
}

size_t GlobalSize(HGLOBAL block) {
  auto found = world().globals.find(block);
  return found == world().globals.end() ? 0 : found->second.size();
}

DWORD GetTickCount() { return world().tick; }

DWORD GetModuleFileNameA(HMODULE, LPSTR path, DWORD size) {
  Record("GetModuleFileNameA");
  if (size == 0) return 0;
  const std::string& p = world().modulePath;
  size_t n = std::min<size_t>(p.size(), size - 1);
  memcpy(path, p.data(), n);
  path[n] = 0;
  return static_cast<DWORD>(n);
}

DWORD GetFileVersionInfoSizeA(LPCSTR, DWORD* handle) {
  Record("GetFileVersionInfoSizeA");
  if (handle) *handle = 0;
  return static_cast<DWORD>(world().versionResource.size());
}

BOOL GetFileVersionInfoA(LPCSTR, DWORD, DWORD size, LPVOID data) {
  Record("GetFileVersionInfoA");
  const std::vector<BYTE>& r = world().versionResource;
  if (r.empty()) return FALSE;
  memcpy(data, r.data(), std::min<size_t>(size, r.size()));
  return TRUE;
}

DWORD GetLastError() { return world().lastError; }

BOOL CloseHandle(HANDLE) { return TRUE; }

// A section's handle is the address of its entry; memory is page-aligned, as the system's is.
namespace {
std::wstring InSession(const WCHAR* name) { return std::to_wstring(world().session) + L":" + name; }
}  // namespace

HANDLE CreateFileMappingW(HANDLE, void*, DWORD, DWORD, DWORD sizeLow, const WCHAR* name) {
  Record("CreateFileMappingW");
  auto found = world().sections.find(InSession(name));
  if (found != world().sections.end()) {
    // No write access for a process of lower integrity than the one that made it.
    if (world().integrity < found->second.integrity) {
      world().lastError = ERROR_ACCESS_DENIED;
      return nullptr;
    }
    world().lastError = ERROR_ALREADY_EXISTS;
    return &found->second;
  }
  size_t size = (sizeLow + 4095) / 4096 * 4096;
  BYTE* memory = static_cast<BYTE*>(aligned_alloc(4096, size));
  memset(memory, 0, size);
  fake::World::Section& section = world().sections[InSession(name)];
  section = fake::World::Section{memory, size, world().integrity};
  world().lastError = 0;
  return &section;
}

HANDLE OpenFileMappingW(DWORD, BOOL, const WCHAR* name) {
  auto found = world().sections.find(InSession(name));
  return found == world().sections.end() ? nullptr : &found->second;
}

// A copy-on-write view is a copy of the section's memory as it is now.
LPVOID MapViewOfFile(HANDLE handle, DWORD access, DWORD, DWORD, size_t) {
  Record("MapViewOfFile", nullptr, access, 0, 0);
  auto* section = static_cast<fake::World::Section*>(handle);
  if (section == nullptr) return nullptr;
  if (access != FILE_MAP_COPY) return section->memory;
  BYTE* copy = static_cast<BYTE*>(aligned_alloc(4096, section->size));
  memcpy(copy, section->memory, section->size);
  world().copies.insert(copy);
  return copy;
}

BOOL UnmapViewOfFile(const void*) { return TRUE; }
