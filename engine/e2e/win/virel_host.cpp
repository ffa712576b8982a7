// Test host: a window with a text control to type in, in a process of its own.
//
//   virel_hostNN.exe --log FILE --commands FILE --ready FILE [--title T] [--edit 1]
//                    [--accelerator 1] [--out FILE] [--out-ansi FILE] [--latency 1]
//                    [--stall-paste-ms N] [--second-thread 1]
//
// The control is a RichEdit ("RichEdit20W") unless --edit 1 asks for a plain EDIT control; it has
// the keyboard focus whenever the window is active. With --accelerator 1 Ctrl+V is an accelerator
// of the window's (TranslateAccelerator takes the key-down, and the window pastes into the
// control), as in applications with an Edit menu: no Ctrl+V character is ever made. The host logs:
//   acp <ANSI code page>
//   ready <window handle> <control handle>
//   key <message> <wParam> <lParam>     each keyboard message as the application receives it,
//                                        that is after every hook has seen it (hex numbers)
//   done <id> [<result>]                after each command
// and creates the --ready file once it can take input. With --latency 1 it also logs, for each key
// (WM_KEYDOWN, the Pause key excepted):
//   latency <virtual key> <microseconds>  from the moment GetMessage returned the key-down to the
//                                        moment no posted message is left in the queue: every
//                                        character and backspace made of the key has been handled
// With --stall-paste-ms N the host is busy for N ms whenever it takes the key-down of Ctrl+V, before
// it translates it: what a busy application does to keys that came after. With --second-thread 1 a
// second GUI thread of the process has a window of its own, which takes a key message every 10 ms.
// Commands: dump PATH (the text as UTF-8), dump-ansi PATH (GetWindowTextA's bytes), clear, focus,
// exit. On exit the text goes to --out (UTF-8) and --out-ansi (bytes) when they are given.
#include "engine/e2e/win/e2e_support.h"

namespace {

const wchar_t kWindowClass[] = L"VirelTestHost";
const int kControlId = 1;
const WORD kPasteCommand = 100;

e2e::Log logFile;
const char* commandPath = nullptr;
const char* outPath = nullptr;
const char* outAnsiPath = nullptr;
HWND control = nullptr;

std::string TextUtf8() {
  int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int got = GetWindowTextW(control, &text[0], length + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return e2e::Utf8(text);
}

// The control's text in the process's ANSI code page, as an application that reads it that
// way (an 8-bit font's document) would see it.
std::string TextAnsi() {
  int length = GetWindowTextLengthA(control);
  // A conversion may take more bytes than the length reports; leave room.
  std::string text(static_cast<size_t>(length) * 2 + 16, '\0');
  int got = GetWindowTextA(control, &text[0], static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return text;
}

void RunCommand(HWND window, const e2e::Command& command) {
  const char* id = command.id.c_str();
  if (command.verb == "dump") {
    logFile.Line("done %s %d", id, e2e::WriteFileWhole(command.rest, TextUtf8()) ? 1 : 0);
  } else if (command.verb == "dump-ansi") {
    logFile.Line("done %s %d", id, e2e::WriteFileWhole(command.rest, TextAnsi()) ? 1 : 0);
  } else if (command.verb == "clear") {
    SetWindowTextW(control, L"");
    logFile.Line("done %s", id);
  } else if (command.verb == "focus") {
    SetForegroundWindow(window);
    SetFocus(control);
    logFile.Line("done %s %d", id, GetFocus() == control ? 1 : 0);
  } else if (command.verb == "exit") {
    logFile.Line("done %s", id);
    DestroyWindow(window);
  } else {
    logFile.Line("done %s unknown", id);
  }
}

const char* KeyMessageName(UINT message) {
  switch (message) {
    case WM_KEYDOWN: return "WM_KEYDOWN";
    case WM_KEYUP: return "WM_KEYUP";
    case WM_SYSKEYDOWN: return "WM_SYSKEYDOWN";
    case WM_SYSKEYUP: return "WM_SYSKEYUP";
    case WM_CHAR: return "WM_CHAR";
    case WM_SYSCHAR: return "WM_SYSCHAR";
    case WM_UNICHAR: return "WM_UNICHAR";
    default: return nullptr;
  }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      const wchar_t* className = static_cast<const wchar_t*>(
          reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      control = CreateWindowExW(WS_EX_CLIENTEDGE, className,
                                L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE |
                                         ES_AUTOVSCROLL | ES_WANTRETURN,
                                0, 0, 0, 0, window, reinterpret_cast<HMENU>(kControlId),
                                GetModuleHandleW(nullptr), nullptr);
      return control == nullptr ? -1 : 0;
    }
    case WM_SIZE:
      MoveWindow(control, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kPasteCommand) {
        SendMessageW(control, WM_PASTE, 0, 0);
        return 0;
      }
      break;
    case WM_SETFOCUS:
    case WM_ACTIVATE:
      if (message == WM_SETFOCUS || LOWORD(wParam) != WA_INACTIVE) SetFocus(control);
      return 0;
    case WM_TIMER:
      if (wParam == e2e::kCommandTimer) {
        for (const e2e::Command& command : e2e::TakeCommands(commandPath)) {
          RunCommand(window, command);
        }
        return 0;
      }
      break;
    case WM_DESTROY:
      // The control still exists here; it goes after its parent.
      if (outPath != nullptr) e2e::WriteFileWhole(outPath, TextUtf8());
      if (outAnsiPath != nullptr) e2e::WriteFileWhole(outAnsiPath, TextAnsi());
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// A second GUI thread: a window that keeps taking key messages (F13, which nothing uses), so that
// the hook runs on this thread too while the first one types.
LRESULT CALLBACK SecondWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) {
    PostMessageW(window, WM_KEYDOWN, VK_F13, 1);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

DWORD WINAPI SecondThread(void*) {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = SecondWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"VirelTestHostSecond";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowW(windowClass.lpszClassName, L"second thread", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                              nullptr, windowClass.hInstance, nullptr);
  SetTimer(window, 1, 10, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  e2e::Args args(argc, argv);
  logFile.Open(args.Get("--log", nullptr));
  commandPath = args.Get("--commands", nullptr);
  outPath = args.Get("--out", nullptr);
  outAnsiPath = args.Get("--out-ansi", nullptr);
  logFile.Line("acp %u", GetACP());

  bool plainEdit = args.GetInt("--edit", 0) != 0;
  if (!plainEdit && LoadLibraryA("riched20.dll") == nullptr) {
    logFile.Line("error riched20 %lu", GetLastError());
    return 2;
  }
  // A Unicode application, as the hosts people type in are.
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kWindowClass;
  windowClass.hCursor = LoadCursor(nullptr, IDC_IBEAM);
  RegisterClassW(&windowClass);
  const char* title = args.Get("--title", "Virel test host");
  std::wstring wideTitle(title, title + strlen(title));  // titles are ASCII
  HWND window = CreateWindowW(kWindowClass, wideTitle.c_str(), WS_OVERLAPPEDWINDOW, 40, 160, 600,
                              300, nullptr, nullptr, windowClass.hInstance,
                              const_cast<wchar_t*>(plainEdit ? L"EDIT" : L"RichEdit20W"));
  if (window == nullptr) {
    logFile.Line("error CreateWindow %lu", GetLastError());
    return 2;
  }
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  SetFocus(control);
  SetTimer(window, e2e::kCommandTimer, e2e::kCommandPollMs, nullptr);
  logFile.Line("ready %p %p", static_cast<void*>(window), static_cast<void*>(control));
  const char* readyPath = args.Get("--ready", nullptr);
  if (readyPath != nullptr) e2e::WriteFileWhole(readyPath, "ready\n");

  HACCEL accelerators = nullptr;
  if (args.GetInt("--accelerator", 0) != 0) {
    ACCEL paste = {FVIRTKEY | FCONTROL, 'V', kPasteCommand};
    accelerators = CreateAcceleratorTableW(&paste, 1);
  }

  if (args.GetInt("--second-thread", 0) != 0) CreateThread(nullptr, 0, SecondThread, nullptr, 0, nullptr);
  const DWORD stallPasteMs = static_cast<DWORD>(args.GetInt("--stall-paste-ms", 0));
  const bool measureLatency = args.GetInt("--latency", 0) != 0;
  LARGE_INTEGER frequency, arrival, now;
  QueryPerformanceFrequency(&frequency);
  WPARAM pendingKey = 0;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (measureLatency && msg.message == WM_KEYDOWN && msg.wParam != VK_PAUSE) {
      QueryPerformanceCounter(&arrival);
      pendingKey = msg.wParam;
    }
    const char* name = KeyMessageName(msg.message);
    if (name != nullptr) {
      logFile.Line("key %s %llx %llx", name, static_cast<unsigned long long>(msg.wParam),
                   static_cast<unsigned long long>(static_cast<ULONG_PTR>(msg.lParam)));
    }
    if (stallPasteMs != 0 && msg.message == WM_KEYDOWN && msg.wParam == 'V' && (GetKeyState(VK_CONTROL) & 0x8000)) {
      Sleep(stallPasteMs);
    }
    if (accelerators != nullptr && TranslateAcceleratorW(window, accelerators, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    if (pendingKey != 0 && HIWORD(GetQueueStatus(QS_POSTMESSAGE)) == 0) {
      QueryPerformanceCounter(&now);
      logFile.Line("latency %llx %.1f", static_cast<unsigned long long>(pendingKey),
                   static_cast<double>(now.QuadPart - arrival.QuadPart) * 1e6 /
                       static_cast<double>(frequency.QuadPart));
      pendingKey = 0;
    }
  }
  logFile.Line("exit");
  logFile.Close();
  return 0;
}
