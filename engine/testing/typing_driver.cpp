#include "engine/testing/typing_driver.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>

#include "engine/core/exports.h"
#include "engine/core/hook.h"
#include "engine/core/process_state.h"
#include "engine/core/shared_state.h"

namespace fake {

namespace {

const LPARAM kFirstPress = 1;
const int kPumpLimit = 10000;
// Milliseconds between keys: a typist the host keeps up with, and one it does not.
const DWORD kSlowTyping = 150;
const DWORD kFastTyping = 40;

Host* HostIn(HWND window) {
  auto found = world().windows.find(window);
  return found == world().windows.end() ? nullptr : &found->second.host;
}

// Whether the character a keystroke of the user's left in its message is the user's: the typed
// one, or one the composer put in its place. Not under FRAME, whose keystroke carries the last
// byte of the engine's own text, and not the space the Tamil99 caret key leaves, which the
// engine may take back.
bool UsersCharacter(WPARAM typed, WPARAM left) {
  if (left == 0) return false;
  if (left == typed) return true;
  return ThisHost().bytes != TextBy::kSentButLast && !(typed == '^' && left == ' ');
}

bool Down(BYTE vk) { return (world().keyState[vk] & 0x80) != 0; }

// The thread reads its keys as it takes their messages.
void ReadKey(const MSG& msg) {
  bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
  if (!down && msg.message != WM_KEYUP && msg.message != WM_SYSKEYUP) return;
  BYTE vk = static_cast<BYTE>(msg.wParam);
  BYTE side = vk == VK_SHIFT ? VK_LSHIFT : vk == VK_CONTROL ? VK_LCONTROL : vk == VK_MENU ? VK_LMENU : vk;
  for (BYTE k : {vk, side}) world().keyState[k] = down ? 0x80 : 0;
}

// A key event the user makes now, for the thread with the focus. With Alt down a key is a
// system key.
void UsersKeyEvent(BYTE vk, bool up, unsigned char packet = 0) {
  BYTE side = vk == VK_SHIFT ? VK_LSHIFT : vk == VK_MENU ? VK_LMENU : vk;
  for (BYTE k : {vk, side}) world().asyncKeyState[k] = up ? 0 : 0x80;
  HWND focus = world().focus;
  if (focus == nullptr) return;
  bool alt = vk != VK_MENU && (world().asyncKeyState[VK_MENU] & 0x80) && !(world().asyncKeyState[VK_CONTROL] & 0x80);
  UINT message = alt ? (up ? WM_SYSKEYUP : WM_SYSKEYDOWN) : (up ? WM_KEYUP : WM_KEYDOWN);
  LPARAM lParam = KeyLParam(vk, up);
  if (vk == VK_PACKET) lParam = (lParam & 0xC000FFFF) | static_cast<LPARAM>(packet) << 16;
  ThreadOf(focus).input.push_back(Queued{Message(focus, message, vk, lParam), true});
}

// The user's key-downs waiting in the input of the focus thread.
size_t UsersKeysQueued() {
  if (world().focus == nullptr) return 0;
  size_t n = 0;
  for (const Queued& q : ThreadOf(world().focus).input) {
    n += q.fromUser && (q.msg.message == WM_KEYDOWN || q.msg.message == WM_SYSKEYDOWN);
  }
  return n;
}

}  // namespace

UINT VirtualKeyOf(unsigned char ch) { return KeyFor(ch).vk; }

// The host reads its queue: all of it, or until at most `behind` of the user's keys wait.
void Keep(unsigned behind) {
  if (behind == 0) {
    Pump();
    return;
  }
  DWORD thread = world().windows[world().focus].threadId;
  while (UsersKeysQueued() > behind && RetrieveNext(thread)) {
  }
}


HWND StartProcess(const std::string& modulePath) {
  UnmapSharedState();
  Reset();
  ResetProcessState();
  world().modulePath = modulePath;
  HWND window = NewWindow("RichEdit20W");
  world().focus = window;
  EngineProcessAttach(reinterpret_cast<HINSTANCE>(0x400000));
  return window;
}

void EnterAnotherProcess(const std::string& modulePath) {
  ResetProcessState();
  world().modulePath = modulePath;
  EngineProcessAttach(reinterpret_cast<HINSTANCE>(0x400000));
}

const std::vector<Application>& Applications() {
  using E = EraseOn;
  using V = PasteOn;
  static const std::vector<Application> kApplications = {
      {"Plain", "C:\\Program Files\\Host\\host.exe", "RichEdit20W", E::KeyDown},
      {"PlainEdit", "C:\\Program Files\\Host\\host.exe", "Edit", E::Char8, V::Char16},
      {"Dream", "C:\\Adobe\\Dreamweaver.exe", "Edit", E::Char8, V::Char16},
      {"DreamAccelerator", "C:\\Adobe\\DREAMWEAVER.EXE", "Edit", E::Char8, V::Accelerator},
      {"Eudor", "C:\\Eudora\\EUDORA.EXE", "Edit", E::Char8, V::Char16},
      {"EudorAccelerator", "C:\\Eudora\\Eudora.exe", "RichEdit20A", E::KeyDown, V::Accelerator},
      {"Photo", "C:\\Adobe\\Photoshop.exe", "Edit", E::Char8},
      {"Frame", "C:\\Adobe\\FrameMaker.exe", "Edit", E::Char8},
      {"Soffi", "C:\\Office52\\soffice.exe", "SALFRAME", E::KeyDown},
      {"Winwo", "C:\\Office\\WINWORD.EXE", "_WwG", E::Char8, V::KeyDown, true},
      {"Psp", "C:\\Jasc\\psp.exe", "Edit", E::Char8},
      {"Opera", "C:\\Opera\\opera.exe", "RichEdit20W", E::KeyDown, V::KeyDown, false, nullptr, 7},
      {"Notep", "C:\\Windows\\notepad.exe", "Edit", E::Char8, V::Char16},
      {"Power", "C:\\Office\\POWERPNT.EXE", "RichEdit20W", E::KeyDown},
      {"Msacc", "C:\\Office\\MSACCESS.EXE", "Edit", E::Char8},
      {"Mozil", "C:\\Mozilla\\firefox.exe", "MozillaWindowClass", E::Char8},
      {"Kavit", "C:\\Kavithai\\KAVITHAI.EXE", "RichEdit20A", E::KeyDown},
      {"KavitEdit", "C:\\Kavithai\\KAVITHAI.EXE", "Edit", E::Char8, V::Char16, false, "#32770"},
      {"Wordp", "C:\\Program Files\\Windows NT\\WORDPAD.EXE", "RICHEDIT50W", E::KeyDown},
      {"Yahoo", "C:\\Yahoo\\YahooMessenger.exe", "RichEdit20W", E::KeyDown},
      {"Abiwo", "C:\\AbiWord\\abiword.exe", "AbiWord", E::KeyDown},
      {"Mspai", "C:\\Windows\\mspaint.exe", "Edit", E::Char8},
  };
  return kApplications;
}

HWND StartApplication(const Application& app) {
  HWND window = StartProcess(app.module);
  Window& w = world().windows[window];
  w.className = app.className;
  if (app.parentClass != nullptr) w.parent = NewWindow(app.parentClass);
  w.host.eraseOn = app.eraseOn;
  w.host.pasteOn = app.pasteOn;
  w.host.keepsNul = app.keepsNul;
  if (app.productMajor != 0) world().versionResource = VersionResource(app.productMajor);
  return window;
}

LRESULT Retrieve(MSG msg, bool fromUser, LPARAM extraInfo) {
  world().messageExtraInfo = extraInfo;
  auto window = world().windows.find(msg.hwnd);
  if (window != world().windows.end()) world().currentThread = window->second.threadId;
  ReadKey(msg);
  WPARAM typed = msg.wParam;
  UINT message = msg.message;
  static const bool trace = getenv("VIREL_FAKE_TRACE") != nullptr;
  // Should the hook hold the user's key back, the key it puts back into the input stream is still
  // the user's.
  bool usersKeyDown = fromUser && (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN);
  if (usersKeyDown) world().heldUsersKeys.insert(static_cast<BYTE>(typed));
  LRESULT result = KeyHookProc(0, PM_REMOVE, reinterpret_cast<LPARAM>(&msg));
  if (trace) {
    fprintf(stderr, "  retrieve %04x %02x at %u%s%s -> %s\n", message, static_cast<unsigned>(typed), msg.time,
            fromUser ? " user" : "", extraInfo ? " marked" : "",
            msg.message == WM_NULL ? "held" : result == 1 ? "composed" : "passed");
  }
  if (result == 1 && !fromUser) ++world().composedNotTyped;
  if (msg.message == WM_NULL) return result;
  auto held = world().heldUsersKeys.find(static_cast<BYTE>(typed));
  if (usersKeyDown && held != world().heldUsersKeys.end()) world().heldUsersKeys.erase(held);
  if (msg.message == WM_KEYDOWN) {
    Host* host = HostIn(msg.hwnd);
    if (host != nullptr) world().tick += host->stallMs;
    if (msg.wParam == typed) {
      bool control = Down(VK_CONTROL);
      if (host != nullptr && host->pasteOn == PasteOn::Accelerator && typed == 'V' && control && !Down(VK_SHIFT) &&
          !Down(VK_MENU)) {
        Paste(msg.hwnd, fromUser);
        return result;  // TranslateAccelerator took it
      }
      BYTE vk = static_cast<BYTE>(typed);
      WPARAM ch = control ? (vk >= 'A' && vk <= 'Z' ? vk - 0x40 : 0) : CharacterOf(vk, Down(VK_SHIFT));
      if (vk == VK_PACKET) ch = (msg.lParam >> 16) & 0xFF;
      if (ch != 0) ThreadOf(msg.hwnd).posted.push_back(Queued{Message(msg.hwnd, WM_CHAR, ch, msg.lParam), fromUser});
    }
    Dispatch(msg, fromUser);
    return result;
  }
  Dispatch(msg, fromUser && UsersCharacter(typed, msg.wParam));
  return result;
}

bool RetrieveNext(DWORD thread) {
  Thread& t = world().threads[thread];
  std::deque<Queued>& queue = !t.posted.empty() ? t.posted : t.input;
  if (queue.empty()) return false;
  Queued next = queue.front();
  queue.pop_front();
  Retrieve(next.msg, next.fromUser, next.extraInfo);
  return true;
}

bool RetrieveFiltered(DWORD thread, UINT first, UINT last) {
  Thread& t = world().threads[thread];
  for (std::deque<Queued>* queue : {&t.posted, &t.input}) {
    for (auto it = queue->begin(); it != queue->end(); ++it) {
      if (it->msg.message < first || it->msg.message > last) continue;
      Queued next = *it;
      queue->erase(it);
      Retrieve(next.msg, next.fromUser, next.extraInfo);
      return true;
    }
  }
  return false;
}

bool PumpThread(DWORD thread) {
  for (int n = 0; n < kPumpLimit; ++n) {
    if (!RetrieveNext(thread)) return true;
  }
  world().pumpGaveUp = true;
  return false;
}

bool Pump() {
  for (int n = 0; n < kPumpLimit; ++n) {
    bool any = false;
    for (auto& t : world().threads) any = RetrieveNext(t.first) || any;
    if (!any) return true;
  }
  world().pumpGaveUp = true;
  return false;
}

void PressToggle(HWND window) { PressKey(window, shared->hotKeyVk, shared->hotKeyAlt == 1); }

void PressKey(HWND window, UINT vk, bool alt) {
  Retrieve(Message(window, static_cast<UINT>(alt ? WM_SYSKEYDOWN : WM_KEYDOWN), vk, kFirstPress));
  Pump();
}

void TypeKey(HWND window, unsigned char ch, unsigned behind) {
  world().focus = window;
  world().tick += behind == 0 ? kSlowTyping : kFastTyping;
  KeyStroke key = KeyFor(ch);
  bool shift = key.shift && !(world().asyncKeyState[VK_SHIFT] & 0x80);
  if (shift) UsersKeyEvent(VK_SHIFT, false);
  UsersKeyEvent(key.vk, false, ch);
  Keep(behind);  // a typist holds Shift until the key has gone down
  if (shift) UsersKeyEvent(VK_SHIFT, true);
  Keep(behind);
}

void TypeToggle(HWND window, unsigned behind) {
  world().focus = window;
  world().tick += behind == 0 ? kSlowTyping : kFastTyping;
  if (shared->hotKeyAlt == 1) UsersKeyEvent(VK_MENU, false);
  UsersKeyEvent(shared->hotKeyVk, false);
  if (shared->hotKeyAlt == 1) UsersKeyEvent(VK_MENU, true);
  Keep(behind);
}

void Type(HWND window, const std::string& keys) {
  for (unsigned char ch : keys) TypeKey(window, ch, 0);
}

void TypeAhead(HWND window, const std::string& keys, unsigned behind) {
  for (unsigned char ch : keys) TypeKey(window, ch, behind);
  Pump();
}

void TypeChars(HWND window, const std::string& keys) {
  for (unsigned char ch : keys) {
    world().tick += kSlowTyping;
    Retrieve(Message(window, WM_CHAR, ch, kFirstPress), true);
    Pump();
  }
}

void Click(HWND window, size_t unitsFromEnd) {
  Retrieve(Message(window, WM_LBUTTONDOWN, 1, static_cast<LPARAM>(unitsFromEnd)));
  Pump();
}

std::set<uint16_t> TypedGlyphs() {
  std::set<uint16_t> typed;
  if (shared->encLipi == 0 && shared->encTOld == 0) return typed;
  const BYTE* tables = reinterpret_cast<const BYTE*>(&glyphs);
  for (size_t i = 0; i < sizeof glyphs; ++i) {
    if (tables[i] >= 0x21 && tables[i] < 0x7F) typed.insert(tables[i]);
  }
  return typed;
}

std::vector<WPARAM> ToggleNotifications(HWND owner) {
  std::vector<WPARAM> states;
  for (const Call& c : world().calls) {
    if (c.function == "PostMessageA" && c.window == owner && c.message == tamilOnOffMsg) states.push_back(c.wParam);
  }
  return states;
}

}  // namespace fake
