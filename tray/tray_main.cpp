// The tray program's entry, window class, start-up, window procedure and notification icon.
#include "engine/core/exports.h"
#include "tray/clipboard_convert.h"
#include "tray/resource.h"
#include "tray/settings_store.h"
#include "tray/tray.h"

#include <string.h>

static_assert(sizeof(NOTIFYICONDATAA) == (sizeof(void*) == 8 ? 528 : 508), "full-size icon record");

HINSTANCE appInstance = nullptr;
HWND mainWindow = nullptr;
char windowClassName[100] = "";
NOTIFYICONDATAA iconRecord;
HMENU popupMenu = nullptr;
BYTE iconAdded = 0;

namespace {

// The engine posts this to the main window whenever Tamil is switched on or off; wParam is the new
// state. The shell broadcasts "TaskbarCreated" when it has made a new notification area (at logon,
// or after Explorer started again), which holds none of the old icons.
const char kToggleMessageName[] = "UWM_TAMILONOFF_MSG-VR4031B1_14D3_11d5_A025_006067718D04";
UINT tamilOnOffMessage = 0;
UINT taskbarCreatedMessage = 0;

// The notification area's two icons, at the size it draws them.
HICON tamilIcon = nullptr;
HICON englishIcon = nullptr;

// A function of a system library that older Windows lacks; null there.
template <typename Function>
Function SystemFunction(const char* library, const char* name) {
  HMODULE module = GetModuleHandleA(library);
  if (module == nullptr) module = LoadLibraryA(library);
  return module == nullptr ? nullptr
                           : reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The small icon size at the screen's dots per inch (the process is DPI-aware). LoadIconMetric
// (Windows Vista) scales down from the next larger image where the group lacks the exact size.
HICON LoadSmallIcon(int id) {
  using LoadIconMetricFunction = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, HICON*);
  static const auto loadIconMetric = SystemFunction<LoadIconMetricFunction>("comctl32.dll", "LoadIconMetric");
  const int kSmallMetric = 0;  // LIM_SMALL
  HICON icon = nullptr;
  if (loadIconMetric != nullptr &&
      SUCCEEDED(loadIconMetric(appInstance, MAKEINTRESOURCEW(id), kSmallMetric, &icon))) {
    return icon;
  }
  return static_cast<HICON>(LoadImageA(appInstance, MAKEINTRESOURCEA(id), IMAGE_ICON,
                                       GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                       LR_DEFAULTCOLOR));
}

// An elevated tray would otherwise not hear ordinary programs' engines, the shell's new
// notification area or a second start (User Interface Privilege Isolation). Per window from
// Windows 7, per process on Vista; Windows XP has no such filter.
void AcceptFromLowerIntegrity(HWND window, const UINT* messages, int count) {
  using PerWindow = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
  using PerProcess = BOOL(WINAPI*)(UINT, DWORD);
  const DWORD kAllow = 1;  // MSGFLT_ALLOW, and MSGFLT_ADD for the per-process filter
  auto perWindow = SystemFunction<PerWindow>("user32.dll", "ChangeWindowMessageFilterEx");
  auto perProcess = SystemFunction<PerProcess>("user32.dll", "ChangeWindowMessageFilter");
  for (int i = 0; i < count; ++i) {
    if (perWindow != nullptr) {
      perWindow(window, messages[i], kAllow, nullptr);
    } else if (perProcess != nullptr) {
      perProcess(messages[i], kAllow);
    }
  }
}

// The tip is 8-bit text: the en dash where the ANSI code page holds one (the Windows code pages of
// the Latin, Greek and Cyrillic scripts, and UTF-8), a hyphen where it would not come back as an
// en dash (the East Asian code pages, for example).
const char* TipDash() {
  static char dash[8] = "";
  if (dash[0] == '\0') {
    const wchar_t enDash = 0x2013;
    wchar_t back[2] = {};
    int length = WideCharToMultiByte(CP_ACP, 0, &enDash, 1, dash, sizeof dash - 1, nullptr, nullptr);
    if (length <= 0 || MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, dash, length, back, 2) != 1 ||
        back[0] != enDash) {
      length = 1;
      dash[0] = '-';
    }
    dash[length] = '\0';
  }
  return dash;
}

// Adds the icon as the record holds it. An area that already holds it (a second broadcast) takes
// the record as a change instead.
void AddTrayIcon() {
  iconAdded = Shell_NotifyIconA(NIM_ADD, &iconRecord) || Shell_NotifyIconA(NIM_MODIFY, &iconRecord) ? 1 : 0;
}

// A new notification area: the icon again, as it was. A hidden window that still has no icon is
// shown minimised, so that its taskbar button leads back to it; a window minimised for want of
// the icon (at sign-in the area may come after the program) goes into the area once it is there.
void OnTaskbarCreated() {
  AddTrayIcon();
  if (!iconAdded && !IsWindowVisible(mainWindow)) ShowWindow(mainWindow, SW_SHOWMINNOACTIVE);
  if (iconAdded && IsIconic(mainWindow)) ShowWindow(mainWindow, SW_HIDE);
}

void ShowTrayMenu() {
  POINT cursor;
  GetCursorPos(&cursor);
  SetForegroundWindow(mainWindow);
  UpdateConverterItems(popupMenu);
  UINT chosen = static_cast<UINT>(TrackPopupMenu(popupMenu, TPM_RETURNCMD | TPM_NONOTIFY, cursor.x, cursor.y,
                                                 0, mainWindow, nullptr));
  // Without a message of its own after the menu, the window that owns it may keep the menu open
  // when the user clicks elsewhere next time.
  PostMessageA(mainWindow, WM_NULL, 0, 0);
  if (chosen == IDM_EXIT) {
    Shell_NotifyIconA(NIM_DELETE, &iconRecord);
    PostQuitMessage(0);
  } else if (chosen == IDM_SHOWHIDE) {
    SetForegroundWindow(mainWindow);
    ToggleWindowVisibility();
  } else {
    HandleConverterItem(chosen);
  }
}

// With no icon version set, lParam carries the mouse message itself.
void HandleTrayIcon(LPARAM mouseMessage) {
  switch (mouseMessage) {
    case WM_LBUTTONDBLCLK:
      SetForegroundWindow(mainWindow);
      ToggleWindowVisibility();
      break;
    case WM_LBUTTONDOWN:
      SetForegroundWindow(mainWindow);
      break;
    case WM_RBUTTONDOWN:
      ShowTrayMenu();
      break;
    default:
      break;
  }
}

// A second start of this build asked for the window.
void BringForward() {
  if (!IsWindowVisible(mainWindow) || IsIconic(mainWindow)) ShowSettingsWindow();
  SetForegroundWindow(mainWindow);
}

// Whether this start goes straight into the notification area, without the window: asked by the
// argument /tray (the start at sign-in), or by a minimised or hidden show command (a shortcut set
// to run minimised, start /min).
bool StartsInNotificationArea(const char* commandLine, int showCommand) {
  switch (showCommand) {
    case SW_HIDE:
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE:
      return true;
    default:
      break;
  }
  const char kArgument[] = "/tray";
  const size_t kLength = sizeof kArgument - 1;
  for (const char* p = commandLine; p != nullptr && *p != '\0';) {
    while (*p == ' ' || *p == '\t') ++p;
    const char* end = p;
    while (*end != '\0' && *end != ' ' && *end != '\t') ++end;
    if (static_cast<size_t>(end - p) == kLength && _strnicmp(p, kArgument, kLength) == 0) return true;
    p = end;
  }
  return false;
}

// Asks the running instance of this build to show its window, which may not be there yet when
// both starts came at once.
void HandOverToRunningInstance() {
  HWND running = nullptr;
  for (int waited = 0; running == nullptr && waited < 5000; waited += 50) {
    running = FindWindowA(windowClassName, VIREL_WINDOW_TITLE);
    if (running == nullptr) Sleep(50);
  }
  if (running == nullptr) return;
  // This start came from the user, so it may pass the right to take the foreground on.
  DWORD process = 0;
  GetWindowThreadProcessId(running, &process);
  AllowSetForegroundWindow(process);
  PostMessageA(running, WM_BRINGFORWARD, 0, 0);
}

}  // namespace

void RegisterMainWindowClass(HINSTANCE instance) {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.cbClsExtra = 0;
  windowClass.cbWndExtra = DLGWINDOWEXTRA;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_MAIN));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszMenuName = nullptr;
  windowClass.lpszClassName = windowClassName;
  windowClass.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(IDI_MAIN));
  RegisterClassExA(&windowClass);
}

// SW_HIDE: the window stays hidden, the icon leads to it.
BOOL InitInstance(HINSTANCE instance, int showCommand) {
  appInstance = instance;
  tamilOnOffMessage = RegisterWindowMessageA(kToggleMessageName);
  taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
  HWND window = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, nullptr, 0);
  if (window == nullptr) return FALSE;
  mainWindow = window;
  const UINT fromAnyProgram[] = {tamilOnOffMessage, taskbarCreatedMessage, WM_BRINGFORWARD};
  AcceptFromLowerIntegrity(mainWindow, fromAnyProgram, sizeof fromAnyProgram / sizeof fromAnyProgram[0]);
  SetWindowTextA(mainWindow, VIREL_WINDOW_TITLE);
  FitBannerToScreen();
  if (showCommand != SW_HIDE) {
    ShowWindow(mainWindow, showCommand);
    UpdateWindow(mainWindow);
  }
  settingsChanged = 0;
  CreateTrayIcon();
  // No notification area yet: the taskbar button leads to the window until one comes.
  if (showCommand == SW_HIDE && !iconAdded) ShowWindow(mainWindow, SW_SHOWMINNOACTIVE);
  LoadSettings();
  // The engine's answers change nothing here: a refused load means another program holds this
  // build's hook, and the settings below still reach the shared block.
  LoadVirelEngine(mainWindow);
  SetTamilEncodings(static_cast<int>(settings.encoding));
  SetTamilKeyboard(static_cast<int>(settings.keyboard));
  SetHotKey(1, ToggleKeyToVirtualKey(settings.toggleKey));
  FillSettingsWindow();
  return TRUE;
}

void CreateTrayIcon() {
  iconRecord = NOTIFYICONDATAA{};
  iconRecord.cbSize = sizeof iconRecord;
  iconRecord.hWnd = mainWindow;
  iconRecord.uID = TRAY_ICON_ID;
  iconRecord.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  iconRecord.uCallbackMessage = WM_TRAYICON;
  tamilIcon = LoadSmallIcon(IDI_TAMIL);
  englishIcon = LoadSmallIcon(IDI_ENGLISH);
  // Tamil stays off until the toggle key is first pressed; the engine says so from then on.
  ShowTamilState(0);
  AddTrayIcon();

  popupMenu = CreatePopupMenu();
  AppendMenuA(popupMenu, MF_STRING, IDM_SHOWHIDE, "Show/Hide");
  AppendConverterItems(popupMenu);
  AppendMenuA(popupMenu, MF_STRING, IDM_EXIT, "Exit");
}

void ShowTamilState(BYTE tamilOn) {
  iconRecord.hIcon = tamilOn ? tamilIcon : englishIcon;
  wsprintfA(iconRecord.szTip, "%s %s %s", VIREL_ICON_TIP, TipDash(), tamilOn ? "Tamil" : "English");
  if (iconAdded) Shell_NotifyIconA(NIM_MODIFY, &iconRecord);
}

// Without an icon a hidden window could not be reached again: it is only minimised, and keeps its
// taskbar button.
void ToggleWindowVisibility() {
  if (IsWindowVisible(mainWindow)) {
    ShowWindow(mainWindow, SW_MINIMIZE);
    if (iconAdded) ShowWindow(mainWindow, SW_HIDE);
  } else {
    ShowSettingsWindow();
  }
}

void ShowSettingsWindow() {
  ShowWindow(mainWindow, SW_RESTORE);
  ShowWindow(mainWindow, SW_SHOW);
  // After a start with a minimised show command Windows may take the first show of the main
  // window for that start's own show command, and minimise it instead.
  if (IsIconic(mainWindow)) ShowWindow(mainWindow, SW_RESTORE);
}

// The window is a dialog of its own class: default processing is the dialog manager's (focus kept
// across activation, the default button), apart from closing, which ends the program.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != 0 && message == tamilOnOffMessage) ShowTamilState(wParam != 0 ? 1 : 0);
  if (message != 0 && message == taskbarCreatedMessage) OnTaskbarCreated();
  switch (message) {
    case WM_COMMAND:
      HandleSettingsCommand(LOWORD(wParam), HIWORD(wParam));
      break;
    case WM_SYSCOMMAND:
      // The low four bits are the system's own.
      if ((wParam & 0xFFF0) == SC_MINIMIZE) {
        ToggleWindowVisibility();
        // Default processing would minimise the hidden window again, which shows it.
        return 0;
      }
      break;
    case WM_CLOSE:
      // A dialog's default would take it for Esc.
      DestroyWindow(window);
      return 0;
    case WM_TRAYICON:
      HandleTrayIcon(lParam);
      break;
    case WM_BRINGFORWARD:
      BringForward();
      break;
    case WM_DESTROY:
      Shell_NotifyIconA(NIM_DELETE, &iconRecord);
      PostQuitMessage(0);
      break;
    default:
      break;
  }
  return DefDlgProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
  LoadStringA(instance, IDS_CLASSNAME, windowClassName, sizeof windowClassName);
  bool toNotificationArea = StartsInNotificationArea(commandLine, showCommand);
  // One instance of each build: a second start shows the running one's window (unless it was
  // itself a start into the notification area) and ends. The mutex lives as long as the process.
  SetLastError(ERROR_SUCCESS);
  HANDLE instanceMutex = CreateMutexA(nullptr, FALSE, VIREL_INSTANCE_MUTEX);
  DWORD created = GetLastError();
  if (created == ERROR_ALREADY_EXISTS || (instanceMutex == nullptr && created == ERROR_ACCESS_DENIED)) {
    if (!toNotificationArea) HandOverToRunningInstance();
    return 0;
  }
  RegisterMainWindowClass(instance);
  if (!InitInstance(instance, toNotificationArea ? SW_HIDE : showCommand)) return 0;
  MSG msg = {};
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    // Tab, the arrow keys, mnemonics, Enter and Esc in the settings window.
    if (IsDialogMessageA(mainWindow, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}
