#include "tray/settings_store.h"

#include <cstring>
#include <initializer_list>

#include "tray/captions.h"

TraySettings settings = {0, 0, 0, 10};

const char kSettingsKeyPath[] = "Software\\Orvane\\Virel\\5.0";

namespace {

const TraySettings kDefaults = {0, 0, 0, 10};

// A value that is not exactly four bytes would not fit the setting, or fill only part of it.
void ReadSetting(SettingsRegistry& registry, const char* name, uint32_t* setting) {
  unsigned char data[sizeof(uint32_t)];
  uint32_t size = sizeof data;
  if (!registry.Query(name, data, &size) || size != sizeof data) return;
  std::memcpy(setting, data, sizeof data);
}

}  // namespace

void LoadSettings(SettingsRegistry& registry) {
  settings = kDefaults;
  if (!registry.OpenForRead()) return;
  ReadSetting(registry, "encoding", &settings.encoding);
  ReadSetting(registry, "keyboard", &settings.keyboard);
  ReadSetting(registry, "displayLang", &settings.displayLang);
  ReadSetting(registry, "toggleKey", &settings.toggleKey);
  registry.Close();
}

TraySettings SettingsInEffect(const TraySettings& stored) {
  TraySettings inEffect = stored;
  if (inEffect.encoding >= uint32_t{kEncodingCount}) inEffect.encoding = 1;     // TSCII
  if (inEffect.keyboard >= uint32_t{kKeyboardCount}) inEffect.keyboard = 0;     // Phonetic
  if (inEffect.toggleKey >= uint32_t{kToggleKeyCount}) inEffect.toggleKey = 10;  // K
  return inEffect;
}

TraySettings SettingsToSave(const TraySettings& shown, const TraySettings& loaded) {
  TraySettings chosen = shown;
  for (uint32_t TraySettings::*list : {&TraySettings::encoding, &TraySettings::keyboard, &TraySettings::toggleKey}) {
    if (chosen.*list == kNoSelection) chosen.*list = loaded.*list;
  }
  return chosen;
}

void SaveSettings(SettingsRegistry& registry, const TraySettings& shown) {
  if (!registry.OpenForWrite()) {
    uint32_t disposition = registry.Create();
    if (disposition != kKeyCreatedNew && disposition != kKeyOpenedExisting) return;
  }
  registry.SetDword("encoding", shown.encoding);
  registry.SetDword("keyboard", shown.keyboard);
  registry.SetDword("displayLang", shown.displayLang);
  registry.SetDword("toggleKey", shown.toggleKey);
  registry.Close();
}

uint8_t ToggleKeyToVirtualKey(uint32_t toggleKey) {
  if (toggleKey <= 25) return static_cast<uint8_t>(0x41 + toggleKey);  // 'A'..'Z'
  if (toggleKey <= 37) return static_cast<uint8_t>(toggleKey + 86);    // VK_F1..VK_F12
  return 0x4B;                                                          // 'K'
}
