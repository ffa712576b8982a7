// How the Unicode composers hand text to delivery. A rule builds its units in composeText
// (Text) and sends them in one of four forms; each form neutralises the keystroke.
#pragma once

#include "engine/core/platform.h"

namespace uni {

// Builds composeText from up to four units; the text ends at the first zero unit, so a unit
// read from a slot that was never loaded cuts it there.
const BYTE* Text(BYTE a, BYTE b = 0, BYTE c = 0, BYTE d = 0);
// Copies a zero-terminated literal sequence (at most four units) into composeText.
const BYTE* Literal(const BYTE* literal);

// The last unit of composeText, or 0 when it holds an empty text: what the host really got.
BYTE LastSent();

// Appends the text.
void Emit(MSG* msg, const BYTE* text);
// Deletes the unit before the caret, then appends the text.
void Replace(MSG* msg, const BYTE* text);
// Deletes one unit. In a WINWO host the extra backspace of delivery is that one.
void DropOne(MSG* msg);
// Appends the text without the extra backspace of a WINWO host (a second call in one keystroke).
void EmitNoExtra(MSG* msg, const BYTE* text);

}  // namespace uni
