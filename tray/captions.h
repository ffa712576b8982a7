// Everything the settings window says: the English and the Tamil caption sets, the toggle key
// names and the help text. Tamil captions are TSCII bytes, shown with the "TSCVirel" face; in
// TSCII the signs of e, ee and ai come before their consonant.
#pragma once

#include <cstdint>

const int kEncodingCount = 6;
const int kKeyboardCount = 4;
const int kToggleKeyCount = 38;
// Every caption and list item fits a buffer of this size, terminator included.
const int kCaptionBufferSize = 20;

struct CaptionSet {
  const char* encodingLabel;
  const char* keyboardLabel;
  const char* toggleKeyLabel;
  const char* stop;         // the button while nothing has been changed
  const char* saveChanges;  // the button once a list selection has changed
  const char* help;
  const char* tamilDisplay;
  const char* encodings[kEncodingCount];  // by encoding number
  const char* keyboards[kKeyboardCount];  // by keyboard number
  const char* fontFace;                   // nullptr: the system's default face
};

extern const CaptionSet kEnglishCaptions;
extern const CaptionSet kTamilCaptions;

// The Tamil set for displayLang 1, the English set for any other value.
const CaptionSet& CaptionsFor(uint32_t displayLang);

// "A".."Z", "F1".."F12": the same in both sets, always combined with Alt.
extern const char* const kToggleKeyNames[kToggleKeyCount];

// Lines separated by a single line feed.
extern const char kHelpText[];
