// Entry points of the composers. Each takes the intercepted message, sends what it writes
// through the delivery routines and may rewrite the message's wParam.
#pragma once

#include "engine/core/platform.h"

void ComposeUnicode(MSG* msg);
// A character reached the application without the Unicode composers (Tamil off, an
// auto-repeat): nothing they wrote before may be built on.
void ForgetUnicodeContext();
void ComposePhonetic8(MSG* msg);
void ComposeTamil99_8(MSG* msg);
void ComposeTypewriter8(MSG* msg);

// Fills the glyph slots of the selected encoding (or the Unicode tables) and sets syllableTables.
void LoadGlyphTables();
void LoadUnicodeTables();
