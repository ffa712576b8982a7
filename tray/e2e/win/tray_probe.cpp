// Looks at and pokes the tray program's windows from another process, for the Wine tests.
//
//   trayprobeNN.exe toplevels                  every top-level window, one JSON object a line
//   trayprobeNN.exe find CLASS TITLE           the window's handle (hex), or "none"; "-" = any
//   trayprobeNN.exe dump HWND                  the window and its controls, as JSON
//   trayprobeNN.exe select HWND ID POS         select a list position as the user would
//   trayprobeNN.exe click HWND ID              click a button (posted: the click may open a box)
//   trayprobeNN.exe post HWND MSG WPARAM LPARAM
//   trayprobeNN.exe send HWND MSG WPARAM LPARAM
//   trayprobeNN.exe cursor                     the cursor position
//   trayprobeNN.exe wait                       sleep until ended from outside (a stand-in process)
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

std::string WindowText(HWND window) {
  char text[1024] = "";
  int length = GetWindowTextA(window, text, sizeof text);
  return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

std::string ClassOf(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
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
    char item[256] = "";
    LRESULT length = SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
    if (i > 0) out += ",";
    out += "\"" + Hex(std::string(item, length > 0 ? static_cast<size_t>(length) : 0)) + "\"";
  }
  out += "],\"selection\":" + std::to_string(static_cast<long long>(SendMessageA(combo, CB_GETCURSEL, 0, 0)));
  return out;
}

void Dump(HWND window) {
  std::string out = "{\"hwnd\":\"" + std::to_string(reinterpret_cast<UINT_PTR>(window)) + "\"";
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
    out += ",\"class\":" + Quoted(className.c_str());
    out += ",\"text\":\"" + Hex(WindowText(child)) + "\"";
    out += ",\"style\":" + std::to_string(static_cast<unsigned long>(GetWindowLongA(child, GWL_STYLE)));
    out += ",\"visible\":" + std::to_string(IsWindowVisible(child) ? 1 : 0);
    out += ",\"rect\":" + RectJson(child);
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
    UINT message = static_cast<UINT>(strtoul(argv[3], nullptr, 0));
    WPARAM wParam = static_cast<WPARAM>(strtoull(argv[4], nullptr, 0));
    LPARAM lParam = static_cast<LPARAM>(strtoll(argv[5], nullptr, 0));
    if (verb == "post") return PostMessageA(window, message, wParam, lParam) ? 0 : 1;
    printf("%lld\n", static_cast<long long>(SendMessageA(window, message, wParam, lParam)));
  } else if (verb == "cursor") {
    POINT cursor;
    GetCursorPos(&cursor);
    printf("%ld %ld\n", cursor.x, cursor.y);
  } else if (verb == "wait") {
    Sleep(INFINITE);
  } else {
    return 2;
  }
  fflush(stdout);
  return 0;
}
