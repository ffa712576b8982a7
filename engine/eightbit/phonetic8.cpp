// The English phonetic layout for the 8-bit encodings. Each key is answered from the three
// bytes of composerHistory alone (h2 newest): combine with what the composer wrote last, by
// erasing it and writing the new syllable; write the key's own letter; let a non-letter through;
// or swallow a letter the layout does not use. Text is written in visual order, so a vowel sign
// that stands before its consonant is written by erasing the consonant and writing sign and
// consonant again.
//
// The history holds only bytes this composer wrote, and stand-ins that equal no glyph. A character
// that reaches the application (digit, punctuation, Backspace, a widened byte) clears it,
// keeping only a control character or space, which the n key reads as a word break, so no rule
// erases or combines with text the engine did not write, even where a typed character equals a
// glyph byte (TAM glyphs in the ASCII range, TAB's full stops in deadConsonants). LIPI and T_OLD
// are the exception: there the printable ASCII characters are the font's own glyphs, typed as
// letters, and the history keeps them.
#include <initializer_list>

#include "engine/core/composers.h"
#include "engine/core/delivery.h"
#include "engine/core/process_state.h"
#include "engine/core/shared_state.h"
#include "engine/eightbit/glyph_access.h"

namespace {

using namespace glyph8;

const int kNone = -1;
const int kFirstGrantha = kTamilConsonantCount;
const int kLastConsonant = kConsonantCount - 1;
const int kMaxText = 4;

// Consonant indices that rules name.
enum ConsonantIndex { kNga = 1, kCa = 2, kNya = 3, kTta = 4, kTa = 6, kNa = 7, kRa = 11, kSsa = 19, kNnna = 17 };

// What the history keeps of a character that reached the application: the character itself
// below 0x21 (control characters and space, where no encoding has a glyph; the n key reads
// space, Tab, Enter and NUL as word breaks), otherwise this stand-in, which equals no glyph.
const BYTE kForeign = 0x7F;
const int kFirstPrintable = 0x21;

// What the history keeps for the au length mark that ends ஔ and ௌ, in place of the glyph. In
// TAB, TAM, LIPI and T_OLD the mark is the byte of ள, so the glyph would not tell ஔ and ௌ, which
// no key extends, from ஒ or ெ + consonant followed by ள typed with its inherent a, which a, i
// and u extend (ஒளா, கெளை, கெளௌ). It equals no glyph of any encoding.
const BYTE kAuMark = 0x80;

struct History {
  BYTE h0, h1, h2;
};

History Current() { return History{composerHistory[0], composerHistory[1], composerHistory[2]}; }

void Record(History h) {
  composerHistory[0] = h.h0;
  composerHistory[1] = h.h1;
  composerHistory[2] = h.h2;
}

// Erases `erase` characters, writes the glyphs and records the new history. A rule whose glyph
// the loaded tables lack (an entry that reads 0) writes nothing and reports false, so the key
// goes on as if the rule had not matched and history and text stay in step.
bool Write(MSG* msg, int erase, std::initializer_list<BYTE> text, History next) {
  if (text.size() > kMaxText) return false;
  for (BYTE b : text) {
    if (b == 0) return false;
  }
  int n = 0;
  for (BYTE b : text) composeText[n++] = b;
  composeText[n] = 0;
  DeliverBytes(msg, composeText, erase);
  Record(next);
  return true;
}

// After a repair that rewrote a whole syllable: the next key starts a new one. The message keeps
// what DeliverBytes left in it (0, or under FRAME the last glyph, which the application writes
// itself); that is the engine's own text, never a keystroke to map again.
void EndSyllable() {
  History h = Current();
  Record(History{h.h1, h.h2, 0});
}

// In LIPI and T_OLD a printable ASCII character is itself a glyph of the font ([ is ங் in LIPI,
// # is ஜ in T_OLD): the user typed that letter, and the rules build on it as on their own.
bool IsGlyphOfTheFont(int k) { return (shared->encLipi || shared->encTOld) && k >= kFirstPrintable && k < 0x7F; }

void PassThrough(int k, const History& o) {
  if (IsGlyphOfTheFont(k)) {
    Record(History{o.h1, o.h2, static_cast<BYTE>(k)});
    return;
  }
  BYTE kept = k >= 0 && k < kFirstPrintable ? static_cast<BYTE>(k) : kForeign;
  Record(History{0, 0, kept});
}

bool IsLetter(int k) { return (k >= 'A' && k <= 'Z') || (k >= 'a' && k <= 'z'); }

// The index i among first..last of the dead consonant that ends the text, or kNone. TAB writes
// a dead consonant as the consonant and the separate pulli; its deadConsonants slot holds only
// full stops and is never compared.
int DeadConsonant(const History& o, int first, int last) {
  if (o.h2 == 0) return kNone;
  for (int i = first; i <= last; ++i) {
    bool dead = shared->encTab ? (o.h1 == C(i) && o.h2 == P()) : o.h2 == D(i);
    if (dead) return i;
  }
  return kNone;
}

int DeadConsonant(const History& o) { return DeadConsonant(o, 0, kLastConsonant); }

bool IsDead(const History& o, int i) { return DeadConsonant(o, i, i) == i; }

// The index i among 0..last with slot(i) == b, or kNone.
int IndexOf(BYTE (*slot)(int), BYTE b, int last) {
  if (b == 0) return kNone;
  for (int i = 0; i <= last; ++i) {
    if (slot(i) == b) return i;
  }
  return kNone;
}

// Consonant + i and + ii as one glyph (consonantI/consonantIi) rather than consonant and sign:
// always in LIPI, and wherever syllableTables asks for it and the loaded tables hold them.
bool SyllableGlyphs() { return (shared->encLipi || shared->syllableTables) && CI(0) != 0; }

// Writes the dead consonant i; TAB's takes two bytes. TAB's history then keeps in h0 a byte
// from before the last syllable (a ெ or ே, say), not the byte before the consonant. The TAB rules
// that write a syllable over it and would leave that byte where a later key looks (A, டி, u, U,
// ஸ்ரீ) write 0 instead; else it would close the syllable (கொடுஉ) or set off a repair (கெேடு).
bool WriteDead(MSG* msg, int i, const History& o) {
  if (shared->encTab) return Write(msg, 0, {C(i), P()}, {o.h0, C(i), P()});
  return Write(msg, 0, {D(i)}, {o.h1, o.h2, D(i)});
}

// Turns the dead consonant that ends the text into dead consonant `into` (h, g, j and -).
bool ReplaceDead(MSG* msg, int into, const History& o) {
  if (shared->encTab) return Write(msg, 2, {C(into), P()}, {o.h0, C(into), P()});
  return Write(msg, 1, {D(into)}, {o.h0, o.h1, D(into)});
}

// A second e or o after a prefix-sign syllable lengthens its sign.
bool RepairPrefixSign(MSG* msg, int k, const History& o) {
  bool done = false;
  if (k == 'o' && o.h0 == S(kSignE) && o.h2 == S(kSignAa)) {
    done = Write(msg, 3, {S(kSignEe), o.h1, o.h2}, {S(kSignEe), o.h1, o.h2});
  } else if (k == 'e' && o.h1 == S(kSignE)) {
    done = Write(msg, 2, {S(kSignEe), o.h2}, {o.h0, S(kSignEe), o.h2});
  }
  if (!done) return false;
  navigationReset = 1;
  EndSyllable();
  return true;
}

// Whether the text ends in a syllable that carries a prefix sign, or in ஔ or ௌ, which no key
// extends.
bool SyllableClosed(const History& o) {
  if (o.h1 == S(kSignE) || o.h1 == S(kSignEe) || o.h1 == S(kSignAi)) return true;
  return o.h2 == kAuMark;
}

bool CombineA(MSG* msg, const History& o) {
  if (o.h2 == V(kVowA)) return Write(msg, 1, {V(kVowAa)}, {o.h0, o.h1, V(kVowAa)});
  int i = DeadConsonant(o);
  if (i != kNone) {
    if (shared->encTab) return Write(msg, 2, {C(i)}, {0, 0, C(i)});
    return Write(msg, 1, {C(i)}, {o.h0, o.h1, C(i)});
  }
  if (IndexOf(C, o.h2, kLastConsonant) != kNone) return Write(msg, 0, {S(kSignAa)}, {o.h1, o.h2, S(kSignAa)});
  return false;
}

// A: the dead consonant takes ா; the history keeps the dead consonant's byte in h1.
bool CombineLongA(MSG* msg, const History& o) {
  int i = DeadConsonant(o);
  if (i == kNone) return false;
  if (shared->encTab) return Write(msg, 1, {S(kSignAa)}, {0, o.h1, S(kSignAa)});
  return Write(msg, 1, {C(i), S(kSignAa)}, {o.h1, o.h2, S(kSignAa)});
}

bool CombineI(MSG* msg, const History& o) {
  if (o.h2 == V(kVowI)) return Write(msg, 1, {V(kVowIi)}, {o.h0, o.h1, V(kVowIi)});
  if (o.h2 == V(kVowA)) return Write(msg, 1, {V(kVowAi)}, {o.h0, o.h1, V(kVowAi)});
  if (IsDead(o, kTta)) {
    if (shared->encTab) return Write(msg, 2, {X(kSpecialTi)}, {0, 0, X(kSpecialTi)});
    return Write(msg, 1, {X(kSpecialTi)}, {o.h0, o.h1, X(kSpecialTi)});
  }
  if (o.h2 == X(kSpecialTi)) return Write(msg, 1, {X(kSpecialTii)}, {o.h0, o.h1, X(kSpecialTii)});
  // Only where ி has a glyph of its own: T_OLD's ி entry repeats ா, which must not lengthen.
  if (o.h2 == S(kSignI) && S(kSignI) != S(kSignAa)) {
    return Write(msg, 2, {o.h1, S(kSignIi)}, {o.h0, o.h1, S(kSignIi)});
  }
  if (shared->encTab) {
    int i = DeadConsonant(o);
    if (i != kNone && Write(msg, 2, {C(i), S(kSignI)}, {o.h0, C(i), S(kSignI)})) return true;
  } else if (!SyllableGlyphs()) {
    int i = DeadConsonant(o);
    if (i != kNone && Write(msg, 1, {C(i), S(kSignI)}, {o.h1, C(i), S(kSignI)})) return true;
  } else {
    for (int i = 0; i <= kLastConsonant; ++i) {
      if (o.h2 == D(i)) return Write(msg, 1, {CI(i)}, {o.h0, o.h1, CI(i)});
      if (o.h2 == CI(i)) return Write(msg, 1, {CII(i)}, {o.h0, o.h1, CII(i)});
    }
  }
  int c = IndexOf(C, o.h2, kLastConsonant);
  if (c != kNone) return Write(msg, 1, {S(kSignAi), C(c)}, {o.h1, S(kSignAi), o.h2});
  return false;
}

bool CombineLongI(MSG* msg, const History& o) {
  int i = DeadConsonant(o);
  if (i == kNone) return false;
  if (shared->encTab) return Write(msg, 1, {S(kSignIi)}, {o.h0, o.h1, S(kSignIi)});
  if (!SyllableGlyphs()) return Write(msg, 1, {C(i), S(kSignIi)}, {o.h1, o.h2, S(kSignIi)});
  return Write(msg, 1, {CII(i)}, {o.h0, o.h1, CII(i)});
}

// u and U after a dead consonant: the Tamil consonants have syllable glyphs, the grantha take
// the consonant and the separate sign.
bool UAfterDead(MSG* msg, const History& o, bool longU) {
  int i = DeadConsonant(o);
  if (i == kNone) return false;
  int sign = longU ? kSignUu : kSignU;
  if (i >= kFirstGrantha) {
    if (shared->encTab) return Write(msg, 1, {S(sign)}, {o.h0, o.h1, S(sign)});
    return Write(msg, 1, {C(i), S(sign)}, {o.h1, C(i), S(sign)});
  }
  BYTE syllable = longU ? UU(i) : U(i);
  // In TAB the syllable replaces both bytes of the dead consonant; ூ stays in h2 like ு, so a
  // following n is ன் (மூன்று).
  if (shared->encTab) return Write(msg, 2, {syllable}, {0, 0, syllable});
  return Write(msg, 1, {syllable}, {o.h0, o.h1, syllable});
}

bool CombineU(MSG* msg, const History& o) {
  if (UAfterDead(msg, o, false)) return true;
  if (o.h2 == S(kSignU)) return Write(msg, 1, {S(kSignUu)}, {o.h0, o.h1, S(kSignUu)});
  if (o.h2 == V(kVowU)) return Write(msg, 1, {V(kVowUu)}, {o.h0, o.h1, V(kVowUu)});
  if (o.h2 == V(kVowA)) {
    return Write(msg, 1, {V(kVowO), S(kSignAuLength)}, {o.h1, V(kVowO), kAuMark});
  }
  int u = IndexOf(U, o.h2, kFirstGrantha - 1);
  if (u != kNone) return Write(msg, 1, {UU(u)}, {o.h0, o.h1, UU(u)});
  int c = IndexOf(C, o.h2, kLastConsonant);
  if (c != kNone) {
    // ௌ: SyllableClosed keeps any key from extending it.
    return Write(msg, 1, {S(kSignE), C(c), S(kSignAuLength)}, {S(kSignE), C(c), kAuMark});
  }
  return false;
}

// Prefix-sign syllables after a dead consonant: e, E, o and O.
bool PrefixAfterDead(MSG* msg, const History& o, int sign, bool withAa) {
  int i = DeadConsonant(o);
  if (i == kNone) return false;
  int erase = shared->encTab ? 2 : 1;
  if (withAa) return Write(msg, erase, {S(sign), C(i), S(kSignAa)}, {S(sign), C(i), S(kSignAa)});
  History next = shared->encTab ? History{o.h0, S(sign), C(i)} : History{o.h1, S(sign), C(i)};
  return Write(msg, erase, {S(sign), C(i)}, next);
}

bool CombineHyphen(MSG* msg, const History& o) {
  if (IsDead(o, kNnna)) return ReplaceDead(msg, kNa, o);
  if (shared->encLipi) return Write(msg, 0, {P()}, {o.h0, o.h1, P()});
  return false;
}

// The combination rules of key k with what the composer wrote last. False when none matched.
bool Combine(MSG* msg, int k, const History& o) {
  switch (k) {
    case 'a':
      return CombineA(msg, o);
    case 'A':
      return CombineLongA(msg, o);
    case 'i':
      return CombineI(msg, o);
    case 'I':
      return CombineLongI(msg, o);
    case 'u':
      return CombineU(msg, o);
    case 'U':
      return UAfterDead(msg, o, true);
    case 'e':
      if (o.h2 == V(kVowE)) return Write(msg, 1, {V(kVowEe)}, {o.h0, o.h1, V(kVowEe)});
      return PrefixAfterDead(msg, o, kSignE, false);
    case 'E':
      return PrefixAfterDead(msg, o, kSignEe, false);
    case 'o':
      if (o.h2 == V(kVowO)) return Write(msg, 1, {V(kVowOo)}, {o.h0, o.h1, V(kVowOo)});
      return PrefixAfterDead(msg, o, kSignE, true);
    case 'O':
      return PrefixAfterDead(msg, o, kSignEe, true);
    case 'h':
      if (IsDead(o, kTta)) return ReplaceDead(msg, kTa, o);
      if (IsDead(o, kCa)) return ReplaceDead(msg, kSsa, o);
      return false;
    case 'g':
      return (IsDead(o, kNnna) || IsDead(o, kNa)) && ReplaceDead(msg, kNga, o);
    case 'j':
      return (IsDead(o, kNnna) || IsDead(o, kNa)) && ReplaceDead(msg, kNya, o);
    case '-':
      return CombineHyphen(msg, o);
    default:
      return false;
  }
}

// The base mapping of the vowel keys (q is ஃ) and of the consonant keys, which write the dead
// consonant; n and r are decided by the history.
struct KeyIndex {
  char key;
  int index;
};
const KeyIndex kVowelKeys[] = {
    {'a', kVowA}, {'A', kVowAa}, {'i', kVowI}, {'I', kVowIi}, {'u', kVowU}, {'U', kVowUu},
    {'e', kVowE}, {'E', kVowEe}, {'o', kVowO}, {'O', kVowOo}, {'q', kVowAytham},
};
const KeyIndex kConsonantKeys[] = {
    {'k', 0},  {'c', 2},  {'s', 2},  {'d', 4},  {'t', 4},  {'N', 5},  {'w', 7},  {'b', 8},
    {'p', 8},  {'m', 9},  {'y', 10}, {'l', 12}, {'v', 13}, {'z', 14}, {'L', 15}, {'R', 16},
    {'S', 18}, {'Z', 19}, {'J', 20}, {'j', 20}, {'h', 21}, {'x', 22},
};

template <size_t N>
int Lookup(const KeyIndex (&keys)[N], int k) {
  for (const KeyIndex& entry : keys) {
    if (entry.key == k) return entry.index;
  }
  return kNone;
}

// n is ந் at the start of a word (after a space, Tab, Enter or nothing, unless a navigation key
// came since the last combination), ன் anywhere else.
int NKeyConsonant(const History& o) {
  bool wordBreak = o.h2 == ' ' || o.h2 == 0 || o.h2 == '\r' || o.h2 == '\t';
  return navigationReset == 0 && wordBreak ? kNa : kNnna;
}

// r after ச் makes ஸ்ரீ.
bool WriteSri(MSG* msg, const History& o) {
  if (!IsDead(o, kCa)) return false;
  if (shared->encTab) return Write(msg, 2, {X(kSpecialSri)}, {0, 0, X(kSpecialSri)});
  if (!Write(msg, 1, {X(kSpecialSri)}, {o.h0, o.h1, X(kSpecialSri)})) return false;
  EndSyllable();
  return true;
}

// The key's own letter, written without erasing; or the key passes through or is swallowed.
void BaseMapping(MSG* msg, int k, const History& o) {
  if (k == 'r' && WriteSri(msg, o)) return;
  int v = Lookup(kVowelKeys, k);
  if (v != kNone && Write(msg, 0, {V(v)}, {o.h1, o.h2, V(v)})) return;
  if (k == 'C' && Write(msg, 0, {X(kSpecialSri)}, {o.h1, o.h2, X(kSpecialSri)})) return;
  int c = k == 'n' ? NKeyConsonant(o) : k == 'r' ? kRa : Lookup(kConsonantKeys, k);
  if (c != kNone && WriteDead(msg, c, o)) return;
  if (IsLetter(k)) {
    msg->wParam = 0;  // a letter the layout does not use is swallowed
    // Word keeps a character for the swallowed keystroke: it now stands before the caret.
    if (ThisHost().keepsNul) Record(History{0, 0, kForeign});
    return;
  }
  PassThrough(k, o);
}

}  // namespace

void ComposePhonetic8(MSG* msg) {
  int k = KeyChar(*msg);
  if (k == VK_BACK) {
    PassThrough(k, History{0, 0, 0});
    return;
  }
  History o = Current();
  if (RepairPrefixSign(msg, k, o)) return;
  if (!SyllableClosed(o) && o.h2 != 0) {
    navigationReset = 0;
    if (Combine(msg, k, o)) return;
  }
  BaseMapping(msg, k, o);
}
