// The settings key in the current user's registry, through the 8-bit registry functions.
#pragma once

#include "tray/settings_store.h"
#include "tray/tray.h"

class Win32SettingsRegistry : public SettingsRegistry {
 public:
  ~Win32SettingsRegistry() override { Close(); }
  bool OpenForRead() override;
  bool OpenForWrite() override;
  uint32_t Create() override;
  bool Query(const char* name, void* data, uint32_t* size) override;
  void SetDword(const char* name, uint32_t value) override;
  void Close() override;

 private:
  HKEY key_ = nullptr;
};
