#include "engine/core/app_profile.h"

#include <ctype.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "engine/core/process_state.h"

int PrefixCompareNoCase(const char* a, const char* b, int n) {
  for (int i = 0; i < n; ++i) {
    if (a[i] == 0) return b[i] == 0 ? 0 : -1;
    // Through unsigned char: executable names may hold bytes of 0x80 and above.
    int ca = toupper(static_cast<unsigned char>(a[i]));
    int cb = toupper(static_cast<unsigned char>(b[i]));
    if (ca < cb) return -1;
    if (ca > cb) return 1;
  }
  return 0;
}

static uint16_t ReadWord(const BYTE* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

static uint32_t ReadDword(const BYTE* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

unsigned ParseProductMajorVersion(const BYTE* data, size_t size) {
  // VS_VERSIONINFO: wLength, wValueLength, wType, the key "VS_VERSION_INFO" in UTF-16 with its
  // terminator, padding to a multiple of 4, then VS_FIXEDFILEINFO.
  const size_t kHeader = 6;
  const size_t kFixedInfoSize = 52;
  const size_t kProductVersionMs = 16;  // offset of dwProductVersionMS in VS_FIXEDFILEINFO
  const uint32_t kFixedInfoSignature = 0xFEEF04BD;
  if (data == nullptr || size < kHeader) return 0;
  size_t length = ReadWord(data);
  size_t valueLength = ReadWord(data + 2);
  if (length < kHeader || length > size || valueLength < kFixedInfoSize) return 0;
  size_t at = kHeader;
  for (;;) {
    if (at + 2 > length) return 0;
    uint16_t unit = ReadWord(data + at);
    at += 2;
    if (unit == 0) break;
  }
  at = (at + 3) & ~static_cast<size_t>(3);
  if (at + kFixedInfoSize > length) return 0;
  if (ReadDword(data + at) != kFixedInfoSignature) return 0;
  return ReadDword(data + at + kProductVersionMs) >> 16;
}

unsigned GetExeMajorVersion(const char* path) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  if (size == 0) return 0;
  BYTE* buffer = static_cast<BYTE*>(calloc(size, 1));
  if (buffer == nullptr) return 0;
  unsigned major = 0;
  if (GetFileVersionInfoA(path, 0, size, buffer)) major = ParseProductMajorVersion(buffer, size);
  free(buffer);
  return major;
}

namespace {

enum Comparison { kFive, kFirstN };
enum Condition { kAlways, kVersionAtMost5, kVersionAtLeast7 };

struct ProfileRow {
  const char* literal;
  Comparison comparison;
  int n;
  BYTE ApplicationProfile::*flag;
  Condition condition;
};

// In order: the first row that matches decides, and a failed version condition ends the search.
const ProfileRow kProfileRows[] = {
    {"DREAM", kFive, 5, &ApplicationProfile::profileDream, kAlways},
    {"EUDOR", kFive, 5, &ApplicationProfile::profileEudor, kAlways},
    {"PHOTO", kFive, 5, &ApplicationProfile::profilePhoto, kAlways},
    {"FRAME", kFive, 5, &ApplicationProfile::profileFrame, kAlways},
    {"ILLUS", kFive, 5, &ApplicationProfile::profileFrame, kAlways},
    {"SOFFI", kFive, 5, &ApplicationProfile::profileSoffi, kAlways},
    {"WINWO", kFive, 5, &ApplicationProfile::profileWinwo, kAlways},
    {"PM", kFirstN, 2, &ApplicationProfile::profileFrame, kAlways},
    {"PSP", kFirstN, 3, &ApplicationProfile::profilePsp, kVersionAtMost5},
    {"OPERA", kFive, 5, &ApplicationProfile::profileOpera, kVersionAtLeast7},
    {"NOTEP", kFive, 5, &ApplicationProfile::profileNotep, kAlways},
    {"POWER", kFive, 5, &ApplicationProfile::profilePower, kAlways},
    {"MSACC", kFive, 5, &ApplicationProfile::profileMsacc, kAlways},
    {"Thund", kFive, 5, &ApplicationProfile::profileMozil, kAlways},
    {"Mozil", kFive, 5, &ApplicationProfile::profileMozil, kAlways},
    {"FireF", kFive, 5, &ApplicationProfile::profileMozil, kAlways},
    {"KAVIT", kFive, 5, &ApplicationProfile::profileKavit, kAlways},
    {"WORDP", kFive, 5, &ApplicationProfile::profileWordp, kAlways},
    {"Yahoo", kFive, 5, &ApplicationProfile::profileYahoo, kAlways},
    {"abiwo", kFive, 5, &ApplicationProfile::profileAbiwo, kAlways},
    {"mspai", kFive, 5, &ApplicationProfile::profileMspai, kAlways},
};

bool RowMatches(const ProfileRow& row, const char* prefix) {
  if (row.comparison == kFive) return lstrcmpiA(prefix, row.literal) == 0;
  return PrefixCompareNoCase(row.literal, prefix, row.n) == 0;
}

bool ConditionHolds(Condition condition, const char* path) {
  switch (condition) {
    case kVersionAtMost5:
      return GetExeMajorVersion(path) <= 5;
    case kVersionAtLeast7:
      return GetExeMajorVersion(path) >= 7;
    default:
      return true;
  }
}

}  // namespace

void MatchApplicationProfile(const char* path) {
  const char* name = nullptr;
  for (size_t i = 1; path[0] != 0 && path[i] != 0; ++i) {
    if (path[i] == '\\') name = path + i + 1;
  }
  if (name == nullptr) return;
  char prefix[6] = {0};
  strncpy(prefix, name, 5);
  for (const ProfileRow& row : kProfileRows) {
    if (!RowMatches(row, prefix)) continue;
    if (ConditionHolds(row.condition, path)) profile.*row.flag = 1;
    return;
  }
}
