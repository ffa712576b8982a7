// Library entry of VirelEgn64 / VirelEgn32.
#include "engine/core/exports.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) EngineProcessAttach(instance);
  if (reason == DLL_PROCESS_DETACH) EngineProcessDetach();
  return TRUE;
}
