// Tamil99 layout, 8-bit encodings. Every Tamil letter has its own key: consonant keys write
// the consonant with its inherent a, vowel keys write the independent vowel or, right after a
// consonant, rewrite that consonant as a syllable (at most one character erased).
//
// State: lastEmitted (the last byte written, which d, e and f and the syllable rewrites
// combine with), tamil99AfterConsonant (vowel keys write signs) and tamil99NoAutoPulli (the
// next consonant gets no automatic pulli on the one before).
//
// Whatever lastEmitted names must be the character before the caret, or the next rewrite
// erases something this composer did not write. So a key that reaches the application as a
// character, and a navigation key the hook saw, leave nothing to combine with; a swallowed key
// changes no text and keeps it.
#include "engine/core/composers.h"
#include "engine/core/delivery.h"
#include "engine/core/process_state.h"
#include "engine/core/shared_state.h"
#include "engine/eightbit/glyph_access.h"

namespace {

using namespace glyph8;

// The ^ prefix leaves a space and this marker in lastEmitted.
const BYTE kPrefixSpace = 0x20;

// Erases `erase` characters and writes up to three bytes (a 0 ends the text early).
void Send(MSG* msg, int erase, BYTE b1, BYTE b2 = 0, BYTE b3 = 0) {
  composeText[0] = b1;
  composeText[1] = b2;
  composeText[2] = b3;
  composeText[3] = 0;
  DeliverBytes(msg, composeText, erase);
}

void EndWithoutRole() {
  tamil99AfterConsonant = 0;
  tamil99NoAutoPulli = 1;
}

// A key without a role: a Latin letter is swallowed and keeps lastEmitted; anything else
// reaches the application, which then has that character before the caret. So does the
// swallowed letter in a WINWO host, which keeps a character for a keystroke cleared to NUL.
void KeyWithoutRole(MSG* msg, int k) {
  EndWithoutRole();
  if (IsLatinLetter(k)) {
    msg->wParam = 0;
    if (ThisHost().keepsNul) lastEmitted = 0;
  } else {
    lastEmitted = 0;
  }
}

bool IsPulliPair(BYTE before, BYTE b) {
  if (before == 0) return false;
  if (before == b) return true;
  static const int kNasalStop[][2] = {{1, 0}, {3, 2}, {5, 4}, {7, 6}, {9, 8}, {17, 16}};
  for (const auto& pair : kNasalStop) {
    if (before == C(pair[0]) && b == C(pair[1])) return true;
  }
  return false;
}

void PlainWrite(MSG* msg, int k, BYTE b) {
  if (b == 0) {
    KeyWithoutRole(msg, k);
    return;
  }
  tamil99AfterConsonant = ConsonantIndex(b) >= 0 ? 1 : 0;
  if (tamil99NoAutoPulli == 0 && tamil99AfterConsonant == 1 && IsPulliPair(lastEmitted, b)) {
    if (shared->encTab == 1) {
      Send(msg, 0, P(), b);
    } else {
      Send(msg, 1, D(ConsonantIndex(lastEmitted)), b);
    }
    tamil99NoAutoPulli = 1;
  } else {
    Send(msg, 0, b);
    tamil99NoAutoPulli = 0;
  }
  lastEmitted = b;
}

void Rewrite(MSG* msg, BYTE b1, BYTE b2 = 0, BYTE b3 = 0) {
  Send(msg, 1, b1, b2, b3);
  EndWithoutRole();
}

// Consonant keys, and ஸ்ரீ on Y.
BYTE ConsonantKeyGlyph(int k) {
  static const char kKeys[] = "hb[]opl;jk'mnv/yuiQWERT";  // consonant index order
  for (int i = 0; kKeys[i] != 0; ++i) {
    if (kKeys[i] == k) return C(i);
  }
  return k == 'Y' ? X(kSpecialSri) : 0;
}

// Symbol keys write the ASCII character their unshifted key would, since those keys carry
// Tamil letters. In LIPI and T_OLD such a byte may also be a glyph, and is treated as one.
int SymbolKeyByte(int k) {
  static const char kSymbols[][2] = {{'"', '\''}, {':', ';'}, {'K', '"'}, {'L', ':'},
                                     {'M', '/'},  {'O', '['}, {'P', ']'}};
  for (const auto& row : kSymbols) {
    if (row[0] == k) return row[1];
  }
  return 0;
}

// Characters the armed ^ prefix turns a key into: typographic symbols of the ANSI code page,
// the same byte in every encoding.
int PrefixedByte(int k) {
  switch (k) {
    case '.': return 0xB7;  // middle dot
    case '0': case '9': return '"';
    case '7': case '8': return '\'';
    case 'C': return 0xA9;  // copyright sign
    case 'S': return 0xA0;  // no-break space
    default: return 0;
  }
}

// i and ii after a consonant: டி/டீ have their own glyphs; encodings with syllable glyphs
// use them; otherwise consonant and sign. A syllable slot this process did not load reads 0
// (syllableTables is shared and may come from another process's encoding): then the sign.
void WriteIOrIi(MSG* msg, BYTE special, BYTE (*syllableOf)(int), BYTE sign) {
  BYTE before = lastEmitted;
  int j = ConsonantIndex(before);
  BYTE syllable = j >= 0 ? syllableOf(j) : 0;
  if (before == C(4)) {
    Rewrite(msg, special);
    lastEmitted = special;
  } else if ((shared->encLipi == 1 || shared->syllableTables == 1) && syllable != 0) {
    Rewrite(msg, syllable);
    lastEmitted = syllable;
  } else {
    Rewrite(msg, before, sign);
    lastEmitted = sign;
  }
}

// u and uu after consonant j: one glyph for the Tamil consonants, consonant and sign for the
// grantha.
void WriteUOrUu(MSG* msg, int j, BYTE (*syllableOf)(int), BYTE sign) {
  if (j < kTamilConsonantCount) {
    Rewrite(msg, syllableOf(j));
    lastEmitted = syllableOf(j);
  } else {
    Rewrite(msg, C(j), sign);
    lastEmitted = sign;
  }
}

// Vowel keys; false when k is not one.
bool VowelKey(MSG* msg, int k) {
  bool after = tamil99AfterConsonant == 1;
  BYTE before = lastEmitted;
  int j = ConsonantIndex(before);  // d, e and f test the last byte itself
  switch (k) {
    case 'a':
      if (after) KeyWithoutRole(msg, k); else PlainWrite(msg, k, V(kVowA));
      return true;
    case 'q':
      PlainWrite(msg, k, after ? S(kSignAa) : V(kVowAa));
      return true;
    case 's':
      if (after) WriteIOrIi(msg, X(kSpecialTi), CI, S(kSignI));
      else PlainWrite(msg, k, V(kVowI));
      return true;
    case 'w':
      if (after) WriteIOrIi(msg, X(kSpecialTii), CII, S(kSignIi));
      else PlainWrite(msg, k, V(kVowIi));
      return true;
    case 'd':
      if (j >= 0) WriteUOrUu(msg, j, U, S(kSignU));
      else PlainWrite(msg, k, V(kVowU));
      return true;
    case 'e':
      if (j >= 0) WriteUOrUu(msg, j, UU, S(kSignUu));
      else PlainWrite(msg, k, V(kVowUu));
      return true;
    case 'g':
    case 't':
    case 'r': {
      int sign = k == 'g' ? kSignE : k == 't' ? kSignEe : kSignAi;
      int vowel = k == 'g' ? kVowE : k == 't' ? kVowEe : kVowAi;
      if (after) Rewrite(msg, S(sign), before);  // lastEmitted keeps the consonant
      else PlainWrite(msg, k, V(vowel));
      return true;
    }
    case 'c':
    case 'x':
      if (after) {
        Rewrite(msg, S(k == 'c' ? kSignE : kSignEe), before, S(kSignAa));
        lastEmitted = S(kSignAa);
      } else {
        PlainWrite(msg, k, V(k == 'c' ? kVowO : kVowOo));
      }
      return true;
    case 'z':
      if (after) {
        Rewrite(msg, S(kSignE), before, S(kSignAuLength));
      } else {
        Send(msg, 0, V(kVowO), S(kSignAuLength));
        EndWithoutRole();
      }
      lastEmitted = S(kSignAuLength);
      return true;
    case 'f':
    case 'F':
      if (j < 0) {
        PlainWrite(msg, k, V(kVowAytham));
      } else if (shared->encTab == 1) {
        Rewrite(msg, before, P());
        lastEmitted = P();
      } else {
        Rewrite(msg, D(j));
        lastEmitted = D(j);
      }
      return true;
    default:
      return false;
  }
}

}  // namespace

void ComposeTamil99_8(MSG* msg) {
  int k = KeyChar(*msg);
  if (k == kNoAscii) {
    KeyWithoutRole(msg, k);
    return;
  }

  bool armed = lastEmitted == kPrefixSpace && tamil99AfterConsonant == 1;
  if (armed && PrefixedByte(k) != 0) {
    Send(msg, 1, static_cast<BYTE>(PrefixedByte(k)));
    EndWithoutRole();
    return;
  }
  if (k == '^') {
    if (armed) {
      KeyWithoutRole(msg, k);
    } else {
      msg->wParam = ' ';
      lastEmitted = kPrefixSpace;
      tamil99AfterConsonant = 1;
      tamil99NoAutoPulli = 0;
    }
    return;
  }

  BYTE consonant = ConsonantKeyGlyph(k);
  if (consonant != 0) {
    PlainWrite(msg, k, consonant);
    return;
  }
  if (VowelKey(msg, k)) return;
  int symbol = SymbolKeyByte(k);
  if (symbol != 0) {
    PlainWrite(msg, k, static_cast<BYTE>(symbol));
    return;
  }
  KeyWithoutRole(msg, k);
}
