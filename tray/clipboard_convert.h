// The icon menu's converter items: the clipboard's text from the selected 8-bit encoding to
// Unicode and back, and the chart of the selected keyboard layout (clipboard_convert.cpp).
#pragma once

#include "tray/tray.h"

// Appends the three items (between separators) to the icon's menu.
void AppendConverterItems(HMENU menu);
// Names the selected encoding in the two clipboard items; greys them while the clipboard holds no
// text or Unicode is selected.
void UpdateConverterItems(HMENU menu);
// Carries out a chosen item; false for an id that is none of them.
bool HandleConverterItem(UINT id);
