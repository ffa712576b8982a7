#include "engine/core/exports.h"

#include "engine/core/hook.h"
#include "engine/core/process_state.h"
#include "engine/core/shared_state.h"

const char kTamilOnOffMessageName[] = "UWM_TAMILONOFF_MSG-VR4031B1_14D3_11d5_A025_006067718D04";

void NotifyOwner(BYTE state) {
  if (ownerWindow != nullptr) PostMessageA(ownerWindow, tamilOnOffMsg, state, 0);
}

int __cdecl LoadVirelEngine(HWND owner) {
  // A tray program that was killed never ran its detach, so its window stays in the block;
  // an owner window that no longer exists owns nothing, and its thread's hook went with it.
  if (ownerWindow != nullptr && IsWindow(ownerWindow)) return 0;
  ownerWindow = nullptr;
  hookHandle = SetWindowsHookExA(WH_GETMESSAGE, KeyHookProc, engineInstance, 0);
  if (hookHandle == nullptr) return 0;
  ownerWindow = owner;
  loaderProcess = 1;
  installedHook = hookHandle;
  return 1;
}

int __cdecl UnloadVirelEngine(HWND owner) {
  if (owner == nullptr || owner != ownerWindow) return 0;
  BOOL removed = UnhookWindowsHookEx(hookHandle);
  if (removed) ownerWindow = nullptr;
  return removed;
}

void __cdecl SetTamilEncodings(int encoding) {
  encUnicode = encoding == kEncUnicode;
  encTab = encoding == kEncTab;
  encTam = encoding == kEncTam;
  encLipi = encoding == kEncLipi;
  encTOld = encoding == kEncTOld;
  encTscii = !(encUnicode || encTab || encTam || encLipi || encTOld);
}

void __cdecl SetTamilKeyboard(int keyboard) {
  switch (keyboard) {
    case kKbdTamil99:
      keyboardLayout = kLayoutTamil99;
      break;
    case kKbdNewTypewriter:
      keyboardLayout = kLayoutTypewriter;
      oldTypewriter = 0;
      break;
    case kKbdOldTypewriter:
      keyboardLayout = kLayoutTypewriter;
      oldTypewriter = 1;
      break;
    default:
      keyboardLayout = kLayoutPhonetic;
      break;
  }
}

void __cdecl SetHotKey(int alt, int vk) {
  hotKeyAlt = static_cast<BYTE>(alt);
  hotKeyVk = static_cast<BYTE>(vk);
}

void __cdecl ToggleTamil() {
  tamilOn = tamilOn == 0 ? 1 : 0;
  NotifyOwner(tamilOn);
}

void EngineProcessAttach(HINSTANCE instance) {
  DisableThreadLibraryCalls(instance);
  engineInstance = instance;
  tamilOnOffMsg = RegisterWindowMessageA(kTamilOnOffMessageName);
  processReady = 0;
}

// Only the hook this process installed is its to remove: a later loader may have installed its
// own after this process's window went away.
void EngineProcessDetach() {
  if (ownerWindow != nullptr && loaderProcess == 1 && hookHandle == installedHook) UnloadVirelEngine(ownerWindow);
}
