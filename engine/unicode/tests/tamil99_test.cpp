// Tamil99 layout, typed through the hook into an ordinary host.
#include "engine/unicode/tests/unicode_typing.h"

#include "engine/core/process_state.h"

namespace {

using unitest::Case;
using unitest::ExpectTyped;
const int kTamil99 = kKbdTamil99;

TEST(Tamil99, VowelKeysAlone) {
  ExpectTyped(kTamil99, {
      {"a", "a", "அ"}, {"q", "q", "ஆ"}, {"s", "s", "இ"}, {"w", "w", "ஈ"}, {"d", "d", "உ"},
      {"e", "e", "ஊ"}, {"g", "g", "எ"}, {"t", "t", "ஏ"}, {"r", "r", "ஐ"}, {"c", "c", "ஒ"},
      {"x", "x", "ஓ"}, {"z", "z", "ஔ"}, {"f", "f", "ஃ"}, {"F", "F", "ஃ"},
      {"a vowel after a vowel", "sd", "இஉ"},
  });
}

TEST(Tamil99, VowelKeysAfterAConsonantGiveTheSign) {
  ExpectTyped(kTamil99, {
      {"q", "hq", "கா"}, {"s", "hs", "கி"}, {"w", "hw", "கீ"}, {"d", "hd", "கு"},
      {"e", "he", "கூ"}, {"g", "hg", "கெ"}, {"t", "ht", "கே"}, {"r", "hr", "கை"},
      {"c", "hc", "கொ"}, {"x", "hx", "கோ"}, {"z", "hz", "கௌ"},
      {"f is pulli", "hf", "க்"},
      {"F stays aytham", "hF", "கஃ"},
      {"a is swallowed", "ha", "க"},
      {"after a the vowel stands alone", "haq", "கஆ"},
      {"after a sign the vowel stands alone", "hqq", "காஆ"},
      {"after pulli the vowel stands alone", "hfq", "க்ஆ"},
  });
}

TEST(Tamil99, ConsonantKeys) {
  ExpectTyped(kTamil99, {
      {"h", "h", "க"}, {"b", "b", "ங"}, {"[", "[", "ச"}, {"]", "]", "ஞ"}, {"o", "o", "ட"},
      {"p", "p", "ண"}, {"l", "l", "த"}, {";", ";", "ந"}, {"j", "j", "ப"}, {"k", "k", "ம"},
      {"'", "'", "ய"}, {"m", "m", "ர"}, {"n", "n", "ல"}, {"v", "v", "வ"}, {"/", "/", "ழ"},
      {"y", "y", "ள"}, {"u", "u", "ற"}, {"i", "i", "ன"}, {"Q", "Q", "ஸ"}, {"W", "W", "ஷ"},
      {"E", "E", "ஜ"}, {"R", "R", "ஹ"},
  });
}

TEST(Tamil99, AutomaticPulli) {
  ExpectTyped(kTamil99, {
      {"doubled", "kk", "ம்ம"},
      {"not a third time", "kkk", "ம்மம"},
      {"a fourth gets it again", "kkkk", "ம்மம்ம"},
      {"ங க", "bh", "ங்க"},
      {"ஞ ச", "][", "ஞ்ச"},
      {"ண ட", "po", "ண்ட"},
      {"ந த", ";l", "ந்த"},
      {"ம ப", "kj", "ம்ப"},
      {"ன ற", "iu", "ன்ற"},
      {"pairs work one way only", "hb", "கங"},
      {"other consonants", "hk", "கம"},
      {"typed pulli needs none", "hfh", "க்க"},
      {"a keeps them apart", "hah", "கக"},
      {"a sign keeps them apart", "hsh", "கிக"},
      {"grantha doubled", "WW", "ஷ்ஷ"},
  });
}

TEST(Tamil99, KshaAndSri) {
  ExpectTyped(kTamil99, {
      {"T", "T", "க்ஷ"},
      {"T then a sign", "Tq", "க்ஷா"},
      {"T then pulli", "Tf", "க்ஷ்"},
      {"T is a conjunct: ஷ after it is not doubled", "TW", "க்ஷஷ"},
      {"no pulli from the consonant before T", "hTh", "கக்ஷக"},
      {"Y", "Y", "ஸ்ரீ"},
      {"Y then a vowel", "Yq", "ஸ்ரீஆ"},
      {"Y then a doubled consonant", "hYh", "கஸ்ரீக"},
  });
}

TEST(Tamil99, CaretState) {
  ExpectTyped(kTamil99, {
      {"caret is a space", "^", " "},
      {"bare sign after the caret", "^q", " ா"},
      {"pulli after the caret", "^f", " ்"},
      {"full stop", "^.", "\u00B7"},
      {"zero", "^0", "\""},
      {"nine", "^9", "\""},
      {"seven", "^7", "'"},
      {"eight", "^8", "'"},
      {"C", "^C", "\u00A9"},
      {"S", "^S", "\u00A0"},
      {"two carets", "^^", " ^"},
      {"consonant after the caret", "^h", " க"},
      {"after a symbol the state is over", "^.q.", "\u00B7ஆ."},
      {"caret after a consonant", "h^q", "க ா"},
      {"caret after a space", "h ^q", "க  ா"},
  });
}

TEST(Tamil99, SymbolKeysOutsideTheCaretState) {
  ExpectTyped(kTamil99, {
      {"full stop and digits pass", ".0978", ".0978"},
      {"C and S are swallowed", "CS", ""},
      {"after a consonant", "h.q", "க.ஆ"},
  });
}

TEST(Tamil99, ShiftedLettersTypeThePunctuationOfLetterKeys) {
  ExpectTyped(kTamil99, {
      {"O", "O", "["}, {"P", "P", "]"}, {"K", "K", "\""}, {"L", "L", ":"},
      {":", ":", ";"}, {"quotation mark", "\"", "'"}, {"M", "M", "/"},
  });
}

// A character the host got from the keystroke itself takes no sign and no pulli.
TEST(Tamil99, NothingBuildsOnACharacterThatPassed) {
  ExpectTyped(kTamil99, {
      {"no pulli on the bracket", "hOh", "க[க"},
      {"no pulli on the brace", "kPk", "ம]ம"},
      {"no pair across the quote", "bKh", "ங\"க"},
      {"no sign on the bracket", "hOq", "க[ஆ"},
      {"no sign on the colon", "hLs", "க:இ"},
      {"the caret's symbol does not erase the bracket", "^O.", " [."},
      {"digit", "h1h", "க1க"},
      {"digit then a vowel", "h1q", "க1ஆ"},
      {"code above z", "h{q", "க{ஆ"},
      {"space", "h h", "க க"},
      {"Enter", "h\rh", "க\rக"},
  });
}

TEST(Tamil99, UnmappedKeys) {
  ExpectTyped(kTamil99, {
      {"letters are swallowed", "ABDGHIJNUVXZ", ""},
      {"and end the consonant", "hAq", "கஆ"},
      {"and its pulli", "hAh", "கக"},
      {"digits 1 to 6 and punctuation pass", "123456!@#$%&*()-=+\\<>,?`_", "123456!@#$%&*()-=+\\<>,?`_"},
  });
}

TEST(Tamil99, BackspaceEndsTheConsonant) {
  ExpectTyped(kTamil99, {
      {"vowel after Backspace", "hh\bq", "க்ஆ"},
      {"consonant after Backspace", "hh\bh", "க்க"},
  });
}

// What Backspace and Enter leave: the character before the caret is no longer the last one
// written, so nothing doubles onto it and no vowel becomes its sign.
TEST(Tamil99, NothingBuildsAcrossBackspaceOrEnter) {
  ExpectTyped(kTamil99, {
      {"consonant after Backspace", "kk\bk", "ம்ம"},
      {"first consonant erased", "k\bk", "ம"},
      {"vowel after Enter", "h\rq", "க\rஆ"},
  });
}

}  // namespace
