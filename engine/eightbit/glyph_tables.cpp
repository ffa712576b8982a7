// Loads the glyph slots of the selected encoding (engine/eightbit/glyph_rows.cpp holds the bytes).
#include "engine/eightbit/glyph_tables.h"

#include "engine/core/composers.h"
#include "engine/core/process_state.h"
#include "engine/core/shared_state.h"

void LoadGlyphTables() {
  if (encTscii) {
    FillGlyphSlots(&glyphs, kSlotsTscii);
    syllableTables = 0;
  } else if (encTab) {
    FillGlyphSlots(&glyphs, kSlotsTab);
    syllableTables = 0;
  } else if (encTam) {
    FillGlyphSlots(&glyphs, kSlotsTam);
    if (ThisHost().syllableGlyphs) syllableTables = 1;
  } else if (encLipi) {
    FillGlyphSlots(&glyphs, kSlotsLipi);
  } else if (encTOld) {
    FillGlyphSlots(&glyphs, kSlotsTOld);
    syllableTables = 1;
  } else if (encUnicode) {
    LoadUnicodeTables();
    syllableTables = 0;
  } else {
    FillGlyphSlots(&glyphs, kSlotsTscii);
    encTscii = 1;
    syllableTables = 0;
  }
}
