#include "engine/core/clipboard.h"

#include <string.h>

namespace {

// Formats whose data is a GDI object or holds one, which cannot be copied as memory.
bool CopiesAsMemory(UINT format) {
  const UINT kBitmap = 2, kMetafilePict = 3, kPalette = 9, kEnhMetafile = 14, kOwnerDisplay = 0x80,
             kDspBitmap = 0x82, kDspMetafilePict = 0x83, kDspEnhMetafile = 0x8E, kGdiFirst = 0x300,
             kGdiLast = 0x3FF;
  return format != kBitmap && format != kMetafilePict && format != kPalette && format != kEnhMetafile &&
         format != kOwnerDisplay && format != kDspBitmap && format != kDspMetafilePict &&
         format != kDspEnhMetafile && !(format >= kGdiFirst && format <= kGdiLast);
}

// The user's content is kept up to this size; more is left to be overwritten, as any paste would.
const size_t kMostKept = 16 << 20;
const unsigned kMostFormats = 32;

struct KeptFormat {
  UINT format;
  HGLOBAL data;
};

struct ClipboardState {
  UINT excludeFromMonitors;  // registered formats Windows defines for clipboard tools
  UINT canIncludeInHistory;
  UINT canUploadToCloud;
  DWORD engineSequence;  // the clipboard's sequence number once the engine's text was put there
  bool kept;             // the user's content is kept, to be given back
  unsigned keptCount;
  KeptFormat keptFormats[kMostFormats];
};
ClipboardState state;

void RegisterFormats() {
  if (state.excludeFromMonitors != 0) return;
  state.excludeFromMonitors = RegisterClipboardFormatA("ExcludeClipboardContentFromMonitorProcessing");
  state.canIncludeInHistory = RegisterClipboardFormatA("CanIncludeInClipboardHistory");
  state.canUploadToCloud = RegisterClipboardFormatA("CanUploadToCloudClipboard");
}

HGLOBAL CopyOf(const void* data, size_t size) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
  if (block == nullptr) return nullptr;
  void* memory = GlobalLock(block);
  if (memory == nullptr) {
    GlobalFree(block);
    return nullptr;
  }
  memcpy(memory, data, size);
  GlobalUnlock(block);
  return block;
}

void Drop() {
  for (unsigned i = 0; i < state.keptCount && i < kMostFormats; ++i) GlobalFree(state.keptFormats[i].data);
  state.keptCount = 0;
  state.kept = false;
}

bool IsMarker(UINT format) {
  return format == state.excludeFromMonitors || format == state.canIncludeInHistory || format == state.canUploadToCloud;
}

// Copies what the clipboard (open) holds. Formats that are rendered only on request are rendered
// now, as for any paste.
void Keep() {
  Drop();
  size_t total = 0;
  for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format)) {
    if (!CopiesAsMemory(format) || IsMarker(format)) continue;
    HANDLE data = GetClipboardData(format);
    if (data == nullptr) continue;
    size_t size = GlobalSize(data);
    if (state.keptCount == kMostFormats || size > kMostKept - total) {
      Drop();
      return;  // too much to keep: it is overwritten as before
    }
    const void* memory = GlobalLock(data);
    if (memory == nullptr) continue;
    HGLOBAL copy = CopyOf(memory, size);
    GlobalUnlock(data);
    if (copy == nullptr) continue;
    state.keptFormats[state.keptCount++] = KeptFormat{format, copy};
    total += size;
  }
  state.kept = true;
}

// Tells clipboard history, the cloud clipboard and monitors to skip what is on the clipboard.
void Mark() {
  const DWORD kNo = 0;
  HGLOBAL exclude = CopyOf(&kNo, sizeof kNo);
  if (exclude != nullptr && SetClipboardData(state.excludeFromMonitors, exclude) == nullptr) GlobalFree(exclude);
  HGLOBAL history = CopyOf(&kNo, sizeof kNo);
  if (history != nullptr && SetClipboardData(state.canIncludeInHistory, history) == nullptr) GlobalFree(history);
  HGLOBAL cloud = CopyOf(&kNo, sizeof kNo);
  if (cloud != nullptr && SetClipboardData(state.canUploadToCloud, cloud) == nullptr) GlobalFree(cloud);
}

}  // namespace

bool PutOnClipboard(HWND window, const BYTE* text) {
  RegisterFormats();
  if (!OpenClipboard(window)) return false;
  // The clipboard holds the user's content unless it still holds the engine's last text.
  if (!state.kept || GetClipboardSequenceNumber() != state.engineSequence) Keep();
  EmptyClipboard();
  HGLOBAL block = CopyOf(text, strlen(reinterpret_cast<const char*>(text)) + 1);
  bool placed = block != nullptr && SetClipboardData(CF_TEXT, block) != nullptr;
  if (block != nullptr && !placed) GlobalFree(block);
  if (placed) Mark();
  CloseClipboard();
  state.engineSequence = GetClipboardSequenceNumber();
  return placed;
}

void GiveClipboardBack(HWND window) {
  if (!state.kept) return;
  if (GetClipboardSequenceNumber() != state.engineSequence) {
    Drop();  // someone copied something since: theirs stays
    return;
  }
  if (!OpenClipboard(window)) return;  // another time
  EmptyClipboard();
  for (unsigned i = 0; i < state.keptCount; ++i) {
    if (SetClipboardData(state.keptFormats[i].format, state.keptFormats[i].data) == nullptr) {
      GlobalFree(state.keptFormats[i].data);
    }
  }
  state.keptCount = 0;
  state.kept = false;
  Mark();  // history and monitors saw it when the user copied it
  CloseClipboard();
}

void ResetClipboardState() { state = ClipboardState(); }
