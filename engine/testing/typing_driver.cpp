#include "engine/testing/typing_driver.h"

#include <ctype.h>

#include "engine/core/exports.h"
#include "engine/core/hook.h"
#include "engine/core/process_state.h"
#include "engine/core/shared_state.h"

namespace fake {

namespace {

const LPARAM kFirstPress = 1;
const int kPumpLimit = 10000;

// The character TranslateMessage makes of a key whose character does not depend on the layout.
WPARAM CharacterOfKey(WPARAM vk) {
  if (vk == VK_BACK || vk == VK_TAB || vk == VK_RETURN || vk == ' ' || (vk >= '0' && vk <= '9')) return vk;
  if (vk == 0x56 && world().controlDown) return 0x16;
  return 0;
}

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

void TypeOne(HWND window, unsigned char ch, bool withKeyDown) {
  if (withKeyDown) {
    world().asciiResult = ch;  // what SOFFI's translation of the key-down gives
    Retrieve(Message(window, WM_KEYDOWN, VirtualKeyOf(ch), kFirstPress), true, ch);
  } else {
    Retrieve(Message(window, WM_CHAR, ch, kFirstPress), true);
  }
  Pump();
}

}  // namespace

UINT VirtualKeyOf(unsigned char ch) {
  if (isalpha(ch)) return static_cast<UINT>(toupper(ch));
  if (isdigit(ch) || ch == ' ' || ch == '\b' || ch == '\t' || ch == '\r') return ch;
  return 0xDF;  // some punctuation key; no navigation key and no letter
}

HWND StartProcess(const std::string& modulePath) {
  Reset();
  ResetSharedState();
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

LRESULT Retrieve(MSG msg, bool fromUser, WPARAM translatesTo) {
  WPARAM typed = msg.wParam;
  LRESULT result = KeyHookProc(0, PM_REMOVE, reinterpret_cast<LPARAM>(&msg));
  if (result == 1 && !fromUser) ++world().composedNotTyped;
  if (msg.message == WM_KEYUP && typed == VK_CONTROL) world().controlDown = false;
  if (msg.message == WM_KEYDOWN) {
    if (typed == VK_CONTROL) world().controlDown = true;
    Host* host = HostIn(msg.hwnd);
    if (msg.wParam == typed) {
      if (host != nullptr && host->pasteOn == PasteOn::Accelerator && typed == 0x56 && world().controlDown) {
        for (unsigned char c : world().clipboard) Dispatch(Message(msg.hwnd, WM_CHAR, c, 0), false);
        return result;  // TranslateAccelerator took it
      }
      WPARAM ch = translatesTo != 0 ? translatesTo : CharacterOfKey(typed);
      if (ch != 0) world().posted.push_back(Queued{Message(msg.hwnd, WM_CHAR, ch, msg.lParam), fromUser});
    }
    Dispatch(msg, false);
    return result;
  }
  Dispatch(msg, fromUser && UsersCharacter(typed, msg.wParam));
  return result;
}

bool Pump() {
  for (int n = 0; n < kPumpLimit; ++n) {
    if (!world().posted.empty()) {
      Queued next = world().posted.front();
      world().posted.pop_front();
      Retrieve(next.msg, next.fromUser);
    } else if (!world().input.empty()) {
      MSG next = world().input.front();
      world().input.pop_front();
      Retrieve(next);
    } else {
      return true;
    }
  }
  world().pumpGaveUp = true;
  return false;
}

void PressToggle(HWND window) { PressKey(window, hotKeyVk, hotKeyAlt == 1); }

void PressKey(HWND window, UINT vk, bool alt) {
  Retrieve(Message(window, static_cast<UINT>(alt ? WM_SYSKEYDOWN : WM_KEYDOWN), vk, kFirstPress));
  Pump();
}

void Type(HWND window, const std::string& keys) {
  for (unsigned char ch : keys) TypeOne(window, ch, true);
}

void TypeChars(HWND window, const std::string& keys) {
  for (unsigned char ch : keys) TypeOne(window, ch, false);
}

void Click(HWND window, size_t unitsFromEnd) {
  Retrieve(Message(window, WM_LBUTTONDOWN, 1, static_cast<LPARAM>(unitsFromEnd)));
  Pump();
}

std::set<uint16_t> TypedGlyphs() {
  std::set<uint16_t> typed;
  if (encLipi == 0 && encTOld == 0) return typed;
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
