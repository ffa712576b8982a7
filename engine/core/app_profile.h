// Recognition of the host application from its executable name.
#pragma once

#include <stddef.h>

#include "engine/core/platform.h"

// Sets the one profile flag (if any) that the executable at path selects.
void MatchApplicationProfile(const char* path);

// Major part of the product version of the executable at path; 0 when it has no readable
// version resource.
unsigned GetExeMajorVersion(const char* path);

// Parses a version resource as GetFileVersionInfoA returns it; 0 unless it is well formed.
unsigned ParseProductMajorVersion(const BYTE* data, size_t size);

// 0 when the first n characters of a and b agree, ignoring case; -1 or 1 otherwise.
int PrefixCompareNoCase(const char* a, const char* b, int n);
