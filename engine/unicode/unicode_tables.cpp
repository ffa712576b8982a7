// Loads the Unicode composers' tables (engine/unicode/unicode_units.cpp holds the units).
#include "engine/core/composers.h"
#include "engine/core/process_state.h"

#include <string.h>

#include "engine/unicode/unicode_units.h"

namespace {

template <size_t N>
void Load(BYTE (&slot)[kUnicodeSlotSize], const unsigned char (&text)[N]) {
  static_assert(N <= kUnicodeSlotSize, "a slot holds its string and the terminator");
  memcpy(slot, text, N);
}

}  // namespace

void LoadUnicodeTables() {
  Load(uniTables.uniVowels, kUniVowels);
  Load(uniTables.uniConsonants, kUniConsonants);
  Load(uniTables.uniSigns, kUniSigns);
  Load(uniTables.uniDigits, kUniDigits);
}
