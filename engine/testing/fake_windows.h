// Native stand-in for the part of <windows.h> the engine uses. Types have the Win32 shapes;
// the functions are implemented by fake_win32.cpp, which records each call and applies it to
// a model of the host application.
#pragma once

#include <cstddef>
#include <cstdint>

typedef unsigned char BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int BOOL;
typedef unsigned int UINT;
typedef int16_t SHORT;
typedef int32_t LONG;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef void* HANDLE;
typedef void* LPVOID;
typedef wchar_t WCHAR;

struct HWND__;
typedef HWND__* HWND;
struct HHOOK__;
typedef HHOOK__* HHOOK;
struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
typedef HANDLE HGLOBAL;

#define WINAPI
#define CALLBACK
#define __cdecl
#define TRUE 1
#define FALSE 0

struct POINT { long x, y; };
struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};

typedef LRESULT (*HOOKPROC)(int code, WPARAM wParam, LPARAM lParam);

struct KEYBDINPUT {
  WORD wVk;
  WORD wScan;
  DWORD dwFlags;
  DWORD time;
  ULONG_PTR dwExtraInfo;
};
struct INPUT {
  DWORD type;
  union {
    KEYBDINPUT ki;
  };
};

#define WH_GETMESSAGE 3
#define PM_REMOVE 1
#define HC_NOREMOVE 3
#define WM_NULL 0x0000
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_SYSKEYDOWN 0x0104
#define WM_SYSKEYUP 0x0105
#define WM_UNICHAR 0x0109
#define WM_LBUTTONDOWN 0x0201
#define WM_RBUTTONDOWN 0x0204
#define WM_MBUTTONDOWN 0x0207
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_CAPITAL 0x14
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_DELETE 0x2E
#define VK_LWIN 0x5B
#define VK_RWIN 0x5C
#define VK_F1 0x70
#define VK_F24 0x87
#define VK_PACKET 0xE7
#define VK_NUMLOCK 0x90
#define VK_SCROLL 0x91
#define VK_LSHIFT 0xA0
#define VK_RSHIFT 0xA1
#define VK_LCONTROL 0xA2
#define VK_RCONTROL 0xA3
#define VK_LMENU 0xA4
#define VK_RMENU 0xA5
#define KEYEVENTF_EXTENDEDKEY 0x0001
#define KEYEVENTF_KEYUP 0x0002
#define INPUT_KEYBOARD 1
#define MAPVK_VK_TO_VSC 0
#define MAPVK_VK_TO_CHAR 2
#define CF_TEXT 1
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)))
#define PAGE_READWRITE 0x04
#define FILE_MAP_COPY 0x0001
#define FILE_MAP_WRITE 0x0002
#define FILE_MAP_READ 0x0004
#define ERROR_ACCESS_DENIED 5
#define ERROR_ALREADY_EXISTS 183
#define GMEM_MOVEABLE 0x0002
#define GMEM_DDESHARE 0x2000
#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);
HHOOK SetWindowsHookExA(int idHook, HOOKPROC proc, HINSTANCE module, DWORD threadId);
BOOL UnhookWindowsHookEx(HHOOK hook);
BOOL DisableThreadLibraryCalls(HMODULE module);
UINT RegisterWindowMessageA(LPCSTR name);

int GetClassNameA(HWND window, LPSTR name, int size);
DWORD GetWindowThreadProcessId(HWND window, DWORD* processId);
DWORD GetCurrentProcessId();
HWND GetParent(HWND window);
BOOL IsWindow(HWND window);
int lstrcmpiA(LPCSTR a, LPCSTR b);

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

HWND GetFocus();
HWND GetForegroundWindow();
DWORD GetCurrentThreadId();
LPARAM GetMessageExtraInfo();
LONG InterlockedCompareExchange(volatile LONG* target, LONG exchange, LONG comparand);

BOOL GetKeyboardState(BYTE* state);
SHORT GetKeyState(int vk);
SHORT GetAsyncKeyState(int vk);
UINT MapVirtualKeyA(UINT code, UINT mapType);
int ToUnicode(UINT vk, UINT scanCode, const BYTE* keyState, WCHAR* result, int size, UINT flags);
UINT SendInput(UINT count, INPUT* inputs, int size);

BOOL OpenClipboard(HWND owner);
BOOL EmptyClipboard();
HANDLE SetClipboardData(UINT format, HANDLE data);
BOOL CloseClipboard();
UINT RegisterClipboardFormatA(LPCSTR name);
UINT EnumClipboardFormats(UINT format);
HANDLE GetClipboardData(UINT format);
DWORD GetClipboardSequenceNumber();
HGLOBAL GlobalAlloc(UINT flags, size_t bytes);
LPVOID GlobalLock(HGLOBAL block);
BOOL GlobalUnlock(HGLOBAL block);
HGLOBAL GlobalFree(HGLOBAL block);
size_t GlobalSize(HGLOBAL block);

DWORD GetTickCount();
DWORD GetLastError();
BOOL CloseHandle(HANDLE handle);
HANDLE CreateFileMappingW(HANDLE file, void* security, DWORD protect, DWORD sizeHigh, DWORD sizeLow, const WCHAR* name);
HANDLE OpenFileMappingW(DWORD access, BOOL inherit, const WCHAR* name);
LPVOID MapViewOfFile(HANDLE section, DWORD access, DWORD offsetHigh, DWORD offsetLow, size_t bytes);
BOOL UnmapViewOfFile(const void* view);
DWORD GetModuleFileNameA(HMODULE module, LPSTR path, DWORD size);
DWORD GetFileVersionInfoSizeA(LPCSTR path, DWORD* handle);
BOOL GetFileVersionInfoA(LPCSTR path, DWORD handle, DWORD size, LPVOID data);
