// The tray program's entry, window class, start-up, window procedure and notification icon.
#include "engine/core/exports.h"
#include "tray/resource.h"
#include "tray/settings_store.h"
#include "tray/tray.h"

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

HICON LoadSmallIcon(int id) {
  return static_cast<HICON>(LoadImageA(appInstance, MAKEINTRESOURCEA(id), IMAGE_ICON,
                                       GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                       LR_DEFAULTCOLOR));
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
// shown minimised, so that its taskbar button leads back to it.
void OnTaskbarCreated() {
  AddTrayIcon();
  if (!iconAdded && !IsWindowVisible(mainWindow)) ShowWindow(mainWindow, SW_SHOWMINNOACTIVE);
}

void OnMenuShowHide() {
  SetForegroundWindow(mainWindow);
  ToggleWindowVisibility();
}

// Nothing is saved; the other build runs on.
void OnMenuExit() {
  Shell_NotifyIconA(NIM_DELETE, &iconRecord);
  PostQuitMessage(0);
}

struct TrayMenuItem {
  UINT id;
  const char* text;
  void (*action)();
};

// The icon's menu, top to bottom.
const TrayMenuItem kTrayMenu[] = {
    {IDM_SHOWHIDE, "Show/Hide", OnMenuShowHide},
    {IDM_EXIT, "Exit", OnMenuExit},
};

void ShowTrayMenu() {
  POINT cursor;
  GetCursorPos(&cursor);
  SetForegroundWindow(mainWindow);
  UINT chosen = static_cast<UINT>(TrackPopupMenu(popupMenu, TPM_RETURNCMD | TPM_NONOTIFY, cursor.x, cursor.y,
                                                 0, mainWindow, nullptr));
  // Without a message of its own after the menu, the window that owns it may keep the menu open
  // when the user clicks elsewhere next time.
  PostMessageA(mainWindow, WM_NULL, 0, 0);
  for (const TrayMenuItem& item : kTrayMenu) {
    if (item.id == chosen) item.action();
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

BOOL InitInstance(HINSTANCE instance, int showCommand) {
  appInstance = instance;
  tamilOnOffMessage = RegisterWindowMessageA(kToggleMessageName);
  taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
  HWND window = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, nullptr, 0);
  if (window == nullptr) return FALSE;
  mainWindow = window;
  SetWindowTextA(mainWindow, VIREL_WINDOW_TITLE);
  ShowWindow(mainWindow, showCommand);
  UpdateWindow(mainWindow);
  settingsChanged = 0;
  CreateTrayIcon();
  LoadSettings();
  // The engine's answers change nothing here: a refused load means another instance of this
  // build holds the hook, and the settings below still reach the shared block.
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
  for (const TrayMenuItem& item : kTrayMenu) AppendMenuA(popupMenu, MF_STRING, item.id, item.text);
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
    ShowWindow(mainWindow, SW_RESTORE);
    ShowWindow(mainWindow, SW_SHOW);
  }
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
    case WM_DESTROY:
      Shell_NotifyIconA(NIM_DELETE, &iconRecord);
      PostQuitMessage(0);
      break;
    default:
      break;
  }
  return DefDlgProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  LoadStringA(instance, IDS_CLASSNAME, windowClassName, sizeof windowClassName);
  RegisterMainWindowClass(instance);
  if (!InitInstance(instance, showCommand)) return 0;
  MSG msg = {};
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    // Tab, the arrow keys, mnemonics, Enter and Esc in the settings window.
    if (IsDialogMessageA(mainWindow, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}
