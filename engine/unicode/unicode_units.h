// The units of the Unicode composers' tables, zero-terminated and zero-filled, as LoadUnicodeTables
// copies them (the indices unicode_composer.h names: vowels 0 அ to 11 ஔ and 12 ஃ; consonants 1 க
// to 22 ஹ; signs 1 ா to 11 ௌ and 12 pulli; digits ௧ to ௯, ௰, ௱, ௲), and the literal sequences.
// Each unit is the low byte of a code point U+0Bxx. No platform code: the converter reads them too.
#pragma once

const int kUniSlotLength = 24;
extern const unsigned char kUniVowels[kUniSlotLength];
extern const unsigned char kUniConsonants[kUniSlotLength];
extern const unsigned char kUniSigns[kUniSlotLength];
extern const unsigned char kUniDigits[kUniSlotLength];

namespace uni {

// The sequences written as literal units rather than read from the tables.
extern const unsigned char kKsha[];       // க்ஷ
extern const unsigned char kKshaPulli[];  // க்ஷ்
extern const unsigned char kSri[];        // ஸ்ரீ

}  // namespace uni
