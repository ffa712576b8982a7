// What the three Unicode composers share: the table slots by short names, the values kept in
// lastEmitted, the literal sequences, and the keystroke as a character.
//   V(n) uniVowels   C(i) uniConsonants   S(n) uniSigns
// A vowel index names the vowel and, from 1 to 11, its sign as well: V(kI) is இ, S(kI) is ி.
#pragma once

#include "engine/core/platform.h"
#include "engine/core/process_state.h"
#include "engine/unicode/unicode_units.h"

namespace uni {

enum Vowel { kA = 0, kAa, kI, kIi, kU, kUu, kE, kEe, kAi, kO, kOo, kAu };
const int kAytham = 12;     // uniVowels: ஃ
const int kPulliSign = 12;  // uniSigns: ் (the same unit as kPulli)

enum Consonant {
  kKa = 1, kNga, kCa, kNya, kTta, kNna, kTa, kNa, kPa, kMa, kYa,
  kRa, kLa, kVa, kLlla, kLla, kRra, kNnna, kSa, kSsa, kJa, kHa
};

inline BYTE V(int n) { return uniTables.uniVowels[n]; }
inline BYTE C(int i) { return uniTables.uniConsonants[i]; }
inline BYTE S(int n) { return uniTables.uniSigns[n]; }

// Values of lastEmitted besides the units themselves.
const BYTE kNothing = 0x00;        // nothing to build on
const BYTE kMarkSpace = 0x20;      // phonetic: a separator came last; Tamil99: the caret key
const BYTE kPulli = 0xCD;          // the last unit was pulli: a consonant without vowel
const BYTE kMarkKoo = 0xFD;        // typewriter: T wrote கூ
const BYTE kMarkKsha = 0xFE;       // typewriter: க்ஷ was written (and the letter of the key B)
const BYTE kMarkInherentA = 0xFF;  // an a-key kept the consonant's inherent a and wrote nothing

// The consonant range of the block, and the ksha marker that stands for a consonant.
inline bool IsUniConsonant(BYTE b) { return (b >= 0x95 && b <= 0xB9) || b == kMarkKsha; }

// Whether P, a value of lastEmitted, is this table unit. A slot that was never loaded reads 0,
// which must not be taken for "nothing to build on".
inline bool IsUnit(BYTE p, BYTE unit) { return unit != 0 && p == unit; }

// The character of a keystroke, 0 to 0x7F, or kNoAscii for anything else (a widened byte that
// SOFFI's translation left, a UTF-16 unit): such a value is a non-letter and never an index.
const int kNoAscii = -1;
inline int KeyChar(const MSG& msg) { return msg.wParam <= 0x7F ? static_cast<int>(msg.wParam) : kNoAscii; }
inline bool IsLetter(int key) { return (key >= 'A' && key <= 'Z') || (key >= 'a' && key <= 'z'); }

// The keystroke reaches the application as nothing.
inline void Swallow(MSG* msg) { msg->wParam = 0; }

}  // namespace uni

// The branches of ComposeUnicode, one a keyboard layout.
void ComposePhoneticUnicode(MSG* msg);
void ComposeTamil99Unicode(MSG* msg);
void ComposeTypewriterUnicode(MSG* msg);
