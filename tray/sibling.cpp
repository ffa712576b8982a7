// Ending the other build's processes after a saved change: they hold the old settings.
#include "tray/tray.h"

#include <string.h>
#include <tlhelp32.h>

static_assert(sizeof(PROCESSENTRY32) == (sizeof(void*) == 8 ? 304 : 296), "8-bit process entries");

void TerminateProcessesByName(const char* exeName) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPALL, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  DWORD self = GetCurrentProcessId();
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    // The exact name, letter case included. Never this process: a copy renamed to the other
    // build's name would otherwise end itself before removing its icon.
    if (strcmp(entry.szExeFile, exeName) != 0 || entry.th32ProcessID == self) continue;
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID);
    if (process == nullptr) continue;
    TerminateProcess(process, 9);
    CloseHandle(process);
  }
  CloseHandle(snapshot);
}
