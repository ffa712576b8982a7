// The one place the engine meets Win32. Built for Windows it is <windows.h>; built natively
// (tests) the same names come from a small recording fake with a host model behind it.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include "engine/testing/fake_windows.h"
#endif

// Variables of the block shared by every process that maps this build of the engine.
#ifdef _WIN32
#define VIREL_SHARED __attribute__((section("Virel"), shared))
#else
#define VIREL_SHARED
#endif
