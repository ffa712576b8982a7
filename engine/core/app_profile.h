// The host application: recognised once from the executable name, and what that application
// gets from the engine. One value names the profile; one row of kHosts says how the host erases,
// how it takes text and what else it does with the engine's messages.
#pragma once

#include <stddef.h>

#include "engine/core/platform.h"

// At most one per process, chosen at set-up and never changed.
enum ApplicationProfile : BYTE {
  profileNone,
  profileDream,
  profileEudor,
  profilePhoto,
  profileFrame,
  profileSoffi,
  profileWinwo,
  profilePsp,
  profileOpera,
  profileNotep,
  profilePower,
  profileMsacc,
  profileMozil,
  profileKavit,
  profileWordp,
  profileYahoo,
  profileAbiwo,
  profileMspai,
  kProfileCount
};

// One backspace.
enum class EraseBy : BYTE {
  kSentPress,      // SendMessageA: WM_KEYDOWN 8, WM_CHAR 8, WM_KEYUP 8 (a control erases on one of them)
  kSentChar8,      // SendMessageA WM_CHAR 8
  kSentKeyDown,    // SendMessageA WM_KEYDOWN VK_BACK, no key-up
  kPostedChar8,    // PostMessageA WM_CHAR 8
  kPostedKeyDown,  // PostMessageA WM_KEYDOWN VK_BACK
  kKeyPress,       // a Backspace key press synthesized into the input stream
};

// 8-bit text.
enum class TextBy : BYTE {
  kPosted,       // PostMessageA WM_CHAR per byte, lParam 0
  kPostedAsKey,  // the same with lParam 1, as a keystroke's character
  kSent,         // SendMessageA WM_CHAR per byte
  kPaste,        // on the clipboard, pasted with a synthesized Ctrl+V
  kSentButLast,  // SendMessageA WM_CHAR for all but the last byte, which the keystroke itself carries
};

// Tamil-block code points.
enum class UnitsBy : BYTE {
  kPostedW,        // PostMessageW WM_CHAR
  kPostedUnichar,  // PostMessageA WM_UNICHAR
  kSentUnichar,    // SendMessageA WM_UNICHAR
  kPostedLowByte,  // PostMessageA WM_CHAR of the low byte alone
};

// One unit on its own (the zero width joiner).
enum class JoinerBy : BYTE { kPostedW, kSentW, kPostedUnichar };

struct HostRow {
  const char* name;
  EraseBy erase;         // how one backspace reaches it
  EraseBy editErase;     // the same in a plain "Edit" control outside a combo box
  TextBy bytes;
  UnitsBy units;
  JoinerBy joiner;
  BYTE keepsNul;       // a keystroke neutralised to NUL still leaves a character (one more backspace)
  BYTE composesKeyDown;     // its keystrokes are composed from the key-down, translated by the engine
  BYTE composesPosted;      // typed characters reach it with lParam 0, like posted ones
  BYTE backspaceIsText;     // Backspace is left to its character, not taken for navigation
  BYTE syllableGlyphs;      // its TAM font draws consonant + i and ii as single glyphs
};

extern const HostRow kHosts[kProfileCount];

// The row of this process's profile.
const HostRow& ThisHost();

// Sets the profile (if any) that the executable at path selects.
void MatchApplicationProfile(const char* path);

// Major part of the product version of the executable at path; 0 when it has no readable
// version resource.
unsigned GetExeMajorVersion(const char* path);

// Parses a version resource as GetFileVersionInfoA returns it; 0 unless it is well formed.
unsigned ParseProductMajorVersion(const BYTE* data, size_t size);

// 0 when the first n characters of a and b agree, ignoring case; -1 or 1 otherwise.
int PrefixCompareNoCase(const char* a, const char* b, int n);
