#include "engine/core/process_state.h"

#include <string.h>

#include "engine/core/clipboard.h"
#include "engine/core/own_input.h"

HINSTANCE engineInstance;
UINT tamilOnOffMsg;
int loaderProcess;
HHOOK installedHook;

BYTE processReady;
BYTE kavitEditTarget;
BYTE navigationReset;
BYTE keyStateBuffer[256];
BYTE soffiDeadKey;
int tablesEncoding;
int composingLayout;

ApplicationProfile profile;
GlyphTables glyphs;
UnicodeTables uniTables;

BYTE composerHistory[3];
BYTE lastEmitted;
BYTE composeText[kComposeTextSize];

BYTE tamil99AfterConsonant;
BYTE tamil99NoAutoPulli;
HWND typewriterDeadKeyWindow;
HWND compositionWindow;

int phoneticJoin;
BYTE phoneticTyped;
BYTE t99AfterConsonant;
BYTE t99NoAutoPulli;

void ResetProcessState() {
  engineInstance = nullptr;
  tamilOnOffMsg = 0;
  loaderProcess = 0;
  installedHook = nullptr;
  processReady = 0;
  kavitEditTarget = 0;
  navigationReset = 0;
  ResetOwnInput();
  ResetClipboardState();
  memset(keyStateBuffer, 0, sizeof keyStateBuffer);
  soffiDeadKey = 0;
  tablesEncoding = 0;
  composingLayout = 0;
  profile = profileNone;
  glyphs = GlyphTables();
  uniTables = UnicodeTables();
  memset(composerHistory, 0, sizeof composerHistory);
  lastEmitted = 0;
  memset(composeText, 0, sizeof composeText);
  tamil99AfterConsonant = 0;
  tamil99NoAutoPulli = 0;
  typewriterDeadKeyWindow = nullptr;
  compositionWindow = nullptr;
  phoneticJoin = 0;
  phoneticTyped = 0;
  t99AfterConsonant = 0;
  t99NoAutoPulli = 0;
}
