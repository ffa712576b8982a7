#include "engine/core/delivery.h"

#include <string.h>

#include "engine/core/clipboard.h"
#include "engine/core/own_input.h"
#include "engine/core/process_state.h"
#include "engine/core/shared_state.h"

namespace {

const BYTE kKeyV = 0x56;

// The messages of one Backspace key press (key-down, its character, key-up), sent: a control
// erases on exactly one of them, as it does for a key the user presses (a rich edit control on
// the key-down, a plain edit control on the character).
void SendBackspacePress(HWND window) {
  SendMessageA(window, WM_KEYDOWN, VK_BACK, 0);
  SendMessageA(window, WM_CHAR, VK_BACK, 0);
  SendMessageA(window, WM_KEYUP, VK_BACK, 0);
}

void SendBackspaceBy(EraseBy method, HWND window) {
  switch (method) {
    case EraseBy::kSentChar8:
      SendMessageA(window, WM_CHAR, VK_BACK, 0);
      return;
    case EraseBy::kSentKeyDown:
      SendMessageA(window, WM_KEYDOWN, VK_BACK, 0);
      return;
    case EraseBy::kPostedChar8:
      PostOwn(window, WM_CHAR, VK_BACK, 0);
      return;
    case EraseBy::kPostedKeyDown:
      PostOwn(window, WM_KEYDOWN, VK_BACK, 0);
      return;
    case EraseBy::kSentPress:
    default:
      SendBackspacePress(window);
      return;
  }
}

EraseBy ErasingMethod() { return kavitEditTarget ? ThisHost().editErase : ThisHost().erase; }

void SendBackspace(HWND window) { SendBackspaceBy(ErasingMethod(), window); }

void SendBackspaces(HWND window, int count) {
  for (int i = 0; i < count; ++i) SendBackspace(window);
}

// A backspace that must reach the host before text that is posted after it. A synthesized key
// joins the input stream, which the host reads only after its posted messages: it would erase
// the new text instead of the old. A sent press acts at once.
void SendBackspaceBeforePostedText(HWND window) {
  EraseBy method = ErasingMethod();
  SendBackspaceBy(method == EraseBy::kKeyPress ? EraseBy::kSentPress : method, window);
}

// A host that keeps a character for a keystroke neutralised to NUL gets one more backspace.
void SendKeptCharacterBackspace(HWND window) { PostOwn(window, WM_CHAR, VK_BACK, 0); }

void PostBytes(HWND window, const BYTE* text, LPARAM lParam) {
  for (const BYTE* p = text; *p != 0; ++p) PostOwn(window, WM_CHAR, *p, lParam);
}

// DREAM and EUDOR take text by paste: the text on the clipboard, then one batch of keys that
// releases the modifiers the user holds (an accelerator takes Ctrl+V, not Ctrl+Shift+V), erases
// (EUDOR's Backspace keys), presses Ctrl+V and restores the modifiers. When the keys would not
// reach the window (the focus is elsewhere) or the clipboard cannot be had, the text is posted
// instead: pasting would insert whatever the clipboard held.
void DeliverByPaste(MSG* msg, const BYTE* text, int backspaces) {
  HWND window = msg->hwnd;
  msg->wParam = 0;
  if (KeysReach(window) && PutOnClipboard(window, text)) {
    bool keyErase = ErasingMethod() == EraseBy::kKeyPress;
    KeyBatch keys{};
    BYTE held[8];
    ReleaseModifiers(&keys, held);
    for (int i = 0; keyErase && i < backspaces; ++i) {
      AddKey(&keys, VK_BACK, false);
      AddKey(&keys, VK_BACK, true);
    }
    AddKey(&keys, VK_CONTROL, false);
    AddKey(&keys, kKeyV, false);
    AddKey(&keys, kKeyV, true);
    AddKey(&keys, VK_CONTROL, true);
    RestoreModifiers(&keys, held);
    if (!keyErase) {
      SendBackspaces(window, backspaces);  // sent: they act before the paste
      backspaces = 0;
    }
    if (SynthesizeOwnKeys(keys)) return;
    GiveClipboardBack(window);
  }
  for (int i = 0; i < backspaces; ++i) SendBackspaceBeforePostedText(window);
  PostBytes(window, text, 0);
}

// FRAME: the host itself writes the last byte when it dispatches the keystroke.
void DeliverToFrame(MSG* msg, const BYTE* text) {
  size_t length = strlen(reinterpret_cast<const char*>(text));
  for (size_t i = 0; i + 1 < length; ++i) SendMessageA(msg->hwnd, WM_CHAR, text[i], 0);
  if (length == 0) {
    msg->wParam = 0;
    return;
  }
  BYTE last = text[length - 1];
  if (shared->encLipi == 1 && length >= 2 && text[length - 2] == glyphs.vowelSigns[7]) {
    SendMessageA(msg->hwnd, WM_CHAR, last, 0);
    SendMessageA(msg->hwnd, WM_CHAR, last, 0);
    msg->wParam = VK_BACK;
    return;
  }
  msg->wParam = last;
}

}  // namespace

void DeliverBytes(MSG* msg, const BYTE* text, int backspaces) {
  const HostRow& host = ThisHost();
  if (host.bytes == TextBy::kPaste) {
    DeliverByPaste(msg, text, backspaces);
    return;
  }
  HWND window = msg->hwnd;
  SendBackspaces(window, backspaces);
  if (host.keepsNul) SendKeptCharacterBackspace(window);
  switch (host.bytes) {
    case TextBy::kSentButLast:
      DeliverToFrame(msg, text);
      return;
    case TextBy::kSent:
      for (const BYTE* p = text; *p != 0; ++p) SendMessageA(window, WM_CHAR, *p, 0);
      break;
    case TextBy::kPostedAsKey:
      PostBytes(window, text, 1);
      break;
    default:
      PostBytes(window, text, 0);
      break;
  }
  msg->wParam = 0;
}

void DeliverUnicode(MSG* msg, const BYTE* text, BYTE eraseOne, BYTE noWinwoExtra, BYTE raw) {
  const HostRow& host = ThisHost();
  HWND window = msg->hwnd;
  if (eraseOne == 1) SendBackspaceBeforePostedText(window);
  if (host.keepsNul && noWinwoExtra == 0) SendKeptCharacterBackspace(window);
  for (const BYTE* p = text; *p != 0; ++p) {
    WPARAM unit = raw == 1 ? *p : 0x0B00 + *p;
    switch (host.units) {
      case UnitsBy::kPostedUnichar:
        PostOwn(window, WM_UNICHAR, unit, 0);
        break;
      case UnitsBy::kSentUnichar:
        SendMessageA(window, WM_UNICHAR, unit, 0);
        break;
      case UnitsBy::kPostedLowByte:
        PostOwn(window, WM_CHAR, *p, 0);
        break;
      default:
        PostOwn(window, WM_CHAR, unit, 0, true);
        break;
    }
  }
  msg->wParam = 0;
}

void DeliverUnicodeChar(MSG* msg, WORD unit) {
  switch (ThisHost().joiner) {
    case JoinerBy::kSentW:
      SendMessageW(msg->hwnd, WM_CHAR, unit, 0);
      break;
    case JoinerBy::kPostedUnichar:
      PostOwn(msg->hwnd, WM_UNICHAR, unit, 0);
      break;
    default:
      PostOwn(msg->hwnd, WM_CHAR, unit, 0, true);
      break;
  }
  msg->wParam = 0;
}

void EraseKeptCharacter(HWND window) { SendMessageA(window, WM_CHAR, VK_BACK, 0); }

void DeliverKsha(MSG* msg, BYTE eraseOne) {
  composeText[0] = 0x95;
  composeText[1] = 0xCD;
  composeText[2] = 0xB7;
  composeText[3] = 0;
  DeliverUnicode(msg, composeText, eraseOne, 0, 0);
}
