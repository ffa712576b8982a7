// The settings store against an in-memory key: defaults, partial keys, odd values, saving.
#include <gtest/gtest.h>

#include "tray/settings_store.h"
#include "tray/tests/memory_registry.h"

namespace {

using traytest::Dword;
using traytest::MemoryRegistry;
using traytest::Raw;
using traytest::StoredValue;
using traytest::String;

const TraySettings kDefaults = {0, 0, 0, 10};
const TraySettings kGarbage = {0xAAAAAAAA, 0xBBBBBBBB, 0xCCCCCCCC, 0xDDDDDDDD};

void ExpectSettings(const TraySettings& actual, const TraySettings& expected) {
  EXPECT_EQ(actual.encoding, expected.encoding);
  EXPECT_EQ(actual.keyboard, expected.keyboard);
  EXPECT_EQ(actual.displayLang, expected.displayLang);
  EXPECT_EQ(actual.toggleKey, expected.toggleKey);
}

MemoryRegistry KeyWith(std::map<std::string, StoredValue> values) {
  MemoryRegistry registry;
  registry.keyExists = true;
  registry.values = std::move(values);
  return registry;
}

TEST(LoadSettings, WithoutAKeyEverySettingTakesItsDefault) {
  MemoryRegistry registry;
  settings = kGarbage;
  LoadSettings(registry);
  ExpectSettings(settings, kDefaults);
}

TEST(LoadSettings, AKeyThatCannotBeReadLeavesTheDefaults) {
  MemoryRegistry registry = KeyWith({{"encoding", Dword(3)}});
  registry.readDenied = true;
  settings = kGarbage;
  LoadSettings(registry);
  ExpectSettings(settings, kDefaults);
}

TEST(LoadSettings, EachStoredValueReplacesOnlyItsOwnDefault) {
  struct Case {
    const char* name;
    std::map<std::string, StoredValue> values;
    TraySettings expected;
  };
  const Case cases[] = {
      {"empty key", {}, kDefaults},
      {"only keyboard", {{"keyboard", Dword(1)}}, {0, 1, 0, 10}},
      {"only toggleKey", {{"toggleKey", Dword(37)}}, {0, 0, 0, 37}},
      {"all four",
       {{"encoding", Dword(5)}, {"keyboard", Dword(3)}, {"displayLang", Dword(1)}, {"toggleKey", Dword(0)}},
       {5, 3, 1, 0}},
      {"out of range kept as stored", {{"encoding", Dword(7)}, {"toggleKey", Dword(0xFFFFFFFF)}}, {7, 0, 0, 0xFFFFFFFF}},
      {"other names ignored", {{"Encoding", Dword(2)}, {"version", Dword(9)}}, kDefaults},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryRegistry registry = KeyWith(c.values);
    settings = kGarbage;
    LoadSettings(registry);
    ExpectSettings(settings, c.expected);
    EXPECT_EQ(registry.openHandles, 0) << "the key stays open";
  }
}

// A value of the wrong length must neither spill over the setting nor fill part of it.
TEST(LoadSettings, OnlyFourByteValuesAreTakenWhateverTheirType) {
  struct Case {
    const char* name;
    StoredValue stored;
    uint32_t expectedKeyboard;
  };
  const Case cases[] = {
      {"REG_DWORD", Dword(2), 2},
      {"4-byte REG_BINARY", Raw(traytest::kRegBinary, {3, 0, 0, 0}), 3},
      {"4-byte REG_SZ read as its bytes", String("abc"), 0x00636261},
      {"2-byte REG_SZ", String("2"), 0},
      {"long REG_SZ", String("Tamil99 layout"), 0},
      {"8-byte REG_QWORD", Raw(traytest::kRegQword, {1, 0, 0, 0, 0, 0, 0, 0}), 0},
      {"8-byte REG_BINARY", Raw(traytest::kRegBinary, {1, 2, 3, 4, 5, 6, 7, 8}), 0},
      {"3-byte REG_BINARY", Raw(traytest::kRegBinary, {1, 0, 0}), 0},
      {"empty REG_BINARY", Raw(traytest::kRegBinary, {}), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryRegistry registry = KeyWith({{"encoding", Dword(4)}, {"keyboard", c.stored}, {"toggleKey", Dword(20)}});
    settings = kGarbage;
    LoadSettings(registry);
    ExpectSettings(settings, {4, c.expectedKeyboard, 0, 20});
  }
}

TEST(SaveSettings, CreatesTheKeyAndWritesTheFourValuesInOrder) {
  MemoryRegistry registry;
  SaveSettings(registry, {1, 2, 1, 25});
  EXPECT_TRUE(registry.keyExists);
  EXPECT_EQ(registry.writes, (std::vector<std::string>{"encoding", "keyboard", "displayLang", "toggleKey"}));
  for (const auto& [name, stored] : registry.values) {
    SCOPED_TRACE(name);
    EXPECT_EQ(stored.type, traytest::kRegDword);
    EXPECT_EQ(stored.bytes.size(), 4u);
  }
  EXPECT_EQ(registry.openHandles, 0);
  LoadSettings(registry);
  ExpectSettings(settings, {1, 2, 1, 25});
}

TEST(SaveSettings, OverwritesAnExistingKeyAndStoresNoSelectionAsAllBitsSet) {
  MemoryRegistry registry = KeyWith({{"encoding", String("TSC")}, {"keyboard", Dword(1)}});
  SaveSettings(registry, {0xFFFFFFFF, 0, 0, 10});
  EXPECT_EQ(registry.values["encoding"].bytes, (std::vector<unsigned char>{0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(registry.values["encoding"].type, traytest::kRegDword);
  EXPECT_EQ(registry.values["keyboard"].bytes, Dword(0).bytes);
}

TEST(SaveSettings, AKeyThatCanBeOpenedOnlyThroughCreateIsStillWritten) {
  MemoryRegistry registry = KeyWith({});
  registry.writeDenied = true;  // the plain open fails, create opens the existing key
  SaveSettings(registry, {2, 0, 0, 10});
  EXPECT_EQ(registry.writes.size(), 4u);
}

TEST(SaveSettings, WritesNothingWhenTheKeyCanBeNeitherOpenedNorCreated) {
  MemoryRegistry registry;
  registry.createFails = true;
  SaveSettings(registry, {2, 1, 1, 3});
  EXPECT_FALSE(registry.keyExists);
  EXPECT_TRUE(registry.writes.empty());
}

TEST(SaveSettings, LeavesTheLoadedSettingsAlone) {
  MemoryRegistry registry = KeyWith({{"encoding", Dword(3)}});
  LoadSettings(registry);
  SaveSettings(registry, {1, 1, 1, 1});
  ExpectSettings(settings, {3, 0, 0, 10});
}

// A list left without selection (typing into its edit field clears it) keeps what was loaded;
// the check box has no such state and is taken as shown.
TEST(SettingsToSave, AListWithoutSelectionKeepsTheLoadedValue) {
  const uint32_t none = kNoSelection;
  const TraySettings loaded = {7, 2, 0, 5};
  struct Case {
    const char* name;
    TraySettings shown;
    TraySettings expected;
  };
  const Case cases[] = {
      {"all selected", {1, 3, 1, 37}, {1, 3, 1, 37}},
      {"encoding", {none, 3, 1, 37}, {7, 3, 1, 37}},
      {"keyboard", {1, none, 0, 37}, {1, 2, 0, 37}},
      {"toggle key", {1, 3, 1, none}, {1, 3, 1, 5}},
      {"all three", {none, none, 1, none}, {7, 2, 1, 5}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectSettings(SettingsToSave(c.shown, loaded), c.expected);
  }
}

// Each list shows, and a save keeps, the entry the engine falls back to for a value it lacks.
TEST(SettingsInEffect, AValueOutsideItsListBecomesTheEnginesFallback) {
  ExpectSettings(SettingsInEffect({5, 3, 7, 37}), {5, 3, 7, 37});
  ExpectSettings(SettingsInEffect({6, 4, 0, 38}), {1, 0, 0, 10});
  ExpectSettings(SettingsInEffect({0xFFFFFFFF, 0x80000000u, 2, 0xFFFFFFFF}), {1, 0, 2, 10});
}

TEST(ToggleKeyToVirtualKey, LettersThenFunctionKeysThenKForAnythingElse) {
  struct Case {
    uint32_t toggleKey;
    uint8_t vk;
  };
  const Case cases[] = {
      {0, 0x41},  {10, 0x4B}, {25, 0x5A},         {26, 0x70},         {37, 0x7B},
      {38, 0x4B}, {100, 0x4B}, {0x80000000u, 0x4B}, {0xFFFFFFFFu, 0x4B},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.toggleKey);
    EXPECT_EQ(ToggleKeyToVirtualKey(c.toggleKey), c.vk);
  }
}

}  // namespace
