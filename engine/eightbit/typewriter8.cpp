// New and Old Typewriter layouts, 8-bit encodings. Each key writes one glyph in visual order;
// the sign keys (pulli, i, ii, u, uu) modify a consonant. New Typewriter: the sign key follows
// the consonant and rewrites it (one character erased). Old Typewriter: the sign key is a dead
// key; it writes nothing and the next key's glyph is written with the sign.
//
// composerHistory[0] ("last") is the last glyph written. Characters let through, and the end
// of the special keys, push the message's character into the history. A sign key of New
// Typewriter erases last, so last must always be the character before the caret or 0: it is
// set by this composer's own writes only, and every shift leaves 0 there (the older entries are
// characters the application received, not what is now before the caret).
//
// twMode and twPending live in the shared block: a dead key typed in one process applies to
// the next key composed in any process of the bitness.
#include "engine/core/composers.h"
#include "engine/core/composition.h"
#include "engine/core/delivery.h"
#include "engine/core/process_state.h"
#include "engine/core/shared_state.h"
#include "engine/eightbit/glyph_access.h"

namespace {

using namespace glyph8;

enum SignMode { kModeNone = 0, kModePulli = 1, kModeI = 3, kModeIi = 4, kModeU = 5, kModeUu = 6 };

const BYTE kSpace = 0x20;

BYTE& Last() { return composerHistory[0]; }

int ConsonantUIndex(BYTE b) {
  if (b == 0) return -1;
  for (int i = 0; i < kTamilConsonantCount; ++i) {
    if (U(i) == b) return i;
  }
  return -1;
}

void Send(MSG* msg, int erase, BYTE b1, BYTE b2 = 0) {
  composeText[0] = b1;
  composeText[1] = b2;
  composeText[2] = 0;
  DeliverBytes(msg, composeText, erase);
}

// Nothing is written. A WINWO host keeps a character for the keystroke cleared to NUL, so
// there last is no longer before the caret.
void Swallow(MSG* msg) {
  msg->wParam = 0;
  if (ThisHost().keepsNul) Last() = 0;
}

// The character c went to the application (0 after a special key). It is now what precedes
// the caret, and nothing may combine with it: last becomes 0.
void ShiftHistory(BYTE c) {
  composerHistory[0] = 0;
  composerHistory[1] = composerHistory[2];
  composerHistory[2] = c;
}

SignMode SignModeOf(int k) {
  switch (k) {
    case ';': return kModePulli;
    case 'p': return kModeI;
    case 'P': return kModeIi;
    case '[': return kModeU;
    case ':':
    case '{': return kModeUu;
    default: return kModeNone;
  }
}

// Glyph keys of both variants: key, slot, index.
struct GlyphKey {
  char key;
  BYTE (*slot)(int);
  int index;
};
const GlyphKey kGlyphKeys[] = {
    {'f', C, 0},  {'\'', C, 1}, {'r', C, 2},  {'"', C, 3},  {'l', C, 4},  {'z', C, 5},
    {'j', C, 6},  {'e', C, 7},  {'g', C, 8},  {'k', C, 9},  {'a', C, 10}, {'u', C, 11},
    {'y', C, 12}, {'t', C, 13}, {'H', C, 14}, {'s', C, 15}, {'w', C, 16}, {'d', C, 17},
    {'!', C, 18}, {'Z', C, 19}, {'$', C, 20}, {']', C, 21}, {'B', C, 22},
    {'F', U, 0},  {'R', U, 2},  {'L', U, 4},  {'q', U, 5},  {'J', U, 6},  {'E', U, 7},
    {'K', U, 9},  {'U', U, 11}, {'Y', U, 12}, {'G', U, 14}, {'S', U, 15}, {'W', U, 16},
    {'D', U, 17}, {'T', UU, 0}, {'N', UU, 2},
    {'m', V, kVowA}, {'M', V, kVowAa}, {',', V, kVowI},  {'<', V, kVowIi}, {'c', V, kVowU},
    {'C', V, kVowUu}, {'v', V, kVowE}, {'V', V, kVowEe}, {'I', V, kVowAi}, {'x', V, kVowO},
    {'X', V, kVowOo}, {'`', V, kVowAytham},
    {'o', X, kSpecialTi}, {'O', X, kSpecialTii}, {'_', X, kSpecialSri},
    {'b', S, kSignE}, {'n', S, kSignEe}, {'i', S, kSignAi},
};

// Symbol keys write ASCII characters, because the symbol keys carry Tamil letters. In LIPI and
// T_OLD such a byte may also be a glyph of the font, and is then treated as that glyph.
int SymbolKeyByte(int k) {
  static const char kSymbols[][2] = {{'#', '%'}, {'*', '\''}, {'-', '/'}, {'.', ','}, {'/', '.'},
                                     {'>', '?'}, {'?', '-'},  {'@', '"'}, {'|', '!'}, {'~', '*'}};
  for (const auto& row : kSymbols) {
    if (row[0] == k) return row[1];
  }
  return 0;
}

// The glyph a key writes, or 0 for sign, special and roleless keys.
BYTE GlyphOfKey(int k) {
  if (k == ' ') return kSpace;
  for (const GlyphKey& row : kGlyphKeys) {
    if (row.key == k) return row.slot(row.index);
  }
  if (k == '?' && shared->encLipi == 1) return P();  // LIPI has a glyph of its own here
  return static_cast<BYTE>(SymbolKeyByte(k));
}

bool IsSpecialKey(int k) { return k == 'h' || k == '}' || k == '%' || k == '^' || k == '&'; }

// The special keys rewrite last in place; each sends at most one rewrite. True when it sent.
bool SpecialKey(MSG* msg, int k) {
  BYTE last = Last();
  int j = ConsonantIndex(last);
  if (k == 'h' && j >= 0) {
    Send(msg, 0, S(kSignAa));
    return true;
  }
  if (k == 'h' || k == '}') {
    int u = ConsonantUIndex(last);
    if (u < 0) return false;
    Send(msg, 1, UU(u));
    Last() = UU(u);
    return true;
  }
  if (k == '%' || k == '^') {
    if (j < kTamilConsonantCount) return false;
    BYTE sign = S(k == '%' ? kSignU : kSignUu);
    Send(msg, 1, last, sign);
    Last() = sign;
    return true;
  }
  BYTE replacement = 0;  // &: உ becomes ஷ, கூ becomes க்ஷ
  if (last != 0 && last == V(kVowU)) replacement = C(19);
  else if (last != 0 && last == UU(0)) replacement = C(22);
  if (replacement == 0) return false;
  Send(msg, 1, replacement);
  Last() = replacement;
  return true;
}

// Applies a sign mode to the base glyph x: in Old Typewriter to this key's glyph, nothing
// erased (erase 0); in New Typewriter to last, which it replaces (erase 1).
void ApplyMode(MSG* msg, int mode, BYTE x, int erase) {
  int j = ConsonantIndex(x);
  switch (mode) {
    case kModePulli:
      if (j >= 0) {
        if (shared->encTab == 1) {
          Send(msg, erase, x, P());
          Last() = P();
        } else {
          Send(msg, erase, D(j));
          Last() = D(j);
        }
      } else if (x == kSpace && (shared->encTam == 1 || shared->encTab == 1)) {
        Send(msg, 0, P());
        Last() = P();
      } else {
        Swallow(msg);
      }
      return;
    case kModeI:
    case kModeIi: {
      BYTE sign = S(mode == kModeI ? kSignI : kSignIi);
      // A syllable slot this process did not load reads 0 (syllableTables is shared and may
      // come from another process's encoding): then consonant and sign.
      BYTE syllable = j < 0 ? 0 : mode == kModeI ? CI(j) : CII(j);
      if (j >= 0 && (shared->encLipi == 1 || shared->syllableTables == 1) && syllable != 0) {
        Send(msg, erase, syllable);
        Last() = syllable;
      } else if (j >= 0) {
        Send(msg, erase, x, sign);
        Last() = sign;
      } else if (x == kSpace) {
        Send(msg, 0, sign);
        Last() = sign;
      } else {
        Swallow(msg);
      }
      return;
    }
    case kModeU:
    case kModeUu: {
      BYTE sign = S(mode == kModeU ? kSignU : kSignUu);
      int u = ConsonantUIndex(x);
      if (mode == kModeUu && erase == 1 && x != 0 && x == S(kSignU)) {
        Send(msg, 1, sign);
        Last() = sign;
      } else if (mode == kModeUu && u >= 0) {
        Send(msg, erase, UU(u));
        Last() = UU(u);
      } else if (j >= 0 && j < kTamilConsonantCount) {
        BYTE syllable = mode == kModeU ? U(j) : UU(j);
        Send(msg, erase, syllable);
        Last() = syllable;
      } else if (j >= kTamilConsonantCount) {
        Send(msg, erase, x, sign);
        Last() = sign;
      } else {
        Swallow(msg);
      }
      return;
    }
    default:
      Swallow(msg);
      return;
  }
}

}  // namespace

void ComposeTypewriter8(MSG* msg) {
  int k = KeyChar(*msg);
  // A control key (Backspace, Enter, Tab) is no glyph to put a pending mode on: it drops the
  // mode and does what it does.
  shared->twMode = k >= 0 && k < 0x20 ? kModeNone : shared->twPending;
  shared->twPending = 0;
  // A WINWO host keeps a character for a dead key swallowed just before in this window.
  bool deadKeyHere = TakeDeadKey(msg->hwnd);
  BYTE b = 0;
  SignMode sign = SignModeOf(k);
  bool special = IsSpecialKey(k);
  bool wrote = false;
  if (sign != kModeNone) {
    if (shared->oldTypewriter == 1) {
      shared->twPending = sign;
      Swallow(msg);
      NoteDeadKey(msg->hwnd);
      return;
    }
    shared->twMode = sign;
  } else if (special) {
    // The key itself never reaches the application. What a rewrite left in the message (under
    // FRAME its last byte, which the host writes) stays there.
    wrote = SpecialKey(msg, k);
    if (!wrote) Swallow(msg);
  } else {
    b = GlyphOfKey(k);
  }

  if (shared->twPending != 0) {
    if (!wrote) Swallow(msg);
    return;
  }

  if (shared->twMode == kModeNone) {
    if (b != 0) {
      Send(msg, 0, b);
      Last() = b;
    } else if (special) {
      ShiftHistory(0);
    } else if (IsLatinLetter(k)) {
      Swallow(msg);
    } else {
      ShiftHistory(static_cast<BYTE>(msg->wParam));
    }
  } else if (shared->oldTypewriter == 1) {
    if (ThisHost().keepsNul && deadKeyHere) EraseKeptCharacter(msg->hwnd);
    if (special) {
      if (!wrote) Swallow(msg);  // no glyph to apply the mode to
    } else {
      ApplyMode(msg, shared->twMode, b, 0);
    }
  } else {
    ApplyMode(msg, shared->twMode, Last(), 1);
  }
}
