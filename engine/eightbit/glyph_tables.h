// The glyph slots (GlyphTables in glyph_slots.h; the engine's copy is `glyphs`) and their loader
// (LoadGlyphTables in composers.h). Index meanings are the same in every encoding:
//   vowels          0 அ 1 ஆ 2 இ 3 ஈ 4 உ 5 ஊ 6 எ 7 ஏ 8 ஐ 9 ஒ 10 ஓ 11 ஃ
//   consonants etc. the consonant index below; consonantU/consonantUu cover 0 to 17
//   vowelSigns      0 ா (copy) 1 ா 2 ி 3 ீ 4 ு 5 ூ 6 ெ 7 ே 8 ை 9 ௗ (au length mark)
//   specialGlyphs   0 டி 1 டீ 2 ஸ்ரீ 3 separate pulli (TAB, TAM; LIPI's "-" glyph)
// Consonant index: 0 க 1 ங 2 ச 3 ஞ 4 ட 5 ண 6 த 7 ந 8 ப 9 ம 10 ய 11 ர 12 ல 13 வ 14 ழ 15 ள
// 16 ற 17 ன, then the grantha 18 ஸ 19 ஷ 20 ஜ 21 ஹ 22 க்ஷ.
#pragma once

#include "engine/eightbit/glyph_slots.h"

// Indices that composers name.
enum VowelIndex { kVowA = 0, kVowAa, kVowI, kVowIi, kVowU, kVowUu, kVowE, kVowEe, kVowAi, kVowO, kVowOo, kVowAytham };
enum SignIndex { kSignAaCopy = 0, kSignAa, kSignI, kSignIi, kSignU, kSignUu, kSignE, kSignEe, kSignAi, kSignAuLength };
enum SpecialIndex { kSpecialTi = 0, kSpecialTii, kSpecialSri, kSpecialPulli };
const int kConsonantCount = 23;
const int kTamilConsonantCount = 18;  // 0 to 17; 18 to 22 are the grantha
