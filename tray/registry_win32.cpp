#include "tray/registry_win32.h"

bool Win32SettingsRegistry::OpenForRead() {
  Close();
  return RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_READ, &key_) == ERROR_SUCCESS;
}

bool Win32SettingsRegistry::OpenForWrite() {
  Close();
  return RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_WRITE, &key_) == ERROR_SUCCESS;
}

uint32_t Win32SettingsRegistry::Create() {
  Close();
  DWORD disposition = 0;
  LONG result = RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_WRITE, nullptr, &key_, &disposition);
  if (result != ERROR_SUCCESS) {
    key_ = nullptr;
    return kKeyNotCreated;
  }
  return disposition;
}

bool Win32SettingsRegistry::Query(const char* name, void* data, uint32_t* size) {
  DWORD bytes = *size;
  LONG result = RegQueryValueExA(key_, name, nullptr, nullptr, static_cast<BYTE*>(data), &bytes);
  *size = bytes;
  return result == ERROR_SUCCESS;
}

void Win32SettingsRegistry::SetDword(const char* name, uint32_t value) {
  DWORD dword = value;
  RegSetValueExA(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dword), sizeof dword);
}

void Win32SettingsRegistry::Close() {
  if (key_ != nullptr) RegCloseKey(key_);
  key_ = nullptr;
}
