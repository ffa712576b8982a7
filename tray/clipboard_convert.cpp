#include "tray/clipboard_convert.h"

#include <string>

#include "convert/legacy_text.h"
#include "tray/resource.h"

namespace {

const char* const kEncodingCaptions[] = {"Unicode", "TSCII", "TAB", "TAM", "LIPI", "T_OLD"};
// The chart images installed beside the program, by keyboard number.
const wchar_t* const kChartFiles[] = {L"chart-phonetic.png", L"chart-tamil99.png", L"chart-new-typewriter.png",
                                      L"chart-old-typewriter.png"};

int Selected(int id) { return static_cast<int>(SendDlgItemMessageA(mainWindow, id, CB_GETCURSEL, 0, 0)); }

// The encoding the window shows selected, or 0 (Unicode) when it shows none.
int SelectedEncoding() {
  int e = Selected(IDC_ENCODING);
  return e >= 0 && e < convert::kEncodingCount ? e : 0;
}

bool ClipboardHasText() { return IsClipboardFormatAvailable(CF_UNICODETEXT) || IsClipboardFormatAvailable(CF_TEXT); }

// A balloon from the icon (the record keeps its usual flags afterwards).
void Tell(const char* text, bool warning) {
  NOTIFYICONDATAA record = iconRecord;
  record.uFlags = NIF_INFO;
  lstrcpynA(record.szInfoTitle, "Virel", sizeof record.szInfoTitle);
  lstrcpynA(record.szInfo, text, sizeof record.szInfo);
  record.dwInfoFlags = warning ? NIIF_WARNING : NIIF_INFO;
  if (iconAdded) Shell_NotifyIconA(NIM_MODIFY, &record);
}

// The clipboard's text in the format given, as bytes (CF_TEXT) or UTF-8 (CF_UNICODETEXT).
bool ReadClipboard(UINT format, std::string* text) {
  HANDLE data = GetClipboardData(format);
  const void* p = data != nullptr ? GlobalLock(data) : nullptr;
  if (p == nullptr) return false;
  if (format == CF_TEXT) {
    *text = static_cast<const char*>(p);
  } else {
    const wchar_t* units = static_cast<const wchar_t*>(p);
    int n = WideCharToMultiByte(CP_UTF8, 0, units, -1, nullptr, 0, nullptr, nullptr);
    text->assign(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, units, -1, &(*text)[0], n, nullptr, nullptr);
  }
  GlobalUnlock(data);
  return true;
}

// Replaces the clipboard's contents by `bytes` (with their terminator added) in one format.
bool WriteClipboard(UINT format, const std::string& bytes, size_t terminator) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + terminator);
  void* p = memory != nullptr ? GlobalLock(memory) : nullptr;
  if (p == nullptr) {
    if (memory != nullptr) GlobalFree(memory);
    return false;
  }
  memcpy(p, bytes.data(), bytes.size());
  memset(static_cast<char*>(p) + bytes.size(), 0, terminator);
  GlobalUnlock(memory);
  EmptyClipboard();
  if (SetClipboardData(format, memory) == nullptr) {
    GlobalFree(memory);
    return false;
  }
  return true;
}

void ConvertClipboard(bool toUnicode) {
  int encoding = SelectedEncoding();
  if (encoding == 0) return;
  convert::Encoding from = toUnicode ? static_cast<convert::Encoding>(encoding) : convert::kUnicode;
  convert::Encoding to = toUnicode ? convert::kUnicode : static_cast<convert::Encoding>(encoding);
  if (!OpenClipboard(mainWindow)) {
    Tell("The clipboard is in use by another program; nothing was converted.", true);
    return;
  }
  std::string text;
  if (!ReadClipboard(toUnicode ? CF_TEXT : CF_UNICODETEXT, &text)) {
    CloseClipboard();
    Tell("The clipboard holds no text; nothing was converted.", true);
    return;
  }
  convert::Options options;
  options.utf16Output = true;
  convert::Converter converter(from, to, options);
  std::string out;
  converter.Feed(text.data(), text.size(), &out);
  converter.Finish(&out);
  bool written = toUnicode ? WriteClipboard(CF_UNICODETEXT, out.substr(2), 2)  // without the byte order mark
                           : WriteClipboard(CF_TEXT, out, 1);
  CloseClipboard();
  char message[256];
  if (!written) {
    lstrcpynA(message, "The converted text could not be put on the clipboard.", sizeof message);
  } else if (converter.problemCount() == 0) {
    wsprintfA(message, "%lu Tamil characters converted from %s to %s.", static_cast<unsigned long>(converter.converted()),
              kEncodingCaptions[from], kEncodingCaptions[to]);
  } else {
    wsprintfA(message, "%lu Tamil characters converted from %s to %s; %lu could not be and were replaced.",
              static_cast<unsigned long>(converter.converted()), kEncodingCaptions[from], kEncodingCaptions[to],
              static_cast<unsigned long>(converter.problemCount()));
  }
  Tell(message, !written || converter.problemCount() != 0);
}

void OpenChart() {
  int keyboard = Selected(IDC_KEYBOARD);
  if (keyboard < 0 || keyboard > 3) keyboard = 0;
  wchar_t path[MAX_PATH + 40];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  while (n > 0 && path[n - 1] != L'\\' && path[n - 1] != L'/') --n;
  lstrcpyW(path + n, kChartFiles[keyboard]);
  if (reinterpret_cast<INT_PTR>(ShellExecuteW(mainWindow, L"open", path, nullptr, nullptr, SW_SHOWNORMAL)) <= 32) {
    Tell("The keyboard chart could not be opened.", true);
  }
}

}  // namespace

void AppendConverterItems(HMENU menu) {
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING, IDM_CLIPBOARD_TO_UNICODE, "Clipboard to Unicode");
  AppendMenuA(menu, MF_STRING, IDM_CLIPBOARD_FROM_UNICODE, "Clipboard from Unicode");
  AppendMenuA(menu, MF_STRING, IDM_KEYBOARD_CHART, "Keyboard chart");
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
}

void UpdateConverterItems(HMENU menu) {
  int encoding = SelectedEncoding();
  char toUnicode[64], fromUnicode[64];
  if (encoding == 0) {
    lstrcpyA(toUnicode, "Clipboard to Unicode (choose an 8-bit encoding)");
    lstrcpyA(fromUnicode, "Clipboard from Unicode (choose an 8-bit encoding)");
  } else {
    wsprintfA(toUnicode, "Clipboard: %s to Unicode", kEncodingCaptions[encoding]);
    wsprintfA(fromUnicode, "Clipboard: Unicode to %s", kEncodingCaptions[encoding]);
  }
  UINT state = encoding != 0 && ClipboardHasText() ? MF_ENABLED : MF_GRAYED;
  ModifyMenuA(menu, IDM_CLIPBOARD_TO_UNICODE, MF_BYCOMMAND | MF_STRING | state, IDM_CLIPBOARD_TO_UNICODE, toUnicode);
  ModifyMenuA(menu, IDM_CLIPBOARD_FROM_UNICODE, MF_BYCOMMAND | MF_STRING | state, IDM_CLIPBOARD_FROM_UNICODE,
              fromUnicode);
}

bool HandleConverterItem(UINT id) {
  switch (id) {
    case IDM_CLIPBOARD_TO_UNICODE:
      ConvertClipboard(true);
      return true;
    case IDM_CLIPBOARD_FROM_UNICODE:
      ConvertClipboard(false);
      return true;
    case IDM_KEYBOARD_CHART:
      OpenChart();
      return true;
    default:
      return false;
  }
}
