#include "engine/core/exports.h"

#include "engine/core/hook.h"
#include "engine/core/process_state.h"
#include "engine/core/shared_state.h"

const char kTamilOnOffMessageName[] = "UWM_TAMILONOFF_MSG-VR4031B1_14D3_11d5_A025_006067718D04";

void NotifyOwner(BYTE state) {
  if (shared->ownerWindow != nullptr) PostMessageA(shared->ownerWindow, tamilOnOffMsg, state, 0);
}

int __cdecl LoadVirelEngine(HWND owner) {
  // A tray program that was killed never ran its detach, so its window stays in the block;
  // an owner window that no longer exists owns nothing, and its thread's hook went with it.
  if (shared->ownerWindow != nullptr && IsWindow(shared->ownerWindow)) return 0;
  shared->ownerWindow = nullptr;
  shared->hookHandle = SetWindowsHookExA(WH_GETMESSAGE, KeyHookProc, engineInstance, 0);
  if (shared->hookHandle == nullptr) return 0;
  shared->ownerWindow = owner;
  loaderProcess = 1;
  installedHook = shared->hookHandle;
  return 1;
}

int __cdecl UnloadVirelEngine(HWND owner) {
  if (owner == nullptr || owner != shared->ownerWindow) return 0;
  BOOL removed = UnhookWindowsHookEx(shared->hookHandle);
  if (removed) shared->ownerWindow = nullptr;
  return removed;
}

void __cdecl SetTamilEncodings(int encoding) {
  shared->encUnicode = encoding == kEncUnicode;
  shared->encTab = encoding == kEncTab;
  shared->encTam = encoding == kEncTam;
  shared->encLipi = encoding == kEncLipi;
  shared->encTOld = encoding == kEncTOld;
  shared->encTscii = !(shared->encUnicode || shared->encTab || shared->encTam || shared->encLipi || shared->encTOld);
}

void __cdecl SetTamilKeyboard(int keyboard) {
  switch (keyboard) {
    case kKbdTamil99:
      shared->keyboardLayout = kLayoutTamil99;
      break;
    case kKbdNewTypewriter:
      shared->keyboardLayout = kLayoutTypewriter;
      shared->oldTypewriter = 0;
      break;
    case kKbdOldTypewriter:
      shared->keyboardLayout = kLayoutTypewriter;
      shared->oldTypewriter = 1;
      break;
    default:
      shared->keyboardLayout = kLayoutPhonetic;
      break;
  }
}

void __cdecl SetHotKey(int alt, int vk) {
  shared->hotKeyAlt = static_cast<BYTE>(alt);
  shared->hotKeyVk = static_cast<BYTE>(vk);
}

void __cdecl ToggleTamil() {
  shared->tamilOn = shared->tamilOn == 0 ? 1 : 0;
  NotifyOwner(shared->tamilOn);
}

void EngineProcessAttach(HINSTANCE instance) {
  DisableThreadLibraryCalls(instance);
  MapSharedState();
  engineInstance = instance;
  tamilOnOffMsg = RegisterWindowMessageA(kTamilOnOffMessageName);
  processReady = 0;
}

// Only the hook this process installed is its to remove: a later loader may have installed its
// own after this process's window went away.
void EngineProcessDetach() {
  if (shared->ownerWindow != nullptr && loaderProcess == 1 && shared->hookHandle == installedHook) {
    UnloadVirelEngine(shared->ownerWindow);
  }
  UnmapSharedState();
}
