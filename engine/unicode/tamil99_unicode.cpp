// Tamil99 layout: one key a letter. A vowel key gives the vowel, or its sign right after a
// consonant; pulli is inserted between a doubled consonant and between a nasal and its stop.
// The punctuation whose keys carry letters moves to shifted letter keys, and the caret key
// opens a one-key state for bare signs and a few symbols.
#include "engine/core/delivery.h"
#include "engine/core/process_state.h"
#include "engine/unicode/emit.h"
#include "engine/unicode/unicode_composer.h"

using namespace uni;

namespace {

const int kNone = -1;

struct VowelKey {
  char key;
  int vowel;  // V(vowel) when no consonant came just before
  int sign;   // S(sign) after a consonant; kNone: the vowel in both cases
};

// a after a consonant keeps its inherent vowel; it is handled before this table is read.
const VowelKey kVowelKeys[] = {
    {'a', kA, kNone},   {'q', kAa, kAa},   {'s', kI, kI},   {'w', kIi, kIi},
    {'d', kU, kU},      {'e', kUu, kUu},   {'g', kE, kE},   {'t', kEe, kEe},
    {'r', kAi, kAi},    {'c', kO, kO},     {'x', kOo, kOo}, {'z', kAu, kAu},
    {'f', kAytham, kPulliSign},            {'F', kAytham, kNone},
};

struct ConsonantKey {
  char key;
  int consonant;
};

const ConsonantKey kConsonantKeys[] = {
    {'h', kKa},  {'b', kNga}, {'[', kCa},  {']', kNya},   {'o', kTta}, {'p', kNna},
    {'l', kTa},  {';', kNa},  {'j', kPa},  {'k', kMa},    {'\'', kYa}, {'m', kRa},
    {'n', kLa},  {'v', kVa},  {'/', kLlla}, {'y', kLla},  {'u', kRra}, {'i', kNnna},
    {'Q', kSa},  {'W', kSsa}, {'E', kJa},  {'R', kHa},
};

// Nasal and the stop that follows it: the stop gets pulli inserted before it.
const int kNasalPairs[][2] = {
    {kNga, kKa}, {kNya, kCa}, {kNna, kTta}, {kNa, kTa}, {kMa, kPa}, {kNnna, kRra},
};

// Keys that, right after the caret, give a symbol in place of the caret's space.
struct CaretSymbol {
  char key;
  BYTE symbol;  // Windows-1252
};

const CaretSymbol kCaretSymbols[] = {
    {'.', 0xB7}, {'0', 0x22}, {'9', 0x22}, {'7', 0x27}, {'8', 0x27}, {'C', 0xA9}, {'S', 0xA0},
};

// Shifted letter keys that type the punctuation whose own keys carry letters.
struct Punctuation {
  char key;
  char becomes;
};

const Punctuation kPunctuation[] = {
    {'O', '['}, {'P', ']'}, {'K', '"'}, {'L', ':'}, {':', ';'}, {'"', '\''}, {'M', '/'},
};

// After this nothing follows a consonant and no pulli is inserted; an unmapped letter is
// swallowed, anything else passes.
void ResetStep(MSG* msg) {
  t99AfterConsonant = 0;
  t99NoAutoPulli = 1;
  if (IsLetter(KeyChar(*msg))) Swallow(msg);
}

bool TakesAutomaticPulli(BYTE p, BYTE letter) {
  if (p == letter) return true;
  for (const auto& pair : kNasalPairs) {
    if (IsUnit(p, C(pair[0])) && letter == C(pair[1])) return true;
  }
  return false;
}

void LetterStep(MSG* msg, BYTE p, BYTE letter) {
  if (letter == 0) {
    ResetStep(msg);
    return;
  }
  bool consonant = IsUniConsonant(letter);
  t99AfterConsonant = consonant ? 1 : 0;
  if (t99NoAutoPulli == 0 && consonant && TakesAutomaticPulli(p, letter)) {
    Emit(msg, Text(kPulli, letter));
    t99NoAutoPulli = 1;
  } else {
    Emit(msg, Text(letter));
    t99NoAutoPulli = 0;
  }
  lastEmitted = letter;
}

bool InCaretState(BYTE p) { return p == kMarkSpace && t99AfterConsonant == 1; }

}  // namespace

void ComposeTamil99Unicode(MSG* msg) {
  // WINWO still shows the a that kept a consonant's inherent vowel; it goes now.
  if (ThisHost().keepsNul && lastEmitted == kMarkInherentA) {
    EraseKeptCharacter(msg->hwnd);
    lastEmitted = kNothing;
  }
  BYTE p = lastEmitted;
  int key = KeyChar(*msg);
  if (key < 0x20 || key > 0x7A) {
    ResetStep(msg);
    return;
  }

  for (const VowelKey& v : kVowelKeys) {
    if (v.key != key) continue;
    if (v.key == 'a' && t99AfterConsonant == 1) {
      lastEmitted = kMarkInherentA;
      ResetStep(msg);
      return;
    }
    bool sign = t99AfterConsonant == 1 && v.sign != kNone;
    LetterStep(msg, p, sign ? S(v.sign) : V(v.vowel));
    return;
  }
  for (const ConsonantKey& c : kConsonantKeys) {
    if (c.key == key) {
      LetterStep(msg, p, C(c.consonant));
      return;
    }
  }
  for (const CaretSymbol& c : kCaretSymbols) {
    if (c.key != key) continue;
    if (InCaretState(p)) DeliverBytes(msg, Text(c.symbol), 1);
    ResetStep(msg);
    return;
  }
  for (const Punctuation& c : kPunctuation) {
    if (c.key != key) continue;
    // The host gets a character this branch did not write: nothing may attach to it.
    msg->wParam = static_cast<BYTE>(c.becomes);
    t99AfterConsonant = 0;
    t99NoAutoPulli = 1;
    return;
  }

  switch (key) {
    case 'T':
      // The ksha is a conjunct, not the consonant its last unit is: no automatic pulli joins
      // it to a following ஷ, nor an older consonant to what follows.
      Emit(msg, Literal(kKsha));
      lastEmitted = kMarkKsha;
      t99AfterConsonant = 1;
      t99NoAutoPulli = 0;
      return;
    case 'Y':
      Emit(msg, Literal(kSri));
      ResetStep(msg);
      return;
    case '^':
      if (InCaretState(p)) {
        ResetStep(msg);
      } else {
        msg->wParam = ' ';
        lastEmitted = kMarkSpace;
        t99AfterConsonant = 1;
        t99NoAutoPulli = 0;
      }
      return;
    case ' ':
      lastEmitted = kNothing;
      ResetStep(msg);
      return;
    default:
      ResetStep(msg);
      return;
  }
}
