#include "engine/unicode/emit.h"

#include "engine/core/delivery.h"
#include "engine/core/process_state.h"
#include "engine/unicode/unicode_composer.h"

namespace uni {

namespace {

const int kMaxUnits = 4;
static_assert(kMaxUnits < kComposeTextSize, "composeText holds the longest text and its terminator");
const BYTE kEmptyText[] = {0};

}  // namespace

const BYTE* Text(BYTE a, BYTE b, BYTE c, BYTE d) {
  composeText[0] = a;
  composeText[1] = b;
  composeText[2] = c;
  composeText[3] = d;
  composeText[kMaxUnits] = 0;
  return composeText;
}

const BYTE* Literal(const BYTE* literal) {
  int n = 0;
  for (; n < kMaxUnits && literal[n] != 0; ++n) composeText[n] = literal[n];
  composeText[n] = 0;
  return composeText;
}

BYTE LastSent() {
  int n = 0;
  while (n < kMaxUnits && composeText[n] != 0) ++n;
  return n == 0 ? 0 : composeText[n - 1];
}

void Emit(MSG* msg, const BYTE* text) { DeliverUnicode(msg, text, 0, 0, 0); }

void Replace(MSG* msg, const BYTE* text) { DeliverUnicode(msg, text, 1, 0, 0); }

void DropOne(MSG* msg) { DeliverUnicode(msg, kEmptyText, ThisHost().keepsNul ? 0 : 1, 0, 0); }

void EmitNoExtra(MSG* msg, const BYTE* text) { DeliverUnicode(msg, text, 0, 1, 0); }

}  // namespace uni
