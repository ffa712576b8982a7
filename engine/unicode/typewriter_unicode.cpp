// Typewriter layouts, New and Old (oldTypewriter). Each key is a letter, a sign, or a consonant
// with ு. The signs ெ ே ை are typed before their consonant and put after it when it comes; five
// mode keys apply pulli or a sign, in the New variant to the consonant already typed, in the
// Old variant to the next one. The mode lives in twMode and twPending (shared block).
#include "engine/core/composition.h"
#include "engine/core/delivery.h"
#include "engine/core/process_state.h"
#include "engine/core/shared_state.h"
#include "engine/unicode/emit.h"
#include "engine/unicode/unicode_composer.h"

using namespace uni;

namespace {

const WORD kZeroWidthJoiner = 0x200D;

// Mode codes of twMode and twPending.
const int kModeNone = 0;
const int kModePulli = 1;
const int kModeI = 3;
const int kModeIi = 4;
const int kModeU = 5;
const int kModeUu = 6;

enum Slot { kVowelSlot, kConsonantSlot, kSignSlot };

struct LetterKey {
  char key;
  Slot slot;
  int index;
};

const LetterKey kLetterKeys[] = {
    {'f', kConsonantSlot, kKa},   {'\'', kConsonantSlot, kNga}, {'r', kConsonantSlot, kCa},
    {'"', kConsonantSlot, kNya},  {'l', kConsonantSlot, kTta},  {'z', kConsonantSlot, kNna},
    {'j', kConsonantSlot, kTa},   {'e', kConsonantSlot, kNa},   {'g', kConsonantSlot, kPa},
    {'k', kConsonantSlot, kMa},   {']', kConsonantSlot, kHa},   {'a', kConsonantSlot, kYa},
    {'u', kConsonantSlot, kRa},   {'y', kConsonantSlot, kLa},   {'t', kConsonantSlot, kVa},
    {'H', kConsonantSlot, kLlla}, {'s', kConsonantSlot, kLla},  {'w', kConsonantSlot, kRra},
    {'d', kConsonantSlot, kNnna}, {'!', kConsonantSlot, kSa},   {'Z', kConsonantSlot, kSsa},
    {'$', kConsonantSlot, kJa},   {'m', kVowelSlot, kA},        {'M', kVowelSlot, kAa},
    {',', kVowelSlot, kI},        {'<', kVowelSlot, kIi},       {'c', kVowelSlot, kU},
    {'C', kVowelSlot, kUu},       {'v', kVowelSlot, kE},        {'V', kVowelSlot, kEe},
    {'I', kVowelSlot, kAi},       {'x', kVowelSlot, kO},        {'X', kVowelSlot, kOo},
    {'`', kVowelSlot, kAytham},   {'b', kSignSlot, kE},         {'n', kSignSlot, kEe},
    {'i', kSignSlot, kAi},
};

// Keys that write a consonant with ு.
const struct {
  char key;
  int consonant;
} kConsonantUKeys[] = {
    {'F', kKa}, {'R', kCa}, {'L', kTta}, {'q', kNna}, {'D', kNnna}, {'J', kTa}, {'E', kNa},
    {'K', kMa}, {'S', kLla}, {'U', kRa}, {'Y', kLa}, {'G', kLlla}, {'W', kRra},
};

// Keys that write a fixed consonant and sign.
const struct {
  char key;
  int consonant;
  int sign;
} kSyllableKeys[] = {
    {'o', kTta, kI}, {'O', kTta, kIi}, {'N', kCa, kUu}, {'T', kKa, kUu},
};

const struct {
  char key;
  int mode;
} kModeKeys[] = {
    {';', kModePulli}, {'p', kModeI}, {'P', kModeIi}, {'[', kModeU}, {':', kModeUu}, {'{', kModeUu},
};

// Keys that type another character.
const struct {
  char key;
  char becomes;
} kPunctuationKeys[] = {
    {'|', '!'}, {'>', '?'}, {'/', '.'}, {'?', '-'}, {'.', ','},
    {'~', '*'}, {'@', '"'}, {'#', '%'}, {'*', '\''}, {'-', '/'},
};

BYTE Letter(const LetterKey& k) {
  switch (k.slot) {
    case kVowelSlot:
      return V(k.index);
    case kConsonantSlot:
      return C(k.index);
    case kSignSlot:
      return S(k.index);
  }
  return 0;
}

bool IsPrefixSign(BYTE unit) { return IsUnit(unit, S(kE)) || IsUnit(unit, S(kEe)) || IsUnit(unit, S(kAi)); }

// The sign a mode puts on a consonant.
BYTE ModeUnit(int mode) {
  switch (mode) {
    case kModePulli:
      return kPulli;
    case kModeI:
      return S(kI);
    case kModeIi:
      return S(kIi);
    case kModeU:
      return S(kU);
    default:
      return S(kUu);
  }
}

void EmitText(MSG* msg, const BYTE* text) {
  Emit(msg, text);
  lastEmitted = LastSent();
}

void ReplaceWith(MSG* msg, const BYTE* text) {
  Replace(msg, text);
  lastEmitted = LastSent();
}

// ு before the caret becomes ூ.
void LengthenU(MSG* msg) { ReplaceWith(msg, Text(S(kUu))); }

// What a key's rule leaves for the finish.
enum Outcome { kFinish, kStop };

// The keystroke reaches the host as a character this branch did not write: nothing may
// attach to it or erase it.
void LetPass() { lastEmitted = kNothing; }

Outcome SignKey(MSG* msg, int key, BYTE p) {
  switch (key) {
    case 'h':
      if (IsUniConsonant(p)) {
        EmitText(msg, Text(S(kAa)));
      } else if (IsUnit(p, S(kU))) {
        LengthenU(msg);
      } else {
        Swallow(msg);
      }
      return kFinish;
    case '}':
      if (IsUnit(p, S(kU))) {
        LengthenU(msg);
      } else {
        Swallow(msg);
      }
      return kFinish;
    case '%':
    case '^':
      if (IsUniConsonant(p)) {
        EmitText(msg, Text(S(key == '%' ? kU : kUu)));
      } else {
        Swallow(msg);
      }
      return kFinish;
    default:  // '&'
      // One rewrite: in a WINWO host every call would bring its own extra backspace, and only
      // one keystroke's character is there to take it.
      if (p == kMarkKoo) {
        DropOne(msg);
        Replace(msg, Literal(kKsha));
        lastEmitted = kMarkKsha;
      } else if (IsUnit(p, V(kU))) {
        ReplaceWith(msg, Text(C(kSsa)));
      } else {
        LetPass();
      }
      return kFinish;
  }
}

// The rule of one key within 0x21 to 0x7E. It may write text and may yield a letter.
Outcome KeyRule(MSG* msg, int key, BYTE* letter) {
  BYTE p = lastEmitted;
  for (const LetterKey& k : kLetterKeys) {
    if (k.key == key) {
      *letter = Letter(k);
      return kFinish;
    }
  }
  if (key == 'B') {
    *letter = kMarkKsha;
    return kFinish;
  }
  for (const auto& k : kConsonantUKeys) {
    if (k.key != key) continue;
    if (shared->oldTypewriter && shared->twMode == kModeUu) {
      EmitText(msg, Text(C(k.consonant), S(kUu)));
      shared->twMode = kModeNone;
    } else {
      EmitText(msg, Text(C(k.consonant), S(kU)));
    }
    return kFinish;
  }
  for (const auto& k : kSyllableKeys) {
    if (k.key != key) continue;
    EmitText(msg, Text(C(k.consonant), S(k.sign)));
    // & turns கூ into க்ஷ; but only when கூ was really written.
    if (key == 'T' && lastEmitted != kNothing) lastEmitted = kMarkKoo;
    return kFinish;
  }
  if (key == '_') {
    Emit(msg, Literal(kSri));
    lastEmitted = kNothing;
    return kFinish;
  }
  if (key == 'h' || key == '}' || key == '%' || key == '^' || key == '&') return SignKey(msg, key, p);
  for (const auto& k : kModeKeys) {
    if (k.key != key) continue;
    if (!shared->oldTypewriter) {
      shared->twMode = k.mode;
      return kFinish;
    }
    shared->twPending = k.mode;
    Swallow(msg);
    NoteDeadKey(msg->hwnd);
    lastEmitted = kNothing;
    return kStop;
  }
  for (const auto& k : kPunctuationKeys) {
    if (k.key != key) continue;
    msg->wParam = static_cast<BYTE>(k.becomes);
    LetPass();
    return kStop;
  }
  return kFinish;  // ( ) + = \ A Q and the digits: no letter
}

void PlainFinish(MSG* msg, BYTE p, BYTE letter) {
  if (letter == 0) {
    if (IsLetter(KeyChar(*msg))) {
      Swallow(msg);
    } else if (msg->wParam != 0) {
      LetPass();
    }
    return;
  }
  if (IsPrefixSign(p) && IsUniConsonant(letter)) {
    // The sign key wrote joiner and sign; both go, and the sign follows its consonant.
    DropOne(msg);
    if (letter == kMarkKsha) {
      Replace(msg, Literal(kKsha));
      EmitNoExtra(msg, Text(p));
    } else {
      Replace(msg, Text(letter, p));
    }
    lastEmitted = letter;
    return;
  }
  if (IsPrefixSign(letter)) DeliverUnicodeChar(msg, kZeroWidthJoiner);
  Emit(msg, letter == kMarkKsha ? Literal(kKsha) : Text(letter));
  lastEmitted = letter;
}

// An Old mode key came just before: the mode applies to this key's letter.
void OldModeFinish(MSG* msg, BYTE p, BYTE letter) {
  if (letter == kMarkKsha) {
    DeliverKsha(msg, 0);
    EmitNoExtra(msg, Text(ModeUnit(shared->twMode)));
    lastEmitted = LastSent();
    return;
  }
  switch (shared->twMode) {
    case kModePulli:
      // A prefix sign stands alone here too, never on the character before it.
      if (IsPrefixSign(letter)) DeliverUnicodeChar(msg, kZeroWidthJoiner);
      EmitText(msg, Text(letter, kPulli));
      return;
    case kModeUu:
      if (IsUniConsonant(letter)) {
        EmitText(msg, Text(letter, S(kUu)));
      } else if (IsUnit(p, S(kU))) {
        LengthenU(msg);
      } else {
        Swallow(msg);
      }
      return;
    default:
      if (IsUniConsonant(letter)) {
        EmitText(msg, Text(letter, ModeUnit(shared->twMode)));
      } else {
        Swallow(msg);
      }
      return;
  }
}

// The New mode key is this keystroke: the mode applies to what was written last.
void NewModeFinish(MSG* msg, BYTE p) {
  if (IsUniConsonant(p)) {
    EmitText(msg, Text(ModeUnit(shared->twMode)));
  } else if (shared->twMode == kModeUu && IsUnit(p, S(kU))) {
    LengthenU(msg);
  } else {
    Swallow(msg);
  }
}

}  // namespace

void ComposeTypewriterUnicode(MSG* msg) {
  shared->twMode = kModeNone;
  bool deadKeyHere = TakeDeadKey(msg->hwnd);
  int key = KeyChar(*msg);
  // A control key (Backspace, Enter, Tab) is no letter to put a pending mode on: it drops the
  // mode and does what it does.
  bool controlKey = key >= 0 && key < 0x20;
  if (shared->twPending != 0 && !controlKey) {
    shared->twMode = shared->twPending;
    // WINWO still shows the Old mode key typed just before in this window; it goes now.
    if (ThisHost().keepsNul && deadKeyHere) EraseKeptCharacter(msg->hwnd);
  }
  shared->twPending = 0;
  BYTE letter = 0;
  if (key >= 0x21 && key <= 0x7E && KeyRule(msg, key, &letter) == kStop) return;

  BYTE p = lastEmitted;
  if (shared->twPending != 0) {
    Swallow(msg);
    lastEmitted = kNothing;
  } else if (shared->twMode == kModeNone) {
    PlainFinish(msg, p, letter);
  } else if (shared->oldTypewriter) {
    OldModeFinish(msg, p, letter);
  } else {
    NewModeFinish(msg, p);
  }
}
