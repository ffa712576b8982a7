#include "engine/core/composers.h"

// Arrives with its own change; until then keystrokes pass unchanged.
void ComposeTamil99_8(MSG*) {}
