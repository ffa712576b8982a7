#include "engine/core/shared_state.h"

// Before any setting arrives: TSCII, phonetic, Tamil on, toggle key F11 without Alt.
VIREL_SHARED BYTE encTab = 0;
VIREL_SHARED BYTE oldTypewriter = 0;
VIREL_SHARED BYTE encLipi = 0;
VIREL_SHARED BYTE syllableTables = 0;
VIREL_SHARED int twMode = 0;
VIREL_SHARED BYTE encTam = 0;
VIREL_SHARED BYTE tamilOn = 1;
VIREL_SHARED BYTE encUnicode = 0;
VIREL_SHARED BYTE encTscii = 1;
VIREL_SHARED BYTE encTOld = 0;
VIREL_SHARED BYTE hotKeyVk = 0x7A;
VIREL_SHARED BYTE hotKeyAlt = 0;
VIREL_SHARED int twPending = 0;
VIREL_SHARED int keyboardLayout = 0;
VIREL_SHARED HWND ownerWindow = nullptr;
VIREL_SHARED HHOOK hookHandle = nullptr;

void ResetSharedState() {
  encTab = 0;
  oldTypewriter = 0;
  encLipi = 0;
  syllableTables = 0;
  twMode = 0;
  encTam = 0;
  tamilOn = 1;
  encUnicode = 0;
  encTscii = 1;
  encTOld = 0;
  hotKeyVk = 0x7A;
  hotKeyAlt = 0;
  twPending = 0;
  keyboardLayout = 0;
  ownerWindow = nullptr;
  hookHandle = nullptr;
}
