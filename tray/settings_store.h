// The tray program's four settings and their home in the current user's registry. The store
// reaches the registry only through SettingsRegistry: Win32 in the program, a map in the tests.
#pragma once

#include <cstdint>

// Each field is the 4-byte value stored under the registry value of the same name.
struct TraySettings {
  uint32_t encoding;     // encoding number: position in the encoding list
  uint32_t keyboard;     // keyboard number: position in the keyboard list
  uint32_t displayLang;  // 1: Tamil captions, anything else English (the "In Tamil" box)
  uint32_t toggleKey;    // position in the toggle key list: 0-25 A-Z, 26-37 F1-F12
};

// Read once at start-up; the window shows them and the engine is configured from them.
extern TraySettings settings;

// HKEY_CURRENT_USER\<this>; both builds share it.
extern const char kSettingsKeyPath[];

// Dispositions reported by SettingsRegistry::Create, numbered as RegCreateKeyExA reports them.
enum KeyDisposition : uint32_t { kKeyNotCreated = 0, kKeyCreatedNew = 1, kKeyOpenedExisting = 2 };

// The settings key, one open handle at a time.
class SettingsRegistry {
 public:
  virtual ~SettingsRegistry() = default;
  virtual bool OpenForRead() = 0;   // an existing key, KEY_READ
  virtual bool OpenForWrite() = 0;  // an existing key, KEY_WRITE
  // Opens or creates the key for writing; kKeyNotCreated when neither worked.
  virtual uint32_t Create() = 0;
  // Copies the named value into data, which holds *size bytes. True only when the value exists
  // and fits; *size then holds its length. Otherwise data may have been scribbled on.
  virtual bool Query(const char* name, void* data, uint32_t* size) = 0;
  virtual void SetDword(const char* name, uint32_t value) = 0;  // REG_DWORD, result ignored
  virtual void Close() = 0;
};

// Defaults (Unicode, Phonetic, English, K), overwritten by each stored value that is exactly
// four bytes long, whatever its type. Longer or shorter values are ignored.
void LoadSettings(SettingsRegistry& registry);

// The settings the engine works with: an encoding outside the list is TSCII, a keyboard outside
// it Phonetic, a toggle key outside it K (the engine's and ToggleKeyToVirtualKey's own fallbacks).
// The window shows these, so that it shows what is in effect and never saves a position it lacks.
TraySettings SettingsInEffect(const TraySettings& stored);

// A list reports kNoSelection when nothing in it is selected: a stored position it lacks, or text
// typed into its edit field (which clears the selection without telling the window).
const uint32_t kNoSelection = 0xFFFFFFFF;

// The settings a save stores: what the window shows, except that a list without selection keeps
// the value that was loaded for it, so that a stray keystroke in a list loses no setting.
TraySettings SettingsToSave(const TraySettings& shown, const TraySettings& loaded);

// Writes the four values, creating the key when it is absent; writes nothing when the key can be
// neither opened nor created. `settings` is left as it is.
void SaveSettings(SettingsRegistry& registry, const TraySettings& shown);

// The virtual key of a toggle key list position: A-Z, F1-F12, and K for anything else.
uint8_t ToggleKeyToVirtualKey(uint32_t toggleKey);
