// Fuzzes the reader of an executable's version resource: the bytes are the resource, given once
// as an exact-size copy (a read past it is caught by the address sanitizer) and once through the
// path the set-up takes (GetFileVersionInfoA into a buffer of the size the system reports).
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "engine/core/app_profile.h"
#include "engine/testing/fake_win32.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<BYTE> exact(data, data + size);
  unsigned major = ParseProductMajorVersion(exact.empty() ? nullptr : exact.data(), exact.size());
  if (major > 0xFFFF) abort();
  fake::Reset();
  fake::world().versionResource = exact;
  if (GetExeMajorVersion("C:\\Program Files\\Host\\psp.exe") != major) abort();
  return 0;
}
