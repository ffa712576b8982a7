// New and Old typewriter layouts, typed through the hook into an ordinary host. A prefix sign
// typed alone shows as joiner and sign; ொ and ோ come out as their two parts (ெ or ே, then ா).
#include "engine/unicode/tests/unicode_typing.h"

#include "engine/core/process_state.h"
#include "engine/core/shared_state.h"

namespace {

using unitest::Case;
using unitest::ExpectTyped;
const int kNew = kKbdNewTypewriter;
const int kOld = kKbdOldTypewriter;
#define ZWJ "\u200D"

// Cases that behave the same in both variants.
void ExpectTypedInBoth(const std::vector<Case>& cases) {
  {
    SCOPED_TRACE("New");
    ExpectTyped(kNew, cases);
  }
  {
    SCOPED_TRACE("Old");
    ExpectTyped(kOld, cases);
  }
}

TEST(Typewriter, LetterKeys) {
  ExpectTypedInBoth({
      {"f", "f", "க"},  {"'", "'", "ங"},  {"r", "r", "ச"},  {"QM", "\"", "ஞ"}, {"l", "l", "ட"},
      {"z", "z", "ண"},  {"j", "j", "த"},  {"e", "e", "ந"},  {"g", "g", "ப"},   {"k", "k", "ம"},
      {"]", "]", "ஹ"},  {"a", "a", "ய"},  {"u", "u", "ர"},  {"y", "y", "ல"},   {"t", "t", "வ"},
      {"H", "H", "ழ"},  {"s", "s", "ள"},  {"w", "w", "ற"},  {"d", "d", "ன"},   {"!", "!", "ஸ"},
      {"Z", "Z", "ஷ"},  {"$", "$", "ஜ"},  {"m", "m", "அ"},  {"M", "M", "ஆ"},   {",", ",", "இ"},
      {"<", "<", "ஈ"},  {"c", "c", "உ"},  {"C", "C", "ஊ"},  {"v", "v", "எ"},   {"V", "V", "ஏ"},
      {"I", "I", "ஐ"},  {"x", "x", "ஒ"},  {"X", "X", "ஓ"},  {"`", "`", "ஃ"},   {"B", "B", "க்ஷ"},
      {"b", "b", ZWJ "ெ"}, {"n", "n", ZWJ "ே"}, {"i", "i", ZWJ "ை"},
  });
}

TEST(Typewriter, PrefixSignsMoveBehindTheirConsonant) {
  ExpectTypedInBoth({
      {"ெ", "bf", "கெ"},
      {"ே", "nf", "கே"},
      {"ை", "if", "கை"},
      {"ெ before ksha", "bB", "க்ஷெ"},
      {"ே before ksha", "nB", "க்ஷே"},
      {"ை before ksha", "iB", "க்ஷை"},
      {"ொ", "bfh", "க\u0BC6\u0BBE"},
      {"ோ", "nfh", "க\u0BC7\u0BBE"},
      {"only the next consonant", "bff", "கெக"},
      {"not a vowel", "bm", ZWJ "ெஅ"},
      {"two signs", "bn", ZWJ "ெ" ZWJ "ே"},
      {"second sign moves", "bnf", ZWJ "ெகே"},
      {"word", "bgd", "பென"},
  });
}

TEST(Typewriter, ConsonantWithUKeys) {
  ExpectTypedInBoth({
      {"F", "F", "கு"}, {"R", "R", "சு"}, {"L", "L", "டு"}, {"q", "q", "ணு"}, {"D", "D", "னு"},
      {"J", "J", "து"}, {"E", "E", "நு"}, {"K", "K", "மு"}, {"S", "S", "ளு"}, {"U", "U", "ரு"},
      {"Y", "Y", "லு"}, {"G", "G", "ழு"}, {"W", "W", "று"},
  });
}

TEST(Typewriter, SignKeys) {
  ExpectTypedInBoth({
      {"h after a consonant", "fh", "கா"},
      {"h after ு", "Fh", "கூ"},
      {"} after ு", "F}", "கூ"},
      {"% after a consonant", "f%", "கு"},
      {"^ after a consonant", "f^", "கூ"},
      {"h after ksha", "Bh", "க்ஷா"},
      {"h after a vowel", "mh", "அ"},
      {"} after a consonant", "f}", "க"},
      {"% after a vowel", "m%", "அ"},
      {"^ alone", "^", ""},
      {"h after ா", "fhh", "கா"},
      {"h after ூ", "Fhh", "கூ"},
  });
}

TEST(Typewriter, FixedSyllablesAndKsha) {
  ExpectTypedInBoth({
      {"o", "o", "டி"},
      {"O", "O", "டீ"},
      {"N", "N", "சூ"},
      {"T", "T", "கூ"},
      {"T & is ksha", "T&", "க்ஷ"},
      {"ksha takes a sign", "T&h", "க்ஷா"},
      {"c & is ஷ", "c&", "ஷ"},
      {"& alone passes", "&", "&"},
      {"& after a consonant passes", "f&", "க&"},
      {"_", "_", "ஸ்ரீ"},
      {"nothing builds on _", "_h", "ஸ்ரீ"},
      {"nothing attaches to டி", "oh", "டி"},
      {"nothing attaches to டீ", "Oh", "டீ"},
      {"nothing attaches to சூ", "Nh", "சூ"},
      {"a prefix sign before டி stays", "bof", ZWJ "ெடிக"},
  });
}

TEST(Typewriter, NewModeKeysActOnTheConsonantBefore) {
  ExpectTyped(kNew, {
      {"pulli", "f;", "க்"},
      {"ி", "fp", "கி"},
      {"ீ", "fP", "கீ"},
      {"ு", "f[", "கு"},
      {"ூ with :", "f:", "கூ"},
      {"ூ with {", "f{", "கூ"},
      {"ு becomes ூ", "F:", "கூ"},
      {"{ on ு", "F{", "கூ"},
      {"ksha", "B;", "க்ஷ்"},
      {"ksha with ி", "Bp", "க்ஷி"},
      {"at the start", ";p[:", ""},
      {"after a vowel", "m;", "அ"},
      {"ி on ு", "Fp", "கு"},
      {"twice", "f;;", "க்"},
      {"after the reordered consonant", "bf;", "கெ்"},
  });
}

TEST(Typewriter, OldModeKeysActOnTheNextConsonant) {
  ExpectTyped(kOld, {
      {"pulli", ";f", "க்"},
      {"ி", "pf", "கி"},
      {"ீ", "Pf", "கீ"},
      {"ு", "[f", "கு"},
      {"ூ with :", ":f", "கூ"},
      {"ூ with {", "{f", "கூ"},
      {"ூ on a ு key", ":F", "கூ"},
      {"pulli on a vowel", ";m", "அ்"},
      {"ி on a vowel is swallowed", "pm", ""},
      {"ksha with pulli", ";B", "க்ஷ்"},
      {"ksha with ி", "pB", "க்ஷி"},
      {"ksha with ூ", ":B", "க்ஷூ"},
      {"a later mode key replaces the first", "p;f", "க்"},
      {"the mode lasts one key", "pff", "கிக"},
      {"after the consonant it does nothing", "f;", "க"},
      {"a digit uses up the mode", "p5f", "க"},
      {"punctuation discards the mode", "p|f", "!க"},
      {"pulli on a ு key writes nothing more", ";F", "கு"},
      {"a prefix sign under pulli stands alone", "5;b", "5" ZWJ "ெ்"},
  });
}

TEST(Typewriter, PunctuationKeysTypeOtherCharacters) {
  ExpectTypedInBoth({
      {"|", "|", "!"}, {">", ">", "?"}, {"/", "/", "."}, {"?", "?", "-"}, {".", ".", ","},
      {"~", "~", "*"}, {"at sign", "@", "\""}, {"#", "#", "%"}, {"*", "*", "'"}, {"-", "-", "/"},
  });
}

TEST(Typewriter, KeysWithoutALetter) {
  ExpectTypedInBoth({
      {"A and Q are swallowed", "AQ", ""},
      {"others pass", "()+=\\0123456789 ", "()+=\\0123456789 "},
  });
}

// A character the host got from the keystroke itself is never erased, and no sign attaches to
// it; a prefix sign typed before it stays where it is.
TEST(Typewriter, NothingBuildsOnACharacterThatPassed) {
  ExpectTypedInBoth({
      {"space after a prefix sign", "b f", ZWJ "ெ க"},
      {"digit after a prefix sign", "b5f", ZWJ "ெ5க"},
      {"changed punctuation after a prefix sign", "b|f", ZWJ "ெ!க"},
      {"changed punctuation after ை", "i.f", ZWJ "ை,க"},
      {"& after a prefix sign", "b&f", ZWJ "ெ&க"},
      {"ா on a digit", "f5h", "க5"},
      {"ூ over a digit", "F5h", "கு5"},
      {"} over a digit", "F5}", "கு5"},
      {"% on a bracket", "f(%", "க("},
      {"ஷ over a digit", "c5&", "உ5&"},
      {"ksha over a digit", "T5&", "கூ5&"},
      {"Enter after a prefix sign", "b\rf", ZWJ "ெ\rக"},
      {"Backspace after a prefix sign", "b\bf", ZWJ "க"},
  });
  ExpectTyped(kNew, {
      {"pulli on a digit", "f5;", "க5"},
      {"ூ over a digit", "F5:", "கு5"},
      {"ி on changed punctuation", "f/p", "க."},
  });
}

// A dead key typed in one process applies to the next key composed in another.
TEST(Typewriter, ModeFieldsLiveInTheSharedBlock) {
  HWND window = unitest::Start(kOld);
  fake::Type(window, "p");
  fake::EnterAnotherProcess();
  HWND other = fake::NewWindow("RichEdit20W");
  fake::PressToggle(other);
  fake::Type(other, "f");
  EXPECT_EQ(fake::Utf8(other), "கி");
}

TEST(Typewriter, KshaAndKooAsTheNextKeySeesThem) {
  ExpectTyped(kNew, {
      {"& turns கூ into க்ஷ", "T&", "க்ஷ"},
      {"& after க்ஷ does nothing more", "T&&", "க்ஷ&"},
      {"B is க்ஷ and takes a prefix sign", "bB", "க்ஷெ"},
      {"and a mode", "B;", "க்ஷ்"},
  });
}

}  // namespace
