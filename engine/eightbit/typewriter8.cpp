#include "engine/core/composers.h"

// Arrives with its own change; until then keystrokes pass unchanged.
void ComposeTypewriter8(MSG*) {}
