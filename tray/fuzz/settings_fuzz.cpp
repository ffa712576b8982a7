// Fuzzes the settings store with whatever the registry may hold under the four names: any type,
// any size, or nothing. Each setting must come out as its default or as the four bytes of a
// four-byte value, nothing may be written past a setting (the address sanitizer), the toggle key
// must map to a letter or function key, what the window shows must be a position of each list,
// and what is saved must load back unchanged.
#include <stdlib.h>
#include <string.h>

#include <map>
#include <string>
#include <vector>

#include "tray/settings_store.h"

namespace {

const char* const kNames[] = {"encoding", "keyboard", "displayLang", "toggleKey"};

// The key as the registry keeps it, refusing as RegQueryValueExA does: a value larger than the
// buffer is not copied (the buffer's contents are then undefined: scribbled on).
class FuzzRegistry : public SettingsRegistry {
 public:
  bool exists = true;
  std::map<std::string, std::vector<unsigned char>> values;

  bool OpenForRead() override { return exists; }
  bool OpenForWrite() override { return exists; }
  uint32_t Create() override {
    uint32_t disposition = exists ? kKeyOpenedExisting : kKeyCreatedNew;
    exists = true;
    return disposition;
  }
  bool Query(const char* name, void* data, uint32_t* size) override {
    auto found = values.find(name);
    if (found == values.end()) return false;
    const std::vector<unsigned char>& bytes = found->second;
    if (bytes.size() > *size) {
      memset(data, 0xCD, *size);
      *size = static_cast<uint32_t>(bytes.size());
      return false;
    }
    if (!bytes.empty()) memcpy(data, bytes.data(), bytes.size());
    *size = static_cast<uint32_t>(bytes.size());
    return true;
  }
  void SetDword(const char* name, uint32_t value) override {
    std::vector<unsigned char> bytes(4);
    memcpy(bytes.data(), &value, 4);
    values[name] = bytes;
  }
  void Close() override {}
};

uint32_t Field(const TraySettings& s, int i) {
  const uint32_t fields[] = {s.encoding, s.keyboard, s.displayLang, s.toggleKey};
  return fields[i];
}

}  // namespace

// The input: whether the key exists, then for each name whether a value is there, its size and its
// bytes (read from the front; whatever is missing reads 0).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  size_t at = 0;
  auto next = [&]() -> unsigned { return at < size ? data[at++] : 0; };
  FuzzRegistry registry;
  registry.exists = next() & 1;
  for (const char* name : kNames) {
    if ((next() & 1) == 0) continue;
    std::vector<unsigned char>& bytes = registry.values[name];
    for (unsigned n = next() % 13; n > 0; --n) bytes.push_back(static_cast<unsigned char>(next()));
  }
  LoadSettings(registry);
  const TraySettings kDefaults = {0, 0, 0, 10};
  for (int i = 0; i < 4; ++i) {
    auto found = registry.values.find(kNames[i]);
    uint32_t expected = Field(kDefaults, i);
    if (registry.exists && found != registry.values.end() && found->second.size() == 4) {
      memcpy(&expected, found->second.data(), 4);
    }
    if (Field(settings, i) != expected) abort();
  }
  uint8_t vk = ToggleKeyToVirtualKey(settings.toggleKey);
  if (!((vk >= 'A' && vk <= 'Z') || (vk >= 0x70 && vk <= 0x7B))) abort();
  // What the window shows is a position of each list, and the same toggle key.
  TraySettings inEffect = SettingsInEffect(settings);
  if (inEffect.encoding > 5 || inEffect.keyboard > 3 || ToggleKeyToVirtualKey(inEffect.toggleKey) != vk) abort();

  TraySettings shown = settings;
  SaveSettings(registry, shown);
  LoadSettings(registry);
  if (memcmp(&settings, &shown, sizeof shown) != 0) abort();
  return 0;
}
