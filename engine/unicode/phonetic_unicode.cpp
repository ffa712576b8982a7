// Phonetic layout: Latin transliteration. A consonant key writes the consonant with pulli; a
// vowel key then replaces the pulli with its sign (or, for a, only deletes it), and two-key
// spellings (ng, nj, th, sh, sr, aa, ai, ...) replace what the first key wrote. The branch works
// only from lastEmitted and phoneticJoin, never from the host's text.
#include "engine/core/delivery.h"
#include "engine/core/process_state.h"
#include "engine/unicode/emit.h"
#include "engine/unicode/unicode_composer.h"

using namespace uni;

namespace {

// phoneticJoin: which consonant key came just before.
const int kJoinNone = 0;
const int kJoinN = 1;   // n or S
const int kJoinDT = 2;  // d or t
const int kJoinCS = 3;  // c or s

const int kNone = -1;

struct ConsonantKey {
  char key;
  int consonant;
  int join;
};

const ConsonantKey kConsonantKeys[] = {
    {'k', kKa, kJoinNone},   {'c', kCa, kJoinCS},     {'s', kCa, kJoinCS},     {'d', kTta, kJoinDT},
    {'t', kTta, kJoinDT},    {'N', kNna, kJoinNone},  {'w', kNa, kJoinNone},   {'b', kPa, kJoinNone},
    {'p', kPa, kJoinNone},   {'m', kMa, kJoinNone},   {'y', kYa, kJoinNone},   {'l', kLa, kJoinNone},
    {'v', kVa, kJoinNone},   {'z', kLlla, kJoinNone}, {'L', kLla, kJoinNone},  {'R', kRra, kJoinNone},
    {'J', kJa, kJoinNone},   {'S', kSa, kJoinN},
};

// A vowel key, by the value P that lastEmitted held before it. Rows are tried in this order;
// their conditions never overlap.
struct VowelKey {
  char key;
  int afterPulli;      // P = pulli: this sign replaces it; kNone: the pulli is only deleted
  int lengthensSign;   // P = S(n): replaced by S(n + 1)
  int withA;           // P = அ: replaced by V(withA)
  int lengthensVowel;  // P = V(n): replaced by V(n + 1)
  int afterConsonant;  // P consonant-like: S(afterConsonant) is appended
  int alone;           // otherwise V(alone) is appended
  bool spaceStep;      // a WINWO host gets a space before the independent vowel
};

const VowelKey kVowelKeys[] = {
    {'a', kNone, kNone, kNone, kA, kAa, kA, false},
    {'A', kAa, kNone, kNone, kNone, kNone, kAa, false},
    {'i', kI, kI, kAi, kI, kAi, kI, false},
    {'I', kIi, kNone, kNone, kNone, kNone, kIi, false},
    {'u', kU, kU, kAu, kU, kAu, kU, false},
    {'U', kUu, kNone, kNone, kNone, kNone, kUu, false},
    {'e', kE, kE, kNone, kE, kNone, kE, true},
    {'E', kEe, kNone, kNone, kNone, kNone, kEe, true},
    {'o', kO, kO, kNone, kO, kNone, kO, true},
    {'O', kOo, kNone, kNone, kNone, kNone, kOo, true},
};

const BYTE kSpaceText[] = {' ', 0};

bool IsConsonantLike(BYTE p) { return p == kMarkInherentA || IsUniConsonant(p); }

// Writes a replacement and records what the host now ends with.
void ReplaceWith(MSG* msg, const BYTE* text) {
  Replace(msg, text);
  lastEmitted = LastSent();
}

void EmitText(MSG* msg, const BYTE* text) {
  Emit(msg, text);
  lastEmitted = LastSent();
}

void ApplyVowel(MSG* msg, const VowelKey& v, BYTE p) {
  if (p == kPulli) {
    if (v.afterPulli == kNone) {
      Replace(msg, Text(0));
      lastEmitted = kMarkInherentA;
    } else {
      ReplaceWith(msg, Text(S(v.afterPulli)));
    }
  } else if (v.lengthensSign != kNone && IsUnit(p, S(v.lengthensSign))) {
    ReplaceWith(msg, Text(S(v.lengthensSign + 1)));
  } else if (v.withA != kNone && IsUnit(p, V(kA))) {
    ReplaceWith(msg, Text(V(v.withA)));
  } else if (v.lengthensVowel != kNone && IsUnit(p, V(v.lengthensVowel))) {
    ReplaceWith(msg, Text(V(v.lengthensVowel + 1)));
  } else if (v.afterConsonant != kNone && IsConsonantLike(p)) {
    EmitText(msg, Text(S(v.afterConsonant)));
  } else {
    if (v.spaceStep && ThisHost().keepsNul) DeliverBytes(msg, kSpaceText, 0);
    EmitText(msg, Text(V(v.alone)));
  }
}

// The consonant key just before wrote consonant and pulli; both give way to the new text.
// The text is already in composeText; DropOne sends an empty text of its own.
void Join(MSG* msg, const BYTE* text) {
  DropOne(msg);
  ReplaceWith(msg, text);
}

void EmitConsonant(MSG* msg, int consonant) { EmitText(msg, Text(C(consonant), kPulli)); }

// The keystroke reaches the host as the character typed, so the host's text no longer ends with
// what this branch wrote: nothing may build on it. Only a separator's mark survives, since it
// erases nothing (it chooses ந for a following n).
void LetPass() {
  if (lastEmitted != kMarkSpace) lastEmitted = kNothing;
}

}  // namespace

void ComposePhoneticUnicode(MSG* msg) {
  int key = KeyChar(*msg);
  if (key == '\b') lastEmitted = kNothing;
  bool firstKey = phoneticTyped == 0;  // nothing typed in this process yet: a word begins
  phoneticTyped = 1;
  BYTE p = lastEmitted;
  int join = phoneticJoin;
  phoneticJoin = kJoinNone;

  for (const VowelKey& v : kVowelKeys) {
    if (v.key == key) {
      ApplyVowel(msg, v, p);
      return;
    }
  }
  for (const ConsonantKey& c : kConsonantKeys) {
    if (c.key == key) {
      EmitConsonant(msg, c.consonant);
      phoneticJoin = c.join;
      return;
    }
  }

  bool afterConsonantKey = p == kPulli;
  switch (key) {
    case 'q':
      EmitText(msg, Text(V(kAytham)));
      return;
    case 'n':
      EmitConsonant(msg, p == kMarkSpace || firstKey ? kNa : kNnna);
      phoneticJoin = kJoinN;
      return;
    case 'g':
      if (afterConsonantKey && join == kJoinN) {
        Join(msg, Text(C(kNga), kPulli));
      } else {
        LetPass();
      }
      return;
    case 'j':
      if (afterConsonantKey && join == kJoinN) {
        Join(msg, Text(C(kNya), kPulli));
      } else {
        EmitConsonant(msg, kJa);
      }
      return;
    case '-':
      if (afterConsonantKey && join == kJoinN) {
        Join(msg, Text(C(kNa), kPulli));
      } else {
        LetPass();
      }
      return;
    case 'h':
      if (afterConsonantKey && join == kJoinDT) {
        Join(msg, Text(C(kTa), kPulli));
      } else if (afterConsonantKey && join == kJoinCS) {
        Join(msg, Text(C(kSsa), kPulli));
      } else {
        EmitConsonant(msg, kHa);
      }
      return;
    case 'r':
      if (afterConsonantKey && join == kJoinCS) {
        Join(msg, Literal(kSri));
        lastEmitted = kNothing;
      } else {
        EmitConsonant(msg, kRa);
      }
      return;
    case 'x':
      EmitText(msg, Literal(kKshaPulli));
      return;
    case 'C':
      Emit(msg, Literal(kSri));
      lastEmitted = kNothing;
      return;
    case ' ':
    case ',':
    case '.':
    case '\r':
    case '\t':
      lastEmitted = kMarkSpace;
      return;
    default:
      break;
  }

  if (IsLetter(key)) {
    Swallow(msg);
  } else {
    LetPass();
  }
}
