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

namespace {

void ShowTrayMenu() {
  POINT cursor;
  GetCursorPos(&cursor);
  SetForegroundWindow(mainWindow);
  UINT chosen = static_cast<UINT>(TrackPopupMenu(popupMenu, TPM_RETURNCMD | TPM_NONOTIFY, cursor.x, cursor.y,
                                                 0, mainWindow, nullptr));
  if (chosen == IDM_EXIT) {
    Shell_NotifyIconA(NIM_DELETE, &iconRecord);
    PostQuitMessage(0);
  } else if (chosen == IDM_SHOWHIDE) {
    SetForegroundWindow(mainWindow);
    ToggleWindowVisibility();
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
  iconRecord.hIcon = LoadIconA(appInstance, MAKEINTRESOURCEA(IDI_MAIN));
  lstrcpynA(iconRecord.szTip, VIREL_ICON_TIP, sizeof iconRecord.szTip);
  Shell_NotifyIconA(NIM_ADD, &iconRecord);

  popupMenu = CreatePopupMenu();
  AppendMenuA(popupMenu, MF_STRING, IDM_SHOWHIDE, "Show/Hide");
  AppendMenuA(popupMenu, MF_STRING, IDM_EXIT, "Exit");
}

void ToggleWindowVisibility() {
  if (IsWindowVisible(mainWindow)) {
    ShowWindow(mainWindow, SW_MINIMIZE);
    ShowWindow(mainWindow, SW_HIDE);
  } else {
    ShowWindow(mainWindow, SW_RESTORE);
    ShowWindow(mainWindow, SW_SHOW);
  }
}

// Every message but the caption's minimise ends in default processing.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      HandleSettingsCommand(LOWORD(wParam), HIWORD(wParam));
      break;
    case WM_SYSCOMMAND:
      if (wParam == SC_MINIMIZE) {
        ToggleWindowVisibility();
        // Default processing would minimise the hidden window again, which shows it.
        return 0;
      }
      break;
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
  return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  LoadStringA(instance, IDS_CLASSNAME, windowClassName, sizeof windowClassName);
  RegisterMainWindowClass(instance);
  if (!InitInstance(instance, showCommand)) return 0;
  MSG msg = {};
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}
