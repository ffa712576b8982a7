// Ending the other build's processes after a saved change: they hold the old settings.
#include "tray/tray.h"

#include <string.h>
#include <tlhelp32.h>

#include <vector>

static_assert(sizeof(PROCESSENTRY32) == (sizeof(void*) == 8 ? 304 : 296), "8-bit process entries");

namespace {

// How long the processes asked to close have, together, before they are ended from outside.
const DWORD kCloseTimeoutMs = 5000;

struct Ending {
  DWORD id;
  HANDLE process;  // held open from the snapshot on, so that the id cannot pass to another process
  bool asked;      // a window of it was asked to close
};

// Asks each window of this program's class that one of the processes owns to close: the program
// then removes its icon and ends by itself. A process ended from outside leaves its icon in the
// notification area until the pointer passes over it.
BOOL CALLBACK AskToClose(HWND window, LPARAM endingAddress) {
  std::vector<Ending>& ending = *reinterpret_cast<std::vector<Ending>*>(endingAddress);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char className[100] = "";
  GetClassNameA(window, className, sizeof className);
  if (strcmp(className, windowClassName) != 0) return TRUE;
  for (Ending& one : ending) {
    if (one.id == owner && PostMessageA(window, WM_CLOSE, 0, 0)) one.asked = true;
  }
  return TRUE;
}

}  // namespace

void TerminateProcessesByName(const char* exeName) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPALL, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  DWORD self = GetCurrentProcessId();
  std::vector<Ending> ending;
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    // The exact name, letter case included. Never this process: a copy renamed to the other
    // build's name would otherwise end itself before removing its icon.
    if (strcmp(entry.szExeFile, exeName) != 0 || entry.th32ProcessID == self) continue;
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
    if (process != nullptr) ending.push_back({entry.th32ProcessID, process, false});
  }
  CloseHandle(snapshot);

  EnumWindows(AskToClose, reinterpret_cast<LPARAM>(&ending));
  DWORD started = GetTickCount();
  for (const Ending& one : ending) {
    DWORD spent = GetTickCount() - started;
    DWORD wait = one.asked && spent < kCloseTimeoutMs ? kCloseTimeoutMs - spent : 0;
    if (WaitForSingleObject(one.process, wait) == WAIT_TIMEOUT) TerminateProcess(one.process, 9);
    CloseHandle(one.process);
  }
}
