#include "engine/core/hook.h"

#include <string.h>

#include "engine/core/app_profile.h"
#include "engine/core/composers.h"
#include "engine/core/exports.h"
#include "engine/core/process_state.h"
#include "engine/core/shared_state.h"

namespace {

const int kClassNameSize = 32;
const WPARAM kCtrlVChar = 0x16;  // the character TranslateMessage makes of Ctrl+V

bool IsToggleKey(const MSG& msg) {
  UINT expected = hotKeyAlt == 1 ? WM_SYSKEYDOWN : WM_KEYDOWN;
  return msg.message == expected && msg.wParam == hotKeyVk;
}

bool IsNavigationKey(WPARAM vk) {
  switch (vk) {
    case VK_BACK:
      return profile.profileEudor == 0;
    case VK_TAB:
    case VK_RETURN:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
      return true;
    default:
      return false;
  }
}

// Whether anything below the class-name test can act on this message. The hook sees every
// message of every process, so the others leave before any window is asked for its class.
bool CanMatter(const MSG& msg) {
  if (msg.message == WM_CHAR) return true;
  if (IsToggleKey(msg)) return true;
  return msg.message == WM_KEYDOWN && (profile.profileSoffi || IsNavigationKey(msg.wParam));
}

// Step 3: false for an edit field inside a combo box, where the engine does nothing.
bool CheckTargetWindow(HWND window) {
  char className[kClassNameSize] = {0};
  GetClassNameA(window, className, kClassNameSize);
  if (lstrcmpiA(className, "Edit") != 0) return true;
  char parentClass[kClassNameSize] = {0};
  GetClassNameA(GetParent(window), parentClass, kClassNameSize);
  if (lstrcmpiA(parentClass, "ComboLBox") == 0 || lstrcmpiA(parentClass, "ComboBox") == 0) {
    return false;
  }
  kavitEditTarget = profile.profileKavit;
  return true;
}

void FlipTamil() {
  tamilOn = tamilOn == 0 ? 1 : 0;
  NotifyOwner(tamilOn);
}

// Under SOFFI the key-down is composed: it becomes the character it types. False when the key
// types no character, which leaves the message as it is.
bool TranslateSoffiKey(MSG* msg) {
  if (msg->wParam == VK_SHIFT || msg->wParam == VK_CAPITAL) return false;
  GetKeyboardState(keyStateBuffer);
  WORD result[2] = {0, 0};
  if (ToAscii(static_cast<UINT>(msg->wParam), 0, keyStateBuffer, result, 0) < 1) return false;
  msg->wParam = static_cast<WPARAM>(static_cast<LONG_PTR>(static_cast<signed char>(result[0] & 0xFF)));
  return true;
}

// A key that reaches the application uncomposed (Tamil off, an auto-repeat) means the text no
// longer ends with what the composers wrote: left as they were, their next key would erase it.
void ForgetComposition() {
  memset(composerHistory, 0, sizeof composerHistory);
  tamil99AfterConsonant = 0;
  tamil99NoAutoPulli = 1;
  ForgetUnicodeContext();  // also lastEmitted, which the 8-bit Tamil99 composer shares
}

void Compose(MSG* msg) {
  if (encUnicode == 1) {
    ComposeUnicode(msg);
    return;
  }
  switch (keyboardLayout) {
    case kLayoutPhonetic:
      ComposePhonetic8(msg);
      break;
    case kLayoutTamil99:
      ComposeTamil99_8(msg);
      break;
    case kLayoutTypewriter:
      ComposeTypewriter8(msg);
      break;
    default:
      break;
  }
}

}  // namespace

void SetUpProcess() {
  processReady = 1;
  char path[260] = {0};
  GetModuleFileNameA(nullptr, path, sizeof path);
  path[sizeof path - 1] = 0;
  MatchApplicationProfile(path);
  LoadGlyphTables();
  tamilOn = 1;
  NotifyOwner(1);
}

LRESULT CALLBACK KeyHookProc(int code, WPARAM wParam, LPARAM lParam) {
  LRESULT next = CallNextHookEx(hookHandle, code, wParam, lParam);
  if (wParam != PM_REMOVE) return next;
  MSG* msg = reinterpret_cast<MSG*>(lParam);
  if (msg == nullptr) return next;
  if (!CanMatter(*msg)) return next;

  kavitEditTarget = 0;
  if (!CheckTargetWindow(msg->hwnd)) return next;

  if (IsToggleKey(*msg)) {
    if (processReady == 1) {
      FlipTamil();
    } else {
      SetUpProcess();
    }
    return next;
  }

  if (code < 0 || code == HC_NOREMOVE || processReady == 0) return next;

  if (msg->message == WM_CHAR && pasteKeysPending > 0) {
    if (msg->wParam == VK_BACK || msg->wParam == kCtrlVChar) {
      --pasteKeysPending;
      return next;
    }
    pasteKeysPending = 0;  // they never came here (the focus moved): every key is the user's again
  }

  if (msg->message == WM_KEYDOWN && IsNavigationKey(msg->wParam)) {
    memset(composerHistory, 0, sizeof composerHistory);
    navigationReset = 1;
    return next;
  }

  UINT composable = profile.profileSoffi ? WM_KEYDOWN : WM_CHAR;
  if (msg->message != composable) return next;

  const LPARAM kReleased = static_cast<LPARAM>(1u << 31);
  const LPARAM kRepeated = 1 << 30;
  if (tamilOn != 1 || (msg->lParam & (kReleased | kRepeated))) {
    ForgetComposition();
    return next;
  }

  if (profile.profileSoffi && !TranslateSoffiKey(msg)) return next;

  if (profile.profilePower == 0 && msg->lParam == 0) return next;

  Compose(msg);
  return 1;
}
