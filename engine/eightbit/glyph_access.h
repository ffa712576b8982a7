// The glyph slots read by the short names the 8-bit composers' rules use, and the keystroke
// as a character. A composer writes `using namespace glyph8;` and then V(kVowA), C(i), S(kSignE).
//   V(n) vowels       D(i) deadConsonants   C(i) consonants     U(i) consonantU
//   UU(i) consonantUu S(n) vowelSigns       X(n) specialGlyphs  P()  the separate pulli
//   CI(i) consonantI  CII(i) consonantIi
// Indices are the fixed ones of glyph_tables.h or scan positions below kConsonantCount, so no
// read leaves its slot; an entry an encoding lacks reads 0.
#pragma once

#include "engine/core/platform.h"
#include "engine/core/process_state.h"
#include "engine/eightbit/glyph_tables.h"

namespace glyph8 {

inline BYTE V(int n) { return glyphs.vowels[n]; }
inline BYTE D(int i) { return glyphs.deadConsonants[i]; }
inline BYTE C(int i) { return glyphs.consonants[i]; }
inline BYTE U(int i) { return glyphs.consonantU[i]; }
inline BYTE UU(int i) { return glyphs.consonantUu[i]; }
inline BYTE S(int n) { return glyphs.vowelSigns[n]; }
inline BYTE X(int n) { return glyphs.specialGlyphs[n]; }
inline BYTE P() { return glyphs.specialGlyphs[kSpecialPulli]; }
inline BYTE CI(int i) { return glyphs.consonantI[i]; }
inline BYTE CII(int i) { return glyphs.consonantIi[i]; }

// The character of a keystroke, 0 to 0x7F, or kNoAscii for anything else (a widened byte that
// SOFFI's translation left, a UTF-16 unit): such a value is a non-letter and never an index.
const int kNoAscii = -1;
inline int KeyChar(const MSG& msg) {
  return msg.wParam <= 0x7F ? static_cast<int>(msg.wParam) : kNoAscii;
}

inline bool IsLatinLetter(int k) { return (k >= 'A' && k <= 'Z') || (k >= 'a' && k <= 'z'); }

// Index of the consonant glyph b (first match), or -1; 0 is never a consonant, since what an
// encoding lacks reads 0.
inline int ConsonantIndex(BYTE b) {
  if (b == 0) return -1;
  for (int i = 0; i < kConsonantCount; ++i) {
    if (C(i) == b) return i;
  }
  return -1;
}

}  // namespace glyph8
