#include "engine/core/shared_state.h"

#include <string.h>

namespace {

#ifdef _WIN64
const WCHAR kBlockName[] = L"Local\\VirelEgn64.5.0";
#else
const WCHAR kBlockName[] = L"Local\\VirelEgn32.5.0";
#endif

// Before any setting arrives: TSCII, phonetic, Tamil on, toggle key F11 without Alt.
void SetFirstValues(EngineSharedState* block) {
  memset(block, 0, sizeof *block);
  block->encTscii = 1;
  block->hotKeyVk = 0x7A;
  block->tamilOn = 1;
}

// A block of this process alone, with no toggle key: nothing here is ever set up.
EngineSharedState own;

}  // namespace

EngineSharedState* shared = &own;

void MapSharedState() {
  HANDLE section = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(EngineSharedState),
                                      kBlockName);
  bool made = section != nullptr && GetLastError() != ERROR_ALREADY_EXISTS;
  DWORD access = FILE_MAP_READ | FILE_MAP_WRITE;
  if (section == nullptr) {
    // Made by a process of higher integrity: this one may read it, and keep its own writes.
    section = OpenFileMappingW(FILE_MAP_READ, FALSE, kBlockName);
    access = FILE_MAP_COPY;
  }
  void* view = section != nullptr ? MapViewOfFile(section, access, 0, 0, sizeof(EngineSharedState)) : nullptr;
  if (section != nullptr) CloseHandle(section);  // the view keeps the section
  if (view == nullptr) {
    UnmapSharedState();
    return;
  }
  shared = static_cast<EngineSharedState*>(view);
  if (made) SetFirstValues(shared);
}

void UnmapSharedState() {
  if (shared != &own) UnmapViewOfFile(shared);
  memset(&own, 0, sizeof own);
  shared = &own;
}

void ResetSharedState() { SetFirstValues(shared); }
