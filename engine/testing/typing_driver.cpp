#include "engine/testing/typing_driver.h"

#include <ctype.h>

#include "engine/core/exports.h"
#include "engine/core/hook.h"
#include "engine/core/process_state.h"
#include "engine/core/shared_state.h"

namespace fake {

namespace {

const LPARAM kFirstPress = 1;

UINT VirtualKeyOf(unsigned char ch) {
  if (isalpha(ch)) return static_cast<UINT>(toupper(ch));
  if (isdigit(ch) || ch == ' ' || ch == '\b' || ch == '\t' || ch == '\r') return ch;
  return 0xDF;  // some punctuation key; no navigation key and no letter
}

void TypeOne(HWND window, unsigned char ch, bool withKeyDown) {
  if (withKeyDown) {
    world().asciiResult = ch;
    MSG down{window, WM_KEYDOWN, VirtualKeyOf(ch), kFirstPress, 0, {0, 0}};
    WPARAM vk = down.wParam;
    MSG seen = down;
    KeyHookProc(0, PM_REMOVE, reinterpret_cast<LPARAM>(&seen));
    Dispatch(seen, false);
    // TranslateMessage makes the character from a key-down the hook left alone.
    if (seen.wParam == vk) Retrieve(MSG{window, WM_CHAR, ch, kFirstPress, 0, {0, 0}}, true);
    else if (seen.wParam != 0 && seen.wParam < 0x100 && profile.profileSoffi)
      Dispatch(MSG{window, WM_CHAR, seen.wParam, kFirstPress, 0, {0, 0}}, false);
  } else {
    Retrieve(MSG{window, WM_CHAR, ch, kFirstPress, 0, {0, 0}}, true);
  }
  Pump();
}

}  // namespace

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

LRESULT Retrieve(MSG msg, bool fromUser) {
  WPARAM typed = msg.wParam;
  LRESULT result = KeyHookProc(0, PM_REMOVE, reinterpret_cast<LPARAM>(&msg));
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_CONTROL) world().controlDown = true;
  if (msg.message == WM_KEYUP && msg.wParam == VK_CONTROL) world().controlDown = false;
  Dispatch(msg, fromUser && msg.wParam == typed);
  return result;
}

void Pump() {
  for (int guard = 0; guard < 10000; ++guard) {
    if (!world().posted.empty()) {
      MSG next = world().posted.front();
      world().posted.pop_front();
      Retrieve(next);
    } else if (!world().input.empty()) {
      MSG next = world().input.front();
      world().input.pop_front();
      Retrieve(next);
    } else {
      return;
    }
  }
}

void PressToggle(HWND window) { PressKey(window, hotKeyVk, hotKeyAlt == 1); }

void PressKey(HWND window, UINT vk, bool alt) {
  Retrieve(MSG{window, static_cast<UINT>(alt ? WM_SYSKEYDOWN : WM_KEYDOWN), vk, kFirstPress, 0, {0, 0}});
  Pump();
}

void Type(HWND window, const std::string& keys) {
  for (unsigned char ch : keys) TypeOne(window, ch, true);
}

void TypeChars(HWND window, const std::string& keys) {
  for (unsigned char ch : keys) TypeOne(window, ch, false);
}

std::vector<WPARAM> ToggleNotifications(HWND owner) {
  std::vector<WPARAM> states;
  for (const Call& c : world().calls) {
    if (c.function == "PostMessageA" && c.window == owner && c.message == tamilOnOffMsg) states.push_back(c.wParam);
  }
  return states;
}

}  // namespace fake
