// The settings window: its captions, fonts and lists, and what its controls do.
#include "tray/captions.h"
#include "tray/registry_win32.h"
#include "tray/resource.h"
#include "tray/settings_store.h"
#include "tray/tray.h"

BYTE settingsChanged = 0;

namespace {

// The font of the current caption set, on the three captions, both buttons, the check box and
// the encoding and keyboard lists. Replaced by every fill; the old one is released once no
// control uses it any more.
HFONT captionFont = nullptr;
// The font ShowSaveChangesCaption gave the Stop button alone; null while the button has
// captionFont.
HFONT stopButtonFont = nullptr;

// The screen's dots per inch, fixed for the process's life (it is system DPI-aware).
int ScreenDpi() {
  static int dpi = 0;
  if (dpi == 0) {
    HDC screen = GetDC(nullptr);
    dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (dpi <= 0) dpi = 96;
  }
  return dpi;
}

// 11 pixels high at 96 dots per inch.
HFONT CreateCaptionFont(const CaptionSet& set) {
  return CreateFontA(-MulDiv(11, ScreenDpi(), 96), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, set.fontFace);
}

void ReleaseFont(HFONT* font) {
  if (*font != nullptr) DeleteObject(*font);
  *font = nullptr;
}

LRESULT SendToControl(int id, UINT message, WPARAM wParam, LPARAM lParam) {
  return SendDlgItemMessageA(mainWindow, id, message, wParam, lParam);
}

void SetCaption(int id, const char* text, HFONT font) {
  SendToControl(id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  SendToControl(id, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void AddItems(int id, const char* const* items, int count) {
  for (int i = 0; i < count; ++i) SendToControl(id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items[i]));
}

// A position the list does not have (a stored value out of range) leaves it without selection.
void Select(int id, uint32_t position) {
  SendToControl(id, CB_SETCURSEL, static_cast<WPARAM>(static_cast<int>(position)), 0);
}

uint32_t SelectedPosition(int id) {
  return static_cast<uint32_t>(static_cast<int>(SendToControl(id, CB_GETCURSEL, 0, 0)));
}

// What the window shows, with the value in effect for a list without selection.
TraySettings ChosenSettings() {
  TraySettings shown;
  shown.encoding = SelectedPosition(IDC_ENCODING);
  shown.keyboard = SelectedPosition(IDC_KEYBOARD);
  shown.displayLang = static_cast<uint32_t>(SendToControl(IDC_TAMILDISPLAY, BM_GETCHECK, 0, 0));
  shown.toggleKey = SelectedPosition(IDC_TOGGLEKEY);
  return SettingsToSave(shown, SettingsInEffect(settings));
}

void OnListSelectionChange() {
  settingsChanged = 1;
  ShowSaveChangesCaption();
}

// Esc, and Enter while there is nothing to save: the window goes back to the notification area.
void OnDismiss() {
  if (IsWindowVisible(mainWindow) && !IsIconic(mainWindow)) ToggleWindowVisibility();
}

void OnTamilDisplayClick() {
  settings.displayLang = static_cast<uint32_t>(SendToControl(IDC_TAMILDISPLAY, BM_GETCHECK, 0, 0));
  FillSettingsWindow();
}

void OnHelpClick() {
  MessageBoxA(nullptr, kHelpText, "Virel Help", MB_OK);
}

// Saves what the window shows (a list without selection keeps its loaded value); after a change
// tells the user to restart and ends the other build, whose settings are now stale. The window is
// not destroyed: the program just ends.
void OnStopClick() {
  SaveSettings();
  if (settingsChanged != 0) {
    MessageBoxA(nullptr, "Restart Virel Tamil Software to apply changes.", "Restart Virel", MB_OK);
    TerminateProcessesByName(VIREL_OTHER_BUILD_EXE);
  }
  Shell_NotifyIconA(NIM_DELETE, &iconRecord);
  PostQuitMessage(0);
}

struct Command {
  WORD id;
  WORD notification;
  void (*action)();
};

const Command kCommands[] = {
    {IDC_ENCODING, CBN_SELCHANGE, OnListSelectionChange},
    {IDC_KEYBOARD, CBN_SELCHANGE, OnListSelectionChange},
    {IDC_TOGGLEKEY, CBN_SELCHANGE, OnListSelectionChange},
    {IDC_TAMILDISPLAY, BN_CLICKED, OnTamilDisplayClick},
    {IDC_HELPBUTTON, BN_CLICKED, OnHelpClick},
    {IDC_STOPBUTTON, BN_CLICKED, OnStopClick},
    {IDOK, BN_CLICKED, OnDismiss},
    {IDCANCEL, BN_CLICKED, OnDismiss},
};

}  // namespace

// Fills the window from the settings. Once the user has changed a selection, a refill (the
// check box) keeps the user's pending selections and the Save Changes caption, so that the
// button stores what the window shows.
void FillSettingsWindow() {
  const CaptionSet& set = CaptionsFor(settings.displayLang);
  TraySettings shown = SettingsInEffect(settings);
  if (settingsChanged != 0) {
    TraySettings pending = ChosenSettings();
    shown.encoding = pending.encoding;
    shown.keyboard = pending.keyboard;
    shown.toggleKey = pending.toggleKey;
  }

  HFONT font = CreateCaptionFont(set);
  SetCaption(IDC_ENCODING_LABEL, set.encodingLabel, font);
  SetCaption(IDC_KEYBOARD_LABEL, set.keyboardLabel, font);
  SetCaption(IDC_TOGGLEKEY_LABEL, set.toggleKeyLabel, font);
  SetCaption(IDC_STOPBUTTON, settingsChanged != 0 ? set.saveChanges : set.stop, font);
  SetCaption(IDC_HELPBUTTON, set.help, font);
  SetCaption(IDC_TAMILDISPLAY, set.tamilDisplay, font);

  SendToControl(IDC_ENCODING, CB_RESETCONTENT, 0, 0);
  SendToControl(IDC_ENCODING, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  AddItems(IDC_ENCODING, set.encodings, kEncodingCount);
  Select(IDC_ENCODING, shown.encoding);

  SendToControl(IDC_KEYBOARD, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  SendToControl(IDC_KEYBOARD, CB_RESETCONTENT, 0, 0);
  AddItems(IDC_KEYBOARD, set.keyboards, kKeyboardCount);
  Select(IDC_KEYBOARD, shown.keyboard);

  // Checked exactly when the captions are Tamil, also for an odd stored value.
  SendToControl(IDC_TAMILDISPLAY, BM_SETCHECK, shown.displayLang == 1 ? BST_CHECKED : BST_UNCHECKED, 0);

  SendToControl(IDC_TOGGLEKEY, CB_RESETCONTENT, 0, 0);
  AddItems(IDC_TOGGLEKEY, kToggleKeyNames, kToggleKeyCount);
  Select(IDC_TOGGLEKEY, shown.toggleKey);

  ReleaseFont(&captionFont);
  ReleaseFont(&stopButtonFont);
  captionFont = font;
  InvalidateRect(mainWindow, nullptr, TRUE);
}

// The button also becomes the default one: Enter saves.
void ShowSaveChangesCaption() {
  const CaptionSet& set = CaptionsFor(settings.displayLang);
  HFONT font = CreateCaptionFont(set);
  SetCaption(IDC_STOPBUTTON, set.saveChanges, font);
  ReleaseFont(&stopButtonFont);
  stopButtonFont = font;
  SendMessageA(mainWindow, DM_SETDEFID, IDC_STOPBUTTON, 0);
}

void FitBannerToScreen() {
  int dpi = ScreenDpi();
  if (dpi == 96) return;
  HWND banner = nullptr;
  for (HWND child = GetWindow(mainWindow, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP) banner = child;
  }
  HBITMAP original = reinterpret_cast<HBITMAP>(SendMessageA(banner, STM_GETIMAGE, IMAGE_BITMAP, 0));
  BITMAP size;
  if (original == nullptr || GetObjectA(original, sizeof size, &size) != sizeof size) return;
  int width = MulDiv(size.bmWidth, dpi, 96);
  int height = MulDiv(size.bmHeight, dpi, 96);
  HDC screen = GetDC(nullptr);
  HDC from = CreateCompatibleDC(screen);
  HDC to = CreateCompatibleDC(screen);
  HBITMAP scaled = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ fromBefore = SelectObject(from, original);
  HGDIOBJ toBefore = SelectObject(to, scaled);
  SetStretchBltMode(to, HALFTONE);
  SetBrushOrgEx(to, 0, 0, nullptr);
  StretchBlt(to, 0, 0, width, height, from, 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
  SelectObject(from, fromBefore);
  SelectObject(to, toBefore);
  DeleteDC(from);
  DeleteDC(to);
  ReleaseDC(nullptr, screen);
  // The control takes the new bitmap's size; the one it loaded from the template is no longer used.
  HBITMAP previous = reinterpret_cast<HBITMAP>(SendMessageA(banner, STM_SETIMAGE, IMAGE_BITMAP,
                                                            reinterpret_cast<LPARAM>(scaled)));
  if (previous != nullptr && previous != scaled) DeleteObject(previous);
}

void HandleSettingsCommand(WORD id, WORD notification) {
  for (const Command& command : kCommands) {
    if (command.id == id && command.notification == notification) {
      command.action();
      return;
    }
  }
}

void LoadSettings() {
  Win32SettingsRegistry registry;
  LoadSettings(registry);
}

void SaveSettings() {
  Win32SettingsRegistry registry;
  SaveSettings(registry, ChosenSettings());
}
