#include "engine/core/composers.h"

// The Unicode composers arrive with their own change; until then keystrokes pass unchanged.
void ComposeUnicode(MSG*) {}
