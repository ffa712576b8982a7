// Expected 8-bit text written in the composers' own notation and resolved against the golden
// listing of the glyph tables (data/glyph_tables.golden), not against the engine's tables:
//   V3 D0 C22 U7 UU7 S1 X2 P CI4 CII4   glyphs (P is specialGlyphs[3])
//   '5 '[ '-                           a literal character
//   sp cr tab                          space, Enter (0x0D), Tab (0x09)
// separated by spaces, e.g. "S6 C0 S1" for கொ.
#pragma once

#include <string>

// `encoding` is the number SetTamilEncodings takes: 1 TSCII, 2 TAB, 3 TAM, 4 LIPI, 5 T_OLD.
std::string Glyphs(int encoding, const std::string& notation);

// One golden entry: slot name as in GlyphTables, its index; 0 where the encoding has none.
int GoldenGlyph(int encoding, const std::string& slot, int index);
