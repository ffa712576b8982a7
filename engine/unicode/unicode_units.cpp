// Low bytes of the Tamil-block code points (U+0B80 to U+0BFF) that the Unicode composers write,
// and the literal sequences. No platform code: the engine loads these (LoadUnicodeTables) and the
// text converter reads them.
#include "engine/unicode/unicode_units.h"


const unsigned char kUniVowels[kUniSlotLength] = {
    0x85,  // 0 அ
    0x86,  // 1 ஆ
    0x87,  // 2 இ
    0x88,  // 3 ஈ
    0x89,  // 4 உ
    0x8A,  // 5 ஊ
    0x8E,  // 6 எ
    0x8F,  // 7 ஏ
    0x90,  // 8 ஐ
    0x92,  // 9 ஒ
    0x93,  // 10 ஓ
    0x94,  // 11 ஔ
    0x83,  // 12 ஃ
    0x00,
};

const unsigned char kUniConsonants[kUniSlotLength] = {
    0x95,  // 0 க (copy of 1, never read)
    0x95,  // 1 க
    0x99,  // 2 ங
    0x9A,  // 3 ச
    0x9E,  // 4 ஞ
    0x9F,  // 5 ட
    0xA3,  // 6 ண
    0xA4,  // 7 த
    0xA8,  // 8 ந
    0xAA,  // 9 ப
    0xAE,  // 10 ம
    0xAF,  // 11 ய
    0xB0,  // 12 ர
    0xB2,  // 13 ல
    0xB5,  // 14 வ
    0xB4,  // 15 ழ
    0xB3,  // 16 ள
    0xB1,  // 17 ற
    0xA9,  // 18 ன
    0xB8,  // 19 ஸ
    0xB7,  // 20 ஷ
    0x9C,  // 21 ஜ
    0xB9,  // 22 ஹ
    0x00,
};

const unsigned char kUniSigns[kUniSlotLength] = {
    0xBE,  // 0 ா (copy of 1, never read)
    0xBE,  // 1 ா
    0xBF,  // 2 ி
    0xC0,  // 3 ீ
    0xC1,  // 4 ு
    0xC2,  // 5 ூ
    0xC6,  // 6 ெ
    0xC7,  // 7 ே
    0xC8,  // 8 ை
    0xCA,  // 9 ொ
    0xCB,  // 10 ோ
    0xCC,  // 11 ௌ
    0xCD,  // 12 ் pulli
    0x00,
};

const unsigned char kUniDigits[kUniSlotLength] = {
    0xE7, 0xE8, 0xE9, 0xEA, 0xEB, 0xEC, 0xED, 0xEE, 0xEF,  // ௧ to ௯
    0xF0,                                                  // ௰ ten
    0xF1,                                                  // ௱ hundred
    0xF2,                                                  // ௲ thousand
    0x00,
};

namespace uni {

const unsigned char kKsha[] = {0x95, 0xCD, 0xB7, 0};
const unsigned char kKshaPulli[] = {0x95, 0xCD, 0xB7, 0xCD, 0};
const unsigned char kSri[] = {0xB8, 0xCD, 0xB0, 0xC0, 0};

}  // namespace uni
