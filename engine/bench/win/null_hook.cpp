// The cheapest global message hook there can be: it passes every message on and does nothing
// else. It exports the engine's six functions so that the test loader's source links against it
// unchanged; only LoadVirelEngine and UnloadVirelEngine do anything.
#include "engine/core/exports.h"

namespace {

HINSTANCE module = nullptr;
HHOOK hook = nullptr;  // set in the loader's process only; CallNextHookEx does not need it
HWND owner = nullptr;

LRESULT CALLBACK PassOn(int code, WPARAM wParam, LPARAM lParam) {
  return CallNextHookEx(hook, code, wParam, lParam);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    module = instance;
    DisableThreadLibraryCalls(instance);
  }
  if (reason == DLL_PROCESS_DETACH && owner != nullptr) UnhookWindowsHookEx(hook);
  return TRUE;
}

int __cdecl LoadVirelEngine(HWND window) {
  hook = SetWindowsHookExA(WH_GETMESSAGE, PassOn, module, 0);
  if (hook == nullptr) return 0;
  owner = window;
  return 1;
}

int __cdecl UnloadVirelEngine(HWND window) {
  if (window == nullptr || window != owner || !UnhookWindowsHookEx(hook)) return 0;
  owner = nullptr;
  return 1;
}

void __cdecl SetTamilEncodings(int) {}
void __cdecl SetTamilKeyboard(int) {}
void __cdecl SetHotKey(int, int) {}
void __cdecl ToggleTamil() {}
