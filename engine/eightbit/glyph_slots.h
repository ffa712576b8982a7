// The nine glyph slots of an 8-bit Tamil encoding, each a zero-terminated byte string whose
// index meaning is the same in every encoding (glyph_tables.h lists them). No platform code:
// the engine keeps one copy per process (`glyphs`), the text converter one per encoding.
#pragma once

const int kGlyphSlotSize = 24;
struct GlyphTables {
  unsigned char vowels[kGlyphSlotSize];
  unsigned char deadConsonants[kGlyphSlotSize];
  unsigned char consonants[kGlyphSlotSize];
  unsigned char consonantU[kGlyphSlotSize];
  unsigned char consonantUu[kGlyphSlotSize];
  unsigned char vowelSigns[kGlyphSlotSize];
  unsigned char specialGlyphs[kGlyphSlotSize];
  unsigned char consonantI[kGlyphSlotSize];
  unsigned char consonantIi[kGlyphSlotSize];
};

// Encoding numbers as SetTamilEncodings takes them, for the 8-bit encodings.
enum GlyphSlotsEncoding { kSlotsTscii = 1, kSlotsTab = 2, kSlotsTam = 3, kSlotsLipi = 4, kSlotsTOld = 5 };

// Copies into *t the strings the encoding loads, each with its terminator; the slots it does not
// load (consonantI and consonantIi in TSCII and TAB) keep what they held. Other numbers copy nothing.
void FillGlyphSlots(GlyphTables* t, int encoding);
