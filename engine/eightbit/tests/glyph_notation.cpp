#include "engine/eightbit/tests/glyph_notation.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <map>
#include <sstream>

namespace {

// slot name -> entries, each the five encodings' bytes (0 where there is none)
using Golden = std::map<std::string, std::map<int, std::array<int, 5>>>;

const Golden& ReadGolden() {
  static Golden* golden = nullptr;
  if (golden != nullptr) return *golden;
  golden = new Golden();
  std::ifstream in(VIREL_SOURCE_DIR "/engine/eightbit/tests/data/glyph_tables.golden");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string slot;
    int index = 0;
    fields >> slot >> index;
    std::array<int, 5> bytes{};
    for (int& b : bytes) {
      std::string cell;
      fields >> cell;
      b = cell == "--" ? 0 : std::stoi(cell, nullptr, 16);
    }
    (*golden)[slot][index] = bytes;
  }
  return *golden;
}

const std::map<std::string, std::string>& SlotNames() {
  static const std::map<std::string, std::string> names = {
      {"V", "vowels"},     {"D", "deadConsonants"}, {"C", "consonants"},    {"U", "consonantU"},
      {"UU", "consonantUu"}, {"S", "vowelSigns"},   {"X", "specialGlyphs"}, {"CI", "consonantI"},
      {"CII", "consonantIi"},
  };
  return names;
}

}  // namespace

int GoldenGlyph(int encoding, const std::string& slot, int index) {
  const Golden& golden = ReadGolden();
  auto s = golden.find(slot);
  if (s == golden.end()) return 0;
  auto e = s->second.find(index);
  if (e == s->second.end() || encoding < 1 || encoding > 5) return 0;
  return e->second[encoding - 1];
}

std::string Glyphs(int encoding, const std::string& notation) {
  std::istringstream tokens(notation);
  std::string out;
  std::string token;
  while (tokens >> token) {
    if (token[0] == '\'' && token.size() == 2) {
      out += token[1];
    } else if (token == "sp") {
      out += ' ';
    } else if (token == "cr") {
      out += '\r';
    } else if (token == "tab") {
      out += '\t';
    } else if (token == "P") {
      out += static_cast<char>(GoldenGlyph(encoding, "specialGlyphs", 3));
    } else {
      size_t digits = token.find_first_of("0123456789");
      auto slot = SlotNames().find(token.substr(0, digits));
      if (digits == std::string::npos || slot == SlotNames().end()) {
        ADD_FAILURE() << "bad glyph notation " << token;
        continue;
      }
      int glyph = GoldenGlyph(encoding, slot->second, std::stoi(token.substr(digits)));
      if (glyph == 0) ADD_FAILURE() << token << " is no glyph in encoding " << encoding;
      out += static_cast<char>(glyph);
    }
  }
  return out;
}
