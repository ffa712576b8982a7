// Loads the glyph slots of the selected encoding (engine/eightbit/glyph_rows.cpp holds the bytes).
#include "engine/eightbit/glyph_tables.h"

#include "engine/core/composers.h"
#include "engine/core/process_state.h"
#include "engine/core/shared_state.h"

void LoadGlyphTables() {
  if (shared->encTscii) {
    FillGlyphSlots(&glyphs, kSlotsTscii);
    shared->syllableTables = 0;
  } else if (shared->encTab) {
    FillGlyphSlots(&glyphs, kSlotsTab);
    shared->syllableTables = 0;
  } else if (shared->encTam) {
    FillGlyphSlots(&glyphs, kSlotsTam);
    if (ThisHost().syllableGlyphs) shared->syllableTables = 1;
  } else if (shared->encLipi) {
    FillGlyphSlots(&glyphs, kSlotsLipi);
  } else if (shared->encTOld) {
    FillGlyphSlots(&glyphs, kSlotsTOld);
    shared->syllableTables = 1;
  } else if (shared->encUnicode) {
    LoadUnicodeTables();
    shared->syllableTables = 0;
  } else {
    FillGlyphSlots(&glyphs, kSlotsTscii);
    shared->encTscii = 1;
    shared->syllableTables = 0;
  }
}
