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

// What each application gets. A host without a profile may use either kind of control: it gets a
// whole Backspace press. Synthesized Backspaces (EUDOR) erase only text that is pasted, which
// also comes through the input stream; before posted text delivery sends a press instead. The
// joiner goes before the sign it stands for: sent where the Unicode text is sent (ABIWO).
const HostRow kHosts[kProfileCount] = {
    // name    erase                    in a plain Edit control  8-bit text             Unicode text             joiner                    the five flags of HostRow
    {"none",  EraseBy::kSentPress,     EraseBy::kSentPress,     TextBy::kPosted,       UnitsBy::kPostedW,       JoinerBy::kPostedW,       0, 0, 0, 0, 0},
    {"DREAM", EraseBy::kSentChar8,     EraseBy::kSentChar8,     TextBy::kPaste,        UnitsBy::kPostedW,       JoinerBy::kPostedW,       0, 0, 0, 0, 0},
    {"EUDOR", EraseBy::kKeyPress,      EraseBy::kKeyPress,      TextBy::kPaste,        UnitsBy::kPostedW,       JoinerBy::kPostedW,       0, 0, 0, 1, 0},
    {"PHOTO", EraseBy::kPostedChar8,   EraseBy::kPostedChar8,   TextBy::kPosted,       UnitsBy::kPostedW,       JoinerBy::kPostedW,       0, 0, 0, 0, 0},
    {"FRAME", EraseBy::kSentChar8,     EraseBy::kSentChar8,     TextBy::kSentButLast,  UnitsBy::kPostedW,       JoinerBy::kSentW,         0, 0, 0, 0, 0},
    {"SOFFI", EraseBy::kSentPress,     EraseBy::kSentPress,     TextBy::kPostedAsKey,  UnitsBy::kPostedUnichar, JoinerBy::kPostedUnichar, 0, 1, 0, 0, 0},
    {"WINWO", EraseBy::kPostedChar8,   EraseBy::kPostedChar8,   TextBy::kPosted,       UnitsBy::kPostedW,       JoinerBy::kPostedW,       1, 0, 0, 0, 0},
    {"PSP",   EraseBy::kPostedChar8,   EraseBy::kPostedChar8,   TextBy::kPosted,       UnitsBy::kPostedW,       JoinerBy::kPostedW,       0, 0, 0, 0, 0},
    {"OPERA", EraseBy::kPostedKeyDown, EraseBy::kPostedKeyDown, TextBy::kPosted,       UnitsBy::kPostedW,       JoinerBy::kPostedW,       0, 0, 0, 0, 0},
    {"NOTEP", EraseBy::kPostedChar8,   EraseBy::kPostedChar8,   TextBy::kPosted,       UnitsBy::kPostedW,       JoinerBy::kPostedW,       0, 0, 0, 0, 0},
    {"POWER", EraseBy::kPostedKeyDown, EraseBy::kPostedKeyDown, TextBy::kPosted,       UnitsBy::kPostedW,       JoinerBy::kPostedW,       0, 0, 1, 0, 0},
    {"MSACC", EraseBy::kSentChar8,     EraseBy::kSentChar8,     TextBy::kPosted,       UnitsBy::kPostedW,       JoinerBy::kPostedW,       0, 0, 0, 0, 0},
    {"MOZIL", EraseBy::kSentChar8,     EraseBy::kSentChar8,     TextBy::kPosted,       UnitsBy::kPostedW,       JoinerBy::kPostedW,       0, 0, 0, 0, 0},
    {"KAVIT", EraseBy::kSentPress,     EraseBy::kSentChar8,     TextBy::kSent,         UnitsBy::kPostedW,       JoinerBy::kSentW,         0, 0, 0, 0, 1},
    {"WORDP", EraseBy::kSentPress,     EraseBy::kSentPress,     TextBy::kSent,         UnitsBy::kPostedW,       JoinerBy::kSentW,         0, 0, 0, 0, 1},
    {"YAHOO", EraseBy::kSentPress,     EraseBy::kSentPress,     TextBy::kPosted,       UnitsBy::kPostedLowByte, JoinerBy::kPostedW,       0, 0, 0, 0, 0},
    {"ABIWO", EraseBy::kSentKeyDown,   EraseBy::kSentKeyDown,   TextBy::kSent,         UnitsBy::kSentUnichar,   JoinerBy::kSentW,         0, 0, 0, 0, 0},
    {"MSPAI", EraseBy::kPostedChar8,   EraseBy::kPostedChar8,   TextBy::kPosted,       UnitsBy::kPostedW,       JoinerBy::kPostedW,       0, 0, 0, 0, 0},
};

const HostRow& ThisHost() { return kHosts[profile < kProfileCount ? profile : profileNone]; }

namespace {

enum Comparison { kFive, kFirstN };
enum Condition { kAlways, kVersionAtMost5, kVersionAtLeast7 };

struct ProfileRow {
  const char* literal;
  Comparison comparison;
  int n;
  ApplicationProfile match;
  Condition condition;
};

// In order: the first row that matches decides, and a failed version condition ends the search.
const ProfileRow kProfileRows[] = {
    {"DREAM", kFive, 5, profileDream, kAlways},
    {"EUDOR", kFive, 5, profileEudor, kAlways},
    {"PHOTO", kFive, 5, profilePhoto, kAlways},
    {"FRAME", kFive, 5, profileFrame, kAlways},
    {"ILLUS", kFive, 5, profileFrame, kAlways},
    {"SOFFI", kFive, 5, profileSoffi, kAlways},
    {"WINWO", kFive, 5, profileWinwo, kAlways},
    {"PM", kFirstN, 2, profileFrame, kAlways},
    {"PSP", kFirstN, 3, profilePsp, kVersionAtMost5},
    {"OPERA", kFive, 5, profileOpera, kVersionAtLeast7},
    {"NOTEP", kFive, 5, profileNotep, kAlways},
    {"POWER", kFive, 5, profilePower, kAlways},
    {"MSACC", kFive, 5, profileMsacc, kAlways},
    {"Thund", kFive, 5, profileMozil, kAlways},
    {"Mozil", kFive, 5, profileMozil, kAlways},
    {"FireF", kFive, 5, profileMozil, kAlways},
    {"KAVIT", kFive, 5, profileKavit, kAlways},
    {"WORDP", kFive, 5, profileWordp, kAlways},
    {"Yahoo", kFive, 5, profileYahoo, kAlways},
    {"abiwo", kFive, 5, profileAbiwo, kAlways},
    {"mspai", kFive, 5, profileMspai, kAlways},
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
    if (ConditionHolds(row.condition, path)) profile = row.match;
    return;
  }
}
