#include "engine/core/hook.h"

#include "engine/core/app_profile.h"
#include "engine/core/clipboard.h"
#include "engine/core/composers.h"
#include "engine/core/composition.h"
#include "engine/core/exports.h"
#include "engine/core/own_input.h"
#include "engine/core/process_state.h"
#include "engine/core/shared_state.h"

namespace {

const int kClassNameSize = 32;

bool IsToggleKey(const MSG& msg) {
  UINT expected = shared->hotKeyAlt == 1 ? WM_SYSKEYDOWN : WM_KEYDOWN;
  return msg.message == expected && msg.wParam == shared->hotKeyVk;
}

// Keys that move the caret or change the text before it. Under EUDOR the engine's own erasing
// is a synthesized Backspace, so there Backspace is left to its character.
bool IsNavigationKey(WPARAM vk) {
  switch (vk) {
    case VK_BACK:
      return ThisHost().backspaceIsText == 0;
    case VK_TAB:
    case VK_RETURN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
      return true;
    default:
      return false;
  }
}

bool IsClick(UINT message) {
  return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
}

// Keys that type nothing of their own, held down before a letter (under SOFFI the hook sees
// their auto-repeated key-downs).
bool TypesNoCharacter(WPARAM vk) {
  return IsModifierKey(vk) || vk == VK_NUMLOCK || vk == VK_SCROLL || (vk >= VK_F1 && vk <= VK_F24);
}

// Whether a message the hook may act on at all. The hook sees every message of every process,
// so all others leave at once; in a process that was never set up only the toggle key matters.
bool CanMatter(const MSG& msg) {
  switch (msg.message) {
    case WM_CHAR:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      return processReady == 1 || IsToggleKey(msg);
    case WM_KEYUP:    // the engine's own keys end with their key-ups
    case WM_UNICHAR:  // and some of its text is posted so
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      return processReady == 1;
    default:
      return false;
  }
}

// On 64-bit Windows a hook of the other bitness is called in the process that installed it, for
// the messages of the processes it cannot be mapped into: their own engine serves those.
bool IsWindowOfThisProcess(HWND window) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  return owner == GetCurrentProcessId();
}

// Whether the window's class must be read: the toggle key, a character, or a key-down a
// composer or the navigation rule takes.
bool MayBeKeystroke(const MSG& msg) {
  if (msg.message == WM_CHAR || IsToggleKey(msg)) return true;
  return msg.message == WM_KEYDOWN && (ThisHost().composesKeyDown || IsNavigationKey(msg.wParam));
}

// False for an edit field inside a combo box, where the engine does nothing.
bool CheckTargetWindow(HWND window) {
  char className[kClassNameSize] = {0};
  GetClassNameA(window, className, kClassNameSize);
  if (lstrcmpiA(className, "Edit") != 0) return true;
  char parentClass[kClassNameSize] = {0};
  GetClassNameA(GetParent(window), parentClass, kClassNameSize);
  if (lstrcmpiA(parentClass, "ComboLBox") == 0 || lstrcmpiA(parentClass, "ComboBox") == 0) {
    return false;
  }
  kavitEditTarget = profile == profileKavit;
  return true;
}

void FlipTamil() {
  shared->tamilOn = shared->tamilOn == 0 ? 1 : 0;
  NotifyOwner(shared->tamilOn);
}

// Under SOFFI the key-down is composed: it becomes the character it types. False when the key
// types no character of its own, which leaves the message as it is: the host translates it. The
// translation leaves the keyboard's dead-key state alone where Windows can (10, version 1607 and
// later); elsewhere a dead key, and the key after it, are left to the host.
bool TranslateSoffiKey(MSG* msg) {
  const UINT kLeaveKeyboardState = 4;
  UINT vk = static_cast<UINT>(msg->wParam);
  if (vk == VK_SHIFT || vk == VK_CAPITAL) return false;
  if (MapVirtualKeyA(vk, MAPVK_VK_TO_CHAR) & 0x80000000u) {
    soffiDeadKey = 1;
    return false;
  }
  if (soffiDeadKey) {
    soffiDeadKey = 0;
    return false;
  }
  GetKeyboardState(keyStateBuffer);
  WCHAR result[4] = {0, 0, 0, 0};
  UINT scan = static_cast<UINT>((msg->lParam >> 16) & 0xFF);
  int made = ToUnicode(vk, scan, keyStateBuffer, result, 4, kLeaveKeyboardState);
  if (made < 0) soffiDeadKey = 1;
  if (made != 1 || result[0] >= 0x80) return false;
  msg->wParam = result[0];
  return true;
}

// The encoding the shared flags select, numbered as stored (in the order the tables are chosen).
int SelectedEncoding() {
  if (shared->encTscii) return kEncTscii;
  if (shared->encTab) return kEncTab;
  if (shared->encTam) return kEncTam;
  if (shared->encLipi) return kEncLipi;
  if (shared->encTOld) return kEncTOld;
  return shared->encUnicode ? kEncUnicode : kEncTscii;
}

// The layout the shared settings select: a keyboard number.
int SelectedLayout() {
  if (shared->keyboardLayout != kLayoutTypewriter) return shared->keyboardLayout;
  return shared->oldTypewriter ? kKbdOldTypewriter : kKbdNewTypewriter;
}

// Another process may select another encoding or layout at any time. The composers read the
// settings at every key but build on the tables of this process and on what they wrote: the
// tables follow the encoding (a process set up for 8-bit text would otherwise type nothing in
// Unicode, and wrong glyphs in another 8-bit encoding), and a composition made by another
// layout or encoding ends.
void FollowSettings() {
  int encoding = SelectedEncoding();
  int layout = SelectedLayout();
  if (encoding == tablesEncoding && layout == composingLayout) return;
  if (encoding != tablesEncoding) {
    LoadGlyphTables();
    tablesEncoding = encoding;
  }
  composingLayout = layout;
  ForgetComposition();
}

void Compose(MSG* msg) {
  if (shared->encUnicode == 1) {
    ComposeUnicode(msg);
    return;
  }
  switch (shared->keyboardLayout) {
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

// SOFFI: the host translates the key-down itself, so what the composer left must be a key-down
// again. A character let through unchanged goes back to its own key; one the composer put in its
// place (Tamil99 and typewriter punctuation) is posted as a character, and the key types nothing.
void ComposeSoffiKey(MSG* msg, WPARAM vk) {
  WPARAM translated = msg->wParam;
  Compose(msg);
  if (msg->wParam == translated) {
    msg->wParam = vk;
    ExpectTranslation(msg->hwnd, translated, msg->lParam);
  } else if (msg->wParam != 0) {
    PostOwn(msg->hwnd, WM_CHAR, msg->wParam & 0xFF, 1);
    msg->wParam = 0;
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
  tablesEncoding = SelectedEncoding();
  composingLayout = SelectedLayout();
  shared->tamilOn = 1;
  NotifyOwner(1);
}

namespace {

// Everything after the first look at a message, in a frame of its own: the hook is called for
// every message of every process, and nearly all leave at that first look.
__attribute__((noinline)) LRESULT HandleMessage(int code, WPARAM wParam, LPARAM lParam) {
  LRESULT next = CallNextHookEx(shared->hookHandle, code, wParam, lParam);
  MSG* msg = reinterpret_cast<MSG*>(lParam);
  if (!CanMatter(*msg) || !IsWindowOfThisProcess(msg->hwnd)) return next;
  if (processReady == 1) {
    switch (ClassifyInput(*msg)) {
      case Origin::kOwn:
        return next;
      case Origin::kPasted:
        GiveClipboardBack(msg->hwnd);
        return next;
      case Origin::kTypedAhead:
        if (HoldUsersKey(msg)) return next;
        break;
      default:
        break;
    }
    if (Delivering()) {
      // A sent message ran the host's own loop: keys for the window being written wait for the
      // delivery, nothing else is touched.
      HoldUsersKey(msg);
      return next;
    }
  }
  if (msg->message == WM_KEYUP) return next;
  if (IsClick(msg->message)) {
    // The caret moved in that window: the composition there ends. A click elsewhere moves the
    // focus, and the next key for another window ends it.
    if (msg->hwnd == compositionWindow) ForgetContext();
    return next;
  }
  if (!MayBeKeystroke(*msg)) return next;

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

  if (code < 0 || code == HC_NOREMOVE) return next;

  if (msg->message == WM_KEYDOWN && IsNavigationKey(msg->wParam)) {
    ForgetContext();
    return next;
  }

  UINT composable = ThisHost().composesKeyDown ? WM_KEYDOWN : WM_CHAR;
  if (msg->message != composable) {
    // SOFFI: a character that came some other way than from a key-down let through (posted by
    // another program, or repeated) now stands before the caret.
    if (msg->message == WM_CHAR && msg->hwnd == compositionWindow) ForgetComposition();
    return next;
  }

  if (msg->hwnd != compositionWindow) {
    if (compositionWindow != nullptr) ForgetContext();  // what they wrote is in the other window
    compositionWindow = msg->hwnd;
  }

  const LPARAM kReleased = static_cast<LPARAM>(1u << 31);
  const LPARAM kRepeated = 1 << 30;
  if (shared->tamilOn != 1 || (msg->lParam & (kReleased | kRepeated))) {
    bool reachesAsCharacter = !ThisHost().composesKeyDown || !TypesNoCharacter(msg->wParam);
    if (reachesAsCharacter) ForgetComposition();
    return next;
  }

  // A character with lParam 0 was posted by another program (the engine's own came back above),
  // not typed: it is not composed, but it now stands before the caret. POWER gets typed
  // characters that way too.
  if (ThisHost().composesPosted == 0 && msg->lParam == 0) {
    ForgetComposition();
    return next;
  }

  FollowSettings();
  if (ThisHost().composesKeyDown) {
    WPARAM vk = msg->wParam;
    if (!TranslateSoffiKey(msg)) return next;
    BeginDelivery(msg->hwnd);
    ComposeSoffiKey(msg, vk);
  } else {
    BeginDelivery(msg->hwnd);
    Compose(msg);
  }
  EndDelivery();
  return 1;
}

}  // namespace

// Only keyboard messages and mouse-button presses can matter, and only once a message is
// removed from the queue (one only peeked at is never examined). Every other message, which is
// nearly every message of every process, goes straight on to the next hook.
static inline bool MayMatter(WPARAM removal, const MSG* msg) {
  if (removal != PM_REMOVE || msg == nullptr) return false;
  UINT message = msg->message;
  return message - WM_KEYDOWN <= WM_UNICHAR - WM_KEYDOWN ||
         message - WM_LBUTTONDOWN <= WM_MBUTTONDOWN - WM_LBUTTONDOWN;
}

// The next hook is called first on every path, and its result returned (the composers' result
// where a composer took the message).
LRESULT CALLBACK KeyHookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (!MayMatter(wParam, reinterpret_cast<const MSG*>(lParam))) return CallNextHookEx(shared->hookHandle, code, wParam, lParam);
  return HandleMessage(code, wParam, lParam);
}
