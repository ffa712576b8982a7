// The tray program's process-wide state and procedures, all owned by its one thread.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>

// What differs between the two builds of the one source.
#ifdef _WIN64
#define VIREL_WINDOW_TITLE "Virel Tamil Software (64 bit) - Ver 5.0"
#define VIREL_ICON_TIP "Virel (64 bit)"
#define VIREL_OTHER_BUILD_EXE "Virel32.exe"
#define VIREL_INSTANCE_MUTEX "Local\\Orvane.Virel.5.0.Virel64"
#else
#define VIREL_WINDOW_TITLE "Virel Tamil Software (32 bit) - Ver 5.0"
#define VIREL_ICON_TIP "Virel (32 bit)"
#define VIREL_OTHER_BUILD_EXE "Virel64.exe"
#define VIREL_INSTANCE_MUTEX "Local\\Orvane.Virel.5.0.Virel32"
#endif

extern HINSTANCE appInstance;
extern HWND mainWindow;                // the settings window
extern char windowClassName[100];      // string IDS_CLASSNAME
extern NOTIFYICONDATAA iconRecord;     // kept from the icon's creation to its removal
extern HMENU popupMenu;                // the icon's menu, kept for the process's lifetime
extern BYTE settingsChanged;           // a list selection changed since start-up; never cleared
extern BYTE iconAdded;                 // the notification area took the icon (NIM_ADD succeeded)

// Start-up and the window procedure (tray_main.cpp).
void RegisterMainWindowClass(HINSTANCE instance);
BOOL InitInstance(HINSTANCE instance, int showCommand);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void CreateTrayIcon();
void ToggleWindowVisibility();
// Shows the hidden or minimised window as it was before it was hidden.
void ShowSettingsWindow();
// The icon and its tip for Tamil on (1) or off (0), shown at once when the icon is there.
void ShowTamilState(BYTE tamilOn);

// The settings window's contents and commands (settings_window.cpp).
// Scales the banner to the screen's dots per inch, as Windows scales the dialog itself.
void FitBannerToScreen();
void FillSettingsWindow();
void ShowSaveChangesCaption();
void HandleSettingsCommand(WORD id, WORD notification);
// The registry side of the window: the stored settings in, the shown settings out.
void LoadSettings();
void SaveSettings();

// Ends every process whose executable file name is exactly `exeName` (sibling.cpp): those with a
// window of this program's class are first asked to close it.
void TerminateProcessesByName(const char* exeName);
