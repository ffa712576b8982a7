// An in-memory stand-in for the settings key: values keep their type and raw bytes, and each
// way the registry can refuse is a switch.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tray/settings_store.h"

namespace traytest {

const uint32_t kRegSz = 1;
const uint32_t kRegBinary = 3;
const uint32_t kRegDword = 4;
const uint32_t kRegQword = 11;

struct StoredValue {
  uint32_t type;
  std::vector<unsigned char> bytes;
};

inline StoredValue Dword(uint32_t value) {
  StoredValue stored{kRegDword, std::vector<unsigned char>(4)};
  std::memcpy(stored.bytes.data(), &value, 4);
  return stored;
}

inline StoredValue Raw(uint32_t type, std::vector<unsigned char> bytes) { return StoredValue{type, std::move(bytes)}; }

inline StoredValue String(const std::string& text) {  // REG_SZ with its terminator, as RegQueryValueExA returns it
  std::vector<unsigned char> bytes(text.begin(), text.end());
  bytes.push_back(0);
  return StoredValue{kRegSz, bytes};
}

class MemoryRegistry : public SettingsRegistry {
 public:
  bool keyExists = false;
  bool readDenied = false;   // the key exists but cannot be opened for reading
  bool writeDenied = false;  // the key cannot be opened for writing
  bool createFails = false;  // nor created
  std::map<std::string, StoredValue> values;
  std::vector<std::string> writes;  // value names in the order they were written
  int openHandles = 0;

  bool OpenForRead() override { return Open(keyExists && !readDenied); }
  bool OpenForWrite() override { return Open(keyExists && !writeDenied); }
  uint32_t Create() override {
    if (createFails) return kKeyNotCreated;
    uint32_t disposition = keyExists ? kKeyOpenedExisting : kKeyCreatedNew;
    keyExists = true;
    Open(true);
    return disposition;
  }
  bool Query(const char* name, void* data, uint32_t* size) override {
    EXPECT_EQ(openHandles, 1) << "query without an open key";
    auto found = values.find(name);
    if (found == values.end()) return false;
    const std::vector<unsigned char>& bytes = found->second.bytes;
    if (bytes.size() > *size) {
      // Like the registry, leave the buffer undefined: scribble on it.
      std::memset(data, 0xCD, *size);
      *size = static_cast<uint32_t>(bytes.size());
      return false;
    }
    if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
    *size = static_cast<uint32_t>(bytes.size());
    return true;
  }
  void SetDword(const char* name, uint32_t value) override {
    EXPECT_EQ(openHandles, 1) << "write without an open key";
    values[name] = Dword(value);
    writes.push_back(name);
  }
  void Close() override {
    if (openHandles > 0) --openHandles;
  }

 private:
  bool Open(bool allowed) {
    if (allowed) ++openHandles;
    return allowed;
  }
};

}  // namespace traytest
