// Phonetic layout, typed through the hook into an ordinary host.
#include "engine/unicode/tests/unicode_typing.h"

#include "engine/core/process_state.h"

namespace {

using unitest::Case;
using unitest::ExpectTyped;
const int kPhonetic = kKbdPhonetic;

TEST(Phonetic, VowelKeysAfterPulliReplaceIt) {
  ExpectTyped(kPhonetic, {
      {"a keeps the inherent vowel", "ka", "க"},
      {"A", "kA", "கா"},
      {"i", "ki", "கி"},
      {"I", "kI", "கீ"},
      {"u", "ku", "கு"},
      {"U", "kU", "கூ"},
      {"e", "ke", "கெ"},
      {"E", "kE", "கே"},
      {"o", "ko", "கொ"},
      {"O", "kO", "கோ"},
      {"after the ksha with pulli", "xa", "க்ஷ"},
      {"sign after ksha", "xi", "க்ஷி"},
  });
}

TEST(Phonetic, DoubledVowelKeysLengthenTheSign) {
  ExpectTyped(kPhonetic, {
      {"aa", "kaa", "கா"},
      {"ii", "kii", "கீ"},
      {"uu", "kuu", "கூ"},
      {"ee", "kee", "கே"},
      {"oo", "koo", "கோ"},
      {"ai", "kai", "கை"},
      {"au", "kau", "கௌ"},
      {"a third a is an independent vowel", "kaaa", "காஅ"},
      {"e after the kept a stands alone", "kae", "கஎ"},
      {"o after the kept a stands alone", "kao", "கஒ"},
      {"A after the kept a stands alone", "kaA", "கஆ"},
  });
}

TEST(Phonetic, IndependentVowels) {
  ExpectTyped(kPhonetic, {
      {"a", "a", "அ"},     {"aa", "aa", "ஆ"},   {"A", "A", "ஆ"},   {"i", "i", "இ"},
      {"ii", "ii", "ஈ"},   {"I", "I", "ஈ"},     {"u", "u", "உ"},   {"uu", "uu", "ஊ"},
      {"U", "U", "ஊ"},     {"e", "e", "எ"},     {"ee", "ee", "ஏ"}, {"E", "E", "ஏ"},
      {"o", "o", "ஒ"},     {"oo", "oo", "ஓ"},   {"O", "O", "ஓ"},   {"ai", "ai", "ஐ"},
      {"au", "au", "ஔ"},   {"q aytham", "q", "ஃ"},
      {"aytham after a consonant", "kq", "க்ஃ"},
      {"long vowels do not lengthen further", "EeIi", "ஏஎஈஇ"},
  });
}

TEST(Phonetic, ConsonantKeysWriteTheConsonantWithPulli) {
  ExpectTyped(kPhonetic, {
      {"k", "k", "க்"},   {"c", "c", "ச்"},   {"s", "s", "ச்"},   {"d", "d", "ட்"},
      {"t", "t", "ட்"},   {"N", "N", "ண்"},   {"w", "w", "ந்"},   {"b", "b", "ப்"},
      {"p", "p", "ப்"},   {"m", "m", "ம்"},   {"y", "y", "ய்"},   {"l", "l", "ல்"},
      {"v", "v", "வ்"},   {"z", "z", "ழ்"},   {"L", "L", "ள்"},   {"R", "R", "ற்"},
      {"J", "J", "ஜ்"},   {"S", "S", "ஸ்"},   {"j", "j", "ஜ்"},   {"h", "h", "ஹ்"},
      {"r", "r", "ர்"},   {"x", "x", "க்ஷ்"},
  });
}

TEST(Phonetic, NIsDentalWhereAWordBegins) {
  ExpectTyped(kPhonetic, {
      {"at the start", "nanRi", "நன்றி"},
      {"after space", " n", " ந்"},
      {"after comma", ",n", ",ந்"},
      {"after full stop", ".n", ".ந்"},
      {"after a letter", "kan", "கன்"},
      {"after Enter", "ka\rn", "க\rந்"},
      {"after Tab", "ka\tn", "க\tந்"},
      {"after a letter that passed", "5n", "5ன்"},
      {"the separator mark survives keys that pass", " (n", " (ந்"},
  });
}

TEST(Phonetic, JoinsReplaceTheConsonantBefore) {
  ExpectTyped(kPhonetic, {
      {"ng", "ng", "ங்"},
      {"nj", "nj", "ஞ்"},
      {"n-", "n-", "ந்"},
      {"S g joins like n", "Sg", "ங்"},
      {"S j", "Sj", "ஞ்"},
      {"S -", "S-", "ந்"},
      {"th", "th", "த்"},
      {"dh", "dh", "த்"},
      {"sh", "sh", "ஷ்"},
      {"ch", "ch", "ஷ்"},
      {"sr", "sr", "ஸ்ரீ"},
      {"cr", "cr", "ஸ்ரீ"},
      {"sr leaves nothing to build on", "sri", "ஸ்ரீஇ"},
      {"vowel after a join", "thaa", "தா"},
      {"nga", "nga", "ங"},
      {"word with two joins", "pa ngkam", "ப ங்கம்"},
  });
}

TEST(Phonetic, KeysWithoutAJoinStandAlone) {
  ExpectTyped(kPhonetic, {
      {"g passes", "g", "g"},
      {"hyphen passes", "-", "-"},
      {"g after k", "kg", "க்g"},
      {"h after k", "kh", "க்ஹ்"},
      {"h after n", "nh", "ந்ஹ்"},
      {"j after k", "kj", "க்ஜ்"},
      {"r after t", "tr", "ட்ர்"},
      {"g after a kept a", "nag", "நg"},
      {"a join needs the key just before", "nkg", "ந்க்g"},
      {"a swallowed letter ends the join", "nfg", "ந்g"},
      {"C", "C", "ஸ்ரீ"},
      {"C leaves nothing to build on", "Ci", "ஸ்ரீஇ"},
  });
}

TEST(Phonetic, UnmappedLettersAreSwallowedAndOtherKeysPass) {
  ExpectTyped(kPhonetic, {
      {"unmapped letters", "fBDFGHKMPQTVWXYZ", ""},
      {"a swallowed letter keeps the pulli", "kFa", "க"},
      {"digits and punctuation", "12;[~", "12;[~"},
      {"separators", " ,.", " ,."},
  });
}

TEST(Phonetic, BackspaceAndEnterLeaveNothingToBuildOn) {
  ExpectTyped(kPhonetic, {
      {"Backspace", "k\ba", "கஅ"},
      {"Enter", "k\ra", "க்\rஅ"},
      {"Backspace after a vowel sign", "ku\bu", "கஉ"},
  });
}

// A key that reaches the host as its own character ends what came before: no later key may
// erase it or attach a sign to it.
TEST(Phonetic, NothingBuildsOnACharacterThatPassed) {
  ExpectTyped(kPhonetic, {
      {"digit between n and g", "n5g", "ந்5g"},
      {"digit between k and a", "k5a", "க்5அ"},
      {"g between k and a", "kga", "க்gஅ"},
      {"hyphen between k and i", "k-i", "க்-இ"},
      {"digit between the kept a and i", "ka5i", "க5இ"},
      {"digit between a and a", "a5a", "அ5அ"},
      {"digit between i and i", "ki5i", "கி5இ"},
      {"digit between t and h", "t5h", "ட்5ஹ்"},
      {"bracket between s and r", "s(r", "ச்(ர்"},
      {"code above z", "k{a", "க்{அ"},
      {"tab", "k\ta", "க்\tஅ"},
  });
}

// What each key leaves for the next one, seen in the text.
TEST(Phonetic, WhatAKeyLeavesForTheNext) {
  ExpectTyped(kPhonetic, {
      {"the kept a makes i a sign", "kai", "கை"},
      {"a space makes n ந்", "ka n", "க ந்"},
      {"after sr a vowel stands alone", "sri", "ஸ்ரீஇ"},
      {"a digit after n leaves nothing to join", "n5g", "ந்5g"},
  });
}

}  // namespace
