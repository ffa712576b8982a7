// The WH_GETMESSAGE hook procedure and the once-per-process set-up it runs.
#pragma once

#include "engine/core/platform.h"

LRESULT CALLBACK KeyHookProc(int code, WPARAM wParam, LPARAM lParam);

// Recognises the host, loads the tables of the selected encoding and turns Tamil on.
void SetUpProcess();
