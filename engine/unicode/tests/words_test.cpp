// Common words typed in each layout (data/words.tsv) come out as the words. The typewriter writes
// ொ and ோ as their two parts, ெ or ே then ா, which is the same text; it is compared as such.
#include "engine/unicode/tests/unicode_typing.h"

#include <string.h>

#include "engine/testing/word_list.h"

namespace {

using fake::WordLine;

std::vector<WordLine> ReadWords() { return fake::ReadWords(VIREL_SOURCE_DIR); }

// ொ and ோ, written as one unit, become their two parts.
std::string Decomposed(std::string text) {
  const struct {
    const char* whole;
    const char* parts;
  } kSplit[] = {{"\u0BCA", "\u0BC6\u0BBE"}, {"\u0BCB", "\u0BC7\u0BBE"}};
  for (const auto& s : kSplit) {
    for (size_t at = text.find(s.whole); at != std::string::npos; at = text.find(s.whole, at)) {
      text.replace(at, strlen(s.whole), s.parts);
    }
  }
  return text;
}

TEST(Words, EveryLayoutTypesEveryWord) {
  std::vector<WordLine> words = ReadWords();
  ASSERT_GE(words.size(), 50u);
  const char* names[] = {"phonetic", "Tamil99", "New Typewriter", "Old Typewriter"};
  for (const WordLine& w : words) {
    for (int keyboard = 0; keyboard < 4; ++keyboard) {
      SCOPED_TRACE("words.tsv line " + std::to_string(w.line) + ", " + names[keyboard] + ": keys \"" +
                   w.keys[keyboard] + "\"");
      ASSERT_FALSE(w.keys[keyboard].empty());
      EXPECT_EQ(Decomposed(unitest::TypeIn(keyboard, w.keys[keyboard])), Decomposed(w.word));
    }
  }
}

// The same words one after another, separated by spaces, in one document.
TEST(Words, ASentenceOfThemAllInEachLayout) {
  std::vector<WordLine> words = ReadWords();
  for (int keyboard = 0; keyboard < 4; ++keyboard) {
    SCOPED_TRACE(keyboard);
    std::string keys;
    std::string expected;
    for (const WordLine& w : words) {
      keys += w.keys[keyboard] + " ";
      expected += w.word + " ";
    }
    EXPECT_EQ(Decomposed(unitest::TypeIn(keyboard, keys)), Decomposed(expected));
  }
}

}  // namespace
