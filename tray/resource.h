// Resource and control ids of the tray program, shared by the resource script and the code.
#pragma once

#define IDD_MAIN 101
#define IDI_MAIN 107
#define IDB_BANNER 109
#define IDI_TAMIL 110    // notification area: Tamil on
#define IDI_ENGLISH 111  // notification area: Tamil off
#define IDS_CLASSNAME 200
#define IDS_APPNAME 203

#define IDC_ENCODING 1000
#define IDC_KEYBOARD 1001
#define IDC_TOGGLEKEY 1003
#define IDC_TAMILDISPLAY 1005
#define IDC_ENCODING_LABEL 1006
#define IDC_KEYBOARD_LABEL 1007
#define IDC_TOGGLEKEY_LABEL 1009
#define IDC_HELPBUTTON 1016
#define IDC_STOPBUTTON 1017
#define IDM_EXIT 1018
#define IDM_SHOWHIDE 1019
#define IDM_CLIPBOARD_TO_UNICODE 1020
#define IDM_CLIPBOARD_FROM_UNICODE 1021
#define IDM_KEYBOARD_CHART 1022

// Callback message of the notification-area icon, also the icon's id.
#define WM_TRAYICON 35468
#define TRAY_ICON_ID 35468
// Posted by a second start of the same build to the running one's window: show yourself.
#define WM_BRINGFORWARD 35469
