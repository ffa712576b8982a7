// Looks at and pokes the tray program's windows from another process, for the Wine tests.
//
//   trayprobeNN.exe toplevels                  every top-level window, one JSON object a line
//   trayprobeNN.exe find CLASS TITLE           the window's handle (hex), or "none"; "-" = any
//   trayprobeNN.exe dump HWND                  the window and its controls, as JSON
//   trayprobeNN.exe select HWND ID POS         select a list position as the user would
//   trayprobeNN.exe click HWND ID              click a button (posted: the click may open a box)
//   trayprobeNN.exe post HWND MSG WPARAM LPARAM  MSG a number, or the name of a registered message
//   trayprobeNN.exe send HWND MSG WPARAM LPARAM
//   trayprobeNN.exe register NAME              the number of the registered message NAME
//   trayprobeNN.exe wmtext HWND                the text WM_GETTEXT gives (a tooltip's current tip),
//                                              as hex of UTF-8
//   trayprobeNN.exe noarea                     a notification area that refuses every icon: a
//                                              hidden "Shell_TrayWnd" window; prints its handle,
//                                              ends on WM_CLOSE
//   trayprobeNN.exe reference X Y FACE W H HEX...  a window at X,Y with a static control W x H a
//                                              text, each in the caption font of FACE ("-": none);
//                                              prints its handle, ends on WM_CLOSE
//   trayprobeNN.exe cursor                     the cursor position
//   trayprobeNN.exe wait [window|deaf]         sleep until ended from outside (a stand-in process),
//                                              or with a window of the tray's class that ends the
//                                              process (0) when closed, or that stays
//   trayprobeNN.exe watch MODE EXE...          start each EXE with "wait MODE" ("-": none); print
//                                              "started N PID", then "exit N CODE" as each one
//                                              ends; end after all
//   trayprobeNN.exe end PID                    end a process (exit code 1)
//   trayprobeNN.exe alive PID                  exit code 0 while the process runs
//   trayprobeNN.exe focus HWND                 the id of the control with the focus in HWND's
//                                              thread (a list for its edit field), or "none"; then
//                                              the foreground window's handle
//   trayprobeNN.exe setclip text|unicode HEX   put 8-bit bytes (CF_TEXT) or UTF-8 text (as
//                                              CF_UNICODETEXT) alone on the clipboard; "-": empty it
//   trayprobeNN.exe getclip text|unicode       the clipboard's CF_TEXT bytes, or its
//                                              CF_UNICODETEXT as UTF-8, in hex ("none": no such text)
//
// Texts are printed as hex of their 8-bit bytes, so TSCII captions arrive unchanged.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out.push_back(kDigits[c >> 4]);
    out.push_back(kDigits[c & 15]);
  }
  return out;
}

std::string Quoted(const char* text) {
  std::string out = "\"";
  for (const char* p = text; *p; ++p) {
    if (*p == '"' || *p == '\\') out.push_back('\\');
    if (static_cast<unsigned char>(*p) < 0x20) continue;
    out.push_back(*p);
  }
  return out + "\"";
}

// Controls keep their text as UTF-16; the 8-bit form comes back through the ANSI code page, as
// the program's own 8-bit calls put it there.
std::string Ansi(const wchar_t* text, int length) {
  if (length <= 0) return std::string();
  int size = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) WideCharToMultiByte(CP_ACP, 0, text, length, &bytes[0], size, nullptr, nullptr);
  return bytes;
}

std::string WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  return Ansi(text.data(), GetWindowTextW(window, &text[0], static_cast<int>(text.size())));
}

std::string ClassOf(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string HandleHex(HWND window) {
  char out[32];
  snprintf(out, sizeof out, "%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
  return out;
}

HWND ParseWindow(const char* text) { return reinterpret_cast<HWND>(static_cast<UINT_PTR>(strtoull(text, nullptr, 16))); }

std::string RectJson(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  char out[96];
  snprintf(out, sizeof out, "[%ld,%ld,%ld,%ld]", rect.left, rect.top, rect.right, rect.bottom);
  return out;
}

std::string ComboJson(HWND combo) {
  std::string out = ",\"items\":[";
  LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t item[256] = L"";
    if (SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) >= 255) continue;
    LRESULT length = SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
    if (i > 0) out += ",";
    out += "\"" + Hex(Ansi(item, static_cast<int>(length))) + "\"";
  }
  out += "],\"selection\":" + std::to_string(static_cast<long long>(SendMessageA(combo, CB_GETCURSEL, 0, 0)));
  return out;
}

// The control's font, where this process can read it: face, height, weight, character set, quality.
std::string FontJson(HWND control) {
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
  LOGFONTA face = {};
  if (font == nullptr || GetObjectA(font, sizeof face, &face) != sizeof face) return ",\"font\":null";
  char out[200];
  snprintf(out, sizeof out, ",\"font\":{\"handle\":\"%llx\",\"face\":%s,\"height\":%ld,\"weight\":%ld,\"charset\":%d,\"quality\":%d}",
           static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(font)), Quoted(face.lfFaceName).c_str(),
           face.lfHeight, face.lfWeight, face.lfCharSet, face.lfQuality);
  return out;
}

void Dump(HWND window) {
  std::string out = "{\"hwnd\":\"" + HandleHex(window) + "\"";
  out += ",\"class\":" + Quoted(ClassOf(window).c_str());
  out += ",\"text\":\"" + Hex(WindowText(window)) + "\"";
  out += ",\"visible\":" + std::to_string(IsWindowVisible(window) ? 1 : 0);
  out += ",\"iconic\":" + std::to_string(IsIconic(window) ? 1 : 0);
  out += ",\"style\":" + std::to_string(static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)));
  out += ",\"rect\":" + RectJson(window);
  out += ",\"children\":[";
  bool first = true;
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!first) out += ",";
    first = false;
    std::string className = ClassOf(child);
    out += "{\"id\":" + std::to_string(GetDlgCtrlID(child));
    out += ",\"hwnd\":\"" + HandleHex(child) + "\"";
    out += ",\"class\":" + Quoted(className.c_str());
    out += ",\"text\":\"" + Hex(WindowText(child)) + "\"";
    out += ",\"style\":" + std::to_string(static_cast<unsigned long>(GetWindowLongA(child, GWL_STYLE)));
    out += ",\"visible\":" + std::to_string(IsWindowVisible(child) ? 1 : 0);
    out += ",\"rect\":" + RectJson(child);
    out += FontJson(child);
    if (lstrcmpiA(className.c_str(), "ComboBox") == 0) out += ComboJson(child);
    if (lstrcmpiA(className.c_str(), "Button") == 0) {
      out += ",\"check\":" + std::to_string(static_cast<long long>(SendMessageA(child, BM_GETCHECK, 0, 0)));
    }
    out += "}";
  }
  out += "]}";
  puts(out.c_str());
}

BOOL CALLBACK PrintTopLevel(HWND window, LPARAM) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  printf("{\"hwnd\":\"%llx\",\"class\":%s,\"title\":\"%s\",\"visible\":%d,\"pid\":%lu}\n",
         static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)), Quoted(ClassOf(window).c_str()).c_str(),
         Hex(WindowText(window)).c_str(), IsWindowVisible(window) ? 1 : 0, process);
  return TRUE;
}

int Watch(const char* mode, int count, char** paths) {
  std::vector<HANDLE> processes;
  for (int i = 0; i < count; ++i) {
    std::string commandLine = std::string("\"") + paths[i] + "\" wait " + mode;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(paths[i], &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started)) {
      printf("failed %d %lu\n", i, GetLastError());
      return 1;
    }
    CloseHandle(started.hThread);
    processes.push_back(started.hProcess);
    printf("started %d %lu\n", i, started.dwProcessId);
  }
  fflush(stdout);
  std::vector<bool> ended(processes.size(), false);
  for (size_t left = processes.size(); left > 0; --left) {
    std::vector<HANDLE> waiting;
    std::vector<size_t> index;
    for (size_t i = 0; i < processes.size(); ++i) {
      if (!ended[i]) {
        waiting.push_back(processes[i]);
        index.push_back(i);
      }
    }
    DWORD which = WaitForMultipleObjects(static_cast<DWORD>(waiting.size()), waiting.data(), FALSE, INFINITE);
    if (which >= WAIT_OBJECT_0 + waiting.size()) return 1;
    size_t i = index[which - WAIT_OBJECT_0];
    DWORD code = 0;
    GetExitCodeProcess(processes[i], &code);
    ended[i] = true;
    printf("exit %zu %lu\n", i, code);
    fflush(stdout);
  }
  return 0;
}

std::string Utf8(const wchar_t* text, int length) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text, length, &bytes[0], size, nullptr, nullptr);
  return bytes;
}

std::string FromHex(const char* hex) {
  std::string bytes;
  for (const char* p = hex; p[0] != '\0' && p[1] != '\0'; p += 2) {
    char pair[3] = {p[0], p[1], '\0'};
    bytes.push_back(static_cast<char>(strtoul(pair, nullptr, 16)));
  }
  return bytes;
}

UINT MessageNumber(const char* text) {
  char* end = nullptr;
  unsigned long number = strtoul(text, &end, 0);
  return *end == '\0' ? static_cast<UINT>(number) : RegisterWindowMessageA(text);
}

LRESULT CALLBACK NoAreaProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) return FALSE;  // every Shell_NotifyIcon call fails
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(window, message, wParam, lParam);
}

// A window that stays when asked to close, as a hung program's would.
LRESULT CALLBACK DeafProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) return 0;
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK QuitOnDestroyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(window, message, wParam, lParam);
}

// A top-level window of its own class; prints its handle and runs until it is closed.
int RunWindow(const char* className, WNDPROC proc, DWORD style, int x, int y, int width, int height,
              void (*fill)(HWND, int, char**), int argc, char** argv) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = proc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = className;
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, className, "", style, x, y, width, height, nullptr, nullptr,
                                windowClass.hInstance, nullptr);
  if (window == nullptr) return 1;
  if (fill != nullptr) fill(window, argc, argv);
  printf("%llx\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
  fflush(stdout);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}

// argv: FACE W H HEX...: one static control a text, stacked, in the settings window's caption font.
void FillReference(HWND window, int argc, char** argv) {
  const char* face = strcmp(argv[0], "-") == 0 ? nullptr : argv[0];
  int width = atoi(argv[1]);
  int height = atoi(argv[2]);
  HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
  for (int i = 3; i < argc; ++i) {
    std::string text = FromHex(argv[i]);
    HWND label = CreateWindowExA(0, "Static", text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_PATHELLIPSIS,
                                 0, (i - 3) * (height + 4), width, height, window, nullptr, nullptr, nullptr);
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
}

// The clipboard, opened by this process for a moment (another may hold it just then).
bool OpenClipboardSoon() {
  for (int i = 0; i < 100; ++i) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(20);
  }
  return false;
}

int SetClip(const std::string& format, const char* hex) {
  if (!OpenClipboardSoon()) return 1;
  EmptyClipboard();
  if (strcmp(hex, "-") != 0) {
    std::string bytes = FromHex(hex);
    std::wstring units;
    if (format == "unicode") {
      units.resize(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0));
      MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &units[0],
                          static_cast<int>(units.size()));
      bytes.assign(reinterpret_cast<const char*>(units.c_str()), (units.size() + 1) * sizeof(wchar_t));
    } else {
      bytes.push_back('\0');
    }
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    memcpy(GlobalLock(memory), bytes.data(), bytes.size());
    GlobalUnlock(memory);
    SetClipboardData(format == "unicode" ? CF_UNICODETEXT : CF_TEXT, memory);
  }
  CloseClipboard();
  return 0;
}

int GetClip(const std::string& format) {
  if (!OpenClipboardSoon()) return 1;
  HANDLE data = GetClipboardData(format == "unicode" ? CF_UNICODETEXT : CF_TEXT);
  const void* p = data != nullptr ? GlobalLock(data) : nullptr;
  if (p == nullptr) {
    puts("none");
  } else if (format == "unicode") {
    const wchar_t* units = static_cast<const wchar_t*>(p);
    puts(Hex(Utf8(units, lstrlenW(units))).c_str());
  } else {
    puts(Hex(static_cast<const char*>(p)).c_str());
  }
  if (p != nullptr) GlobalUnlock(data);
  CloseClipboard();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::string verb = argv[1];
  if (verb == "toplevels") {
    EnumWindows(PrintTopLevel, 0);
  } else if (verb == "find" && argc >= 4) {
    const char* className = strcmp(argv[2], "-") == 0 ? nullptr : argv[2];
    const char* title = strcmp(argv[3], "-") == 0 ? nullptr : argv[3];
    HWND window = FindWindowA(className, title);
    if (window == nullptr) {
      puts("none");
      return 1;
    }
    printf("%llx\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
  } else if (verb == "dump" && argc >= 3) {
    HWND window = ParseWindow(argv[2]);
    if (!IsWindow(window)) return 1;
    Dump(window);
  } else if (verb == "select" && argc >= 5) {
    HWND window = ParseWindow(argv[2]);
    int id = atoi(argv[3]);
    HWND combo = GetDlgItem(window, id);
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(atoi(argv[4])), 0);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
  } else if (verb == "click" && argc >= 4) {
    HWND button = GetDlgItem(ParseWindow(argv[2]), atoi(argv[3]));
    if (button == nullptr) return 1;
    PostMessageA(button, BM_CLICK, 0, 0);
  } else if ((verb == "post" || verb == "send") && argc >= 6) {
    HWND window = ParseWindow(argv[2]);
    UINT message = MessageNumber(argv[3]);
    WPARAM wParam = static_cast<WPARAM>(strtoull(argv[4], nullptr, 0));
    LPARAM lParam = static_cast<LPARAM>(strtoll(argv[5], nullptr, 0));
    if (verb == "post") return PostMessageA(window, message, wParam, lParam) ? 0 : 1;
    printf("%lld\n", static_cast<long long>(SendMessageA(window, message, wParam, lParam)));
  } else if (verb == "register" && argc >= 3) {
    printf("%u\n", MessageNumber(argv[2]));
  } else if (verb == "wmtext" && argc >= 3) {
    wchar_t text[512] = L"";
    LRESULT length = SendMessageW(ParseWindow(argv[2]), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    puts(Hex(Utf8(text, static_cast<int>(length))).c_str());
  } else if (verb == "noarea") {
    return RunWindow("Shell_TrayWnd", NoAreaProc, WS_POPUP, 0, 0, 0, 0, nullptr, 0, nullptr);
  } else if (verb == "reference" && argc >= 8) {
    int height = atoi(argv[6]);
    return RunWindow("VirelReference", QuitOnDestroyProc, WS_POPUP | WS_VISIBLE, atoi(argv[2]), atoi(argv[3]),
                     atoi(argv[5]), (argc - 7) * (height + 4), FillReference, argc - 4, argv + 4);
  } else if (verb == "cursor") {
    POINT cursor;
    GetCursorPos(&cursor);
    printf("%ld %ld\n", cursor.x, cursor.y);
  } else if (verb == "wait") {
    std::string mode = argc >= 3 ? argv[2] : "-";
    if (mode == "window") return RunWindow("VirelClass", QuitOnDestroyProc, WS_POPUP, 0, 0, 0, 0, nullptr, 0, nullptr);
    if (mode == "deaf") return RunWindow("VirelClass", DeafProc, WS_POPUP, 0, 0, 0, 0, nullptr, 0, nullptr);
    Sleep(INFINITE);
  } else if (verb == "focus" && argc >= 3) {
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof thread;
    HWND focus = nullptr;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(ParseWindow(argv[2]), nullptr), &thread)) focus = thread.hwndFocus;
    if (focus != nullptr && lstrcmpiA(ClassOf(GetParent(focus)).c_str(), "ComboBox") == 0) focus = GetParent(focus);
    std::string id = focus == nullptr ? "none" : std::to_string(GetDlgCtrlID(focus));
    printf("%s %s\n", id.c_str(), HandleHex(GetForegroundWindow()).c_str());

  } else if (verb == "watch") {
    return Watch(argv[2], argc - 3, argv + 3);
  } else if (verb == "alive" && argc >= 3) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(strtoul(argv[2], nullptr, 0)));
    if (process == nullptr) return 1;
    bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running ? 0 : 1;
  } else if (verb == "end" && argc >= 3) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, static_cast<DWORD>(strtoul(argv[2], nullptr, 0)));
    if (process == nullptr) return 1;
    BOOL ended = TerminateProcess(process, 1);
    CloseHandle(process);
    return ended ? 0 : 1;
  } else if (verb == "setclip" && argc >= 4) {
    return SetClip(argv[2], argv[3]);
  } else if (verb == "getclip" && argc >= 3) {
    return GetClip(argv[2]);
  } else {
    return 2;
  }
  fflush(stdout);
  return 0;
}
