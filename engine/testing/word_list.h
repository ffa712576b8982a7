// The common-word list the tests type (engine/unicode/tests/data/words.tsv): each word with the
// keys that type it in every layout.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fake {

struct WordLine {
  int line;
  std::string word;
  std::string keys[4];  // by keyboard number
};

inline std::vector<WordLine> ReadWords(const std::string& sourceDir) {
  std::ifstream file(sourceDir + "/engine/unicode/tests/data/words.tsv");
  std::vector<WordLine> words;
  std::string text;
  for (int line = 1; std::getline(file, text); ++line) {
    if (text.empty() || text[0] == '#') continue;
    std::istringstream fields(text);
    WordLine w{line, "", {}};
    std::getline(fields, w.word, '\t');
    for (std::string& keys : w.keys) std::getline(fields, keys, '\t');
    words.push_back(w);
  }
  return words;
}

}  // namespace fake
