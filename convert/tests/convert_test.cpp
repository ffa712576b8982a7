// The converter: hand-checked syllables per encoding in both directions, the Tamil dictionary
// through every encoding and back, pieces of any size, problems, detection, and virelconv's exits.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

#include <fstream>
#include <sstream>

#include "convert/legacy_text.h"

namespace {

using convert::Convert;
using convert::Encoding;

std::string Hex(const std::string& bytes) {
  std::string out;
  char b[4];
  for (unsigned char c : bytes) {
    snprintf(b, sizeof b, "%s%02X", out.empty() ? "" : " ", c);
    out += b;
  }
  return out;
}

std::string Bytes(const char* hex) {
  std::string out;
  for (std::istringstream in(hex); in >> std::hex;) {
    unsigned b;
    if (!(in >> b)) break;
    out += static_cast<char>(b);
  }
  return out;
}

struct Syllable {
  Encoding encoding;
  const char* text;
  const char* bytes;
  bool both;  // false: these bytes read as the text, but the text is written otherwise
};

const Syllable kSyllables[] = {
    // TSCII: prefix signs, split vowels, one-glyph syllables, grantha, conjuncts
    {convert::kTscii, "கெ", "A6 B8", true},      {convert::kTscii, "கே", "A7 B8", true},
    {convert::kTscii, "கை", "A8 B8", true},      {convert::kTscii, "கொ", "A6 B8 A1", true},
    {convert::kTscii, "கோ", "A7 B8 A1", true},   {convert::kTscii, "கௌ", "A6 B8 AA", true},
    {convert::kTscii, "கெள", "A6 B8 C7", true},  {convert::kTscii, "ஔ", "B4 AA", true},
    {convert::kTscii, "கு", "CC", true},         {convert::kTscii, "கூ", "DC", true},
    {convert::kTscii, "டி", "CA", true},         {convert::kTscii, "டீ", "CB", true},
    {convert::kTscii, "கி", "B8 A2", true},      {convert::kTscii, "க்", "EC", true},
    {convert::kTscii, "ஜ", "83", true},          {convert::kTscii, "ஷ்", "89", true},
    {convert::kTscii, "ஸு", "85 A4", true},      {convert::kTscii, "ஸ்ரீ", "82", true},
    {convert::kTscii, "க்ஷ", "87", true},        {convert::kTscii, "க்ஷெ", "A6 87", true},
    {convert::kTscii, "க்ஷ்", "8C", true},       {convert::kTscii, "இ", "FE", true},
    {convert::kTscii, "க்ஷ", "EC 84", false},
    // TAB: the dead consonant is consonant + separate pulli; the au mark is the ள glyph
    {convert::kTab, "க்", "E8 A2", true},         {convert::kTab, "கொ", "AA E8 A3", true},
    {convert::kTab, "கௌ", "AA E8 F7", true},      {convert::kTab, "கெளி", "AA E8 F7 A4", true},
    {convert::kTab, "ஔ", "E5 F7", true},          {convert::kTab, "ஒள்", "E5 F7 A2", true},
    {convert::kTab, "ஜு", "FC A7", true},         {convert::kTab, "டி", "AE", true},
    {convert::kTab, "ஸ்ரீ", "FF", true},          {convert::kTab, "க்ஷ", "FE", true},
    {convert::kTab, "a.b", "61 2E 62", true},
    // TAM: dead consonants of its own; ி ீ as two glyphs, its one-glyph forms read too
    {convert::kTam, "க்", "82", true},            {convert::kTam, "கி", "E8 A4", true},
    {convert::kTam, "கி", "41", false},           {convert::kTam, "டீ", "AF", true},
    {convert::kTam, "டீ", "3F", false},           {convert::kTam, "ஜ்", "78", true},
    // LIPI: one-glyph ி ீ, and the engine's "-"
    {convert::kLipi, "கி", "51", true},           {convert::kLipi, "கீ", "52", true},
    {convert::kLipi, "க்", "55", true},           {convert::kLipi, "கொ", "F6 50 F5", true},
    {convert::kLipi, "கௌ", "F6 50 CD", true},     {convert::kLipi, "ஸ்ரீ", "FF", true},
    {convert::kLipi, "க்ஷ", "F1", true},          {convert::kLipi, "1-2", "31 96 32", true},
    {convert::kLipi, "கி", "50 91", false},
    // T_OLD: Tamil on ASCII positions
    {convert::kTOld, "கா", "66 68", true},        {convert::kTOld, "கி", "BB", true},
    {convert::kTOld, "டி", "6F", true},           {convert::kTOld, "ஸ்ரீ", "24", true},
    {convert::kTOld, "ஜ", "23", true},            {convert::kTOld, "ரூ", "25", true},
    {convert::kTOld, "க்ஷ", "42", true},          {convert::kTOld, "கொ", "62 66 68", true},
    {convert::kTOld, "ஸு", "5B 26", true},
};

TEST(Convert, HandCheckedSyllables) {
  for (const Syllable& s : kSyllables) {
    SCOPED_TRACE(std::string(convert::EncodingName(s.encoding)) + " " + s.text + " / " + s.bytes);
    uint64_t problems = 1;
    EXPECT_EQ(Convert(Bytes(s.bytes), s.encoding, convert::kUnicode, &problems), s.text);
    EXPECT_EQ(problems, 0u);
    if (s.both) {
      EXPECT_EQ(Hex(Convert(s.text, convert::kUnicode, s.encoding)), s.bytes);
    }
  }
  // ொ in two parts is written as the one letter.
  EXPECT_EQ(Hex(Convert("க\u0BC6\u0BBE", convert::kUnicode, convert::kTscii)), "A6 B8 A1");
}

// The Tamil dictionary (aspell-ta), as `aspell -l ta dump master` gives it.
std::vector<std::string> Dictionary() {
  std::vector<std::string> words;
  FILE* f = popen("aspell -l ta dump master 2>/dev/null", "r");
  if (f == nullptr) return words;
  char line[512];
  while (fgets(line, sizeof line, f) != nullptr) {
    std::string w(line);
    while (!w.empty() && (w.back() == '\n' || w.back() == '\r')) w.pop_back();
    if (!w.empty()) words.push_back(w);
  }
  pclose(f);
  return words;
}

// Where the au length mark is the ள glyph, ெ + consonant + ள and ஒ + ள with no sign on the ள
// are the bytes of ௌ and ஔ.
bool AuMarkSpelling(const std::string& w, Encoding e) {
  if (e == convert::kTscii) return false;
  const std::string la = "ள", e_sign = "\u0BC6", o = "ஒ";
  for (size_t at = w.find(la); at != std::string::npos; at = w.find(la, at + 1)) {
    std::string after = w.substr(at + la.size(), 3);
    bool signed_ = after.size() == 3 && static_cast<unsigned char>(after[0]) == 0xE0 &&
                   ((static_cast<unsigned char>(after[1]) == 0xAE && static_cast<unsigned char>(after[2]) >= 0xBE) ||
                    static_cast<unsigned char>(after[1]) == 0xAF);
    if (signed_) continue;
    if (at >= 3 && (w.compare(at - 3, 3, e_sign) == 0 || w.compare(at - 3, 3, o) == 0)) return true;
  }
  return false;
}

TEST(Convert, DictionaryRoundTripsInEveryEncoding) {
  std::vector<std::string> words = Dictionary();
  if (words.size() < 1000) GTEST_SKIP() << "aspell-ta is not installed (make deps)";
  for (int e = convert::kTscii; e < convert::kEncodingCount; ++e) {
    Encoding enc = static_cast<Encoding>(e);
    int alike = 0;
    for (const std::string& w : words) {
      uint64_t problems = 0;
      std::string back = Convert(Convert(w, convert::kUnicode, enc, &problems), enc, convert::kUnicode);
      ASSERT_EQ(problems, 0u) << convert::EncodingName(enc) << " " << w;
      if (AuMarkSpelling(w, enc)) {
        alike += back == w;
      } else {
        ASSERT_EQ(back, w) << convert::EncodingName(enc);
      }
    }
    EXPECT_EQ(alike, 0) << "a spelling with ள taken for the au length mark came back";
  }
}

// Pieces of any size convert as the whole does (the converter keeps what needs the next byte).
TEST(Convert, PiecesConvertAsTheWhole) {
  std::string text = "ஒளவை கௌரவம் கொடு ஸ்ரீலங்கா லக்ஷ்மி க\u0BC6\u0BBE ஒ\u0BD7 a-b\n\xE0\xAE";
  for (int e = convert::kTscii; e < convert::kEncodingCount; ++e) {
    Encoding enc = static_cast<Encoding>(e);
    std::string bytes = Convert(text, convert::kUnicode, enc);
    for (auto [from, to, input] : {std::make_tuple(convert::kUnicode, enc, text), std::make_tuple(enc, convert::kUnicode, bytes)}) {
      std::string whole = Convert(input, from, to), pieces;
      convert::Converter c(from, to);
      for (char ch : input) c.Feed(&ch, 1, &pieces);
      c.Finish(&pieces);
      EXPECT_EQ(Hex(pieces), Hex(whole)) << convert::EncodingName(enc);
    }
  }
}

TEST(Convert, ProblemsAreReplacedCountedAndPlaced) {
  convert::Converter c(convert::kTscii, convert::kUnicode);
  std::string out;
  c.Feed("\xB8\n\xB8\x80", 4, &out);
  c.Finish(&out);
  EXPECT_EQ(out, "க\nக\uFFFD");
  ASSERT_EQ(c.problemCount(), 1u);
  EXPECT_EQ(convert::Describe(c.problems()[0], convert::kTscii, convert::kUnicode),
            "line 2, column 2 (byte 3): byte 0x80 is no tscii glyph");
  EXPECT_EQ(c.converted(), 2u);

  uint64_t problems = 0;
  EXPECT_EQ(Convert("a\xC3(\xED\xA0\x80", convert::kUnicode, convert::kUnicode, &problems), "a\uFFFD(\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(problems, 4u);  // a lead byte cut short, and a surrogate's three bytes
  // A Tamil digit has no glyph; in TAM "A" and "?" are Tamil glyphs, so the replacement reads U+FFFD.
  EXPECT_EQ(Convert("௧க", convert::kUnicode, convert::kTscii, &problems), "?\xB8");
  std::string tam = Convert("A?", convert::kUnicode, convert::kTam, &problems);
  EXPECT_EQ(problems, 2u);
  EXPECT_EQ(Convert(tam, convert::kTam, convert::kUnicode), "\uFFFD\uFFFD");
  EXPECT_EQ(Convert(std::string("\0x", 2), convert::kUnicode, convert::kTab, &problems), std::string("\0x", 2));
  EXPECT_EQ(problems, 0u);
  EXPECT_EQ(convert::AsciiGlyphs(convert::kTscii), "");
  EXPECT_EQ(convert::AsciiGlyphs(convert::kTab), "");

  convert::Options strict;
  strict.strict = true;
  convert::Converter s(convert::kUnicode, convert::kTab, strict);
  out.clear();
  EXPECT_FALSE(s.Feed("க\n x௧y", 11, &out));
  EXPECT_EQ(Hex(out), "E8 0A 20 78");
  EXPECT_EQ(convert::Describe(s.problems()[0], convert::kUnicode, convert::kTab),
            "line 2, column 3: U+0BE7 cannot be written in tab");
}

TEST(Convert, DetectsEachEncodingOfTamilText) {
  std::vector<std::string> words = Dictionary();
  if (words.size() < 1000) GTEST_SKIP() << "aspell-ta is not installed (make deps)";
  std::string text = "Chapter 1\n";
  for (size_t i = 0; i < words.size(); i += 997) text += words[i] + (i % 7 == 0 ? ".\n" : " ");
  for (int e = convert::kUnicode; e < convert::kEncodingCount; ++e) {
    std::string bytes = Convert(text, convert::kUnicode, static_cast<Encoding>(e));
    std::vector<convert::Guess> g = convert::Detect(bytes.data(), bytes.size());
    ASSERT_FALSE(g.empty());
    EXPECT_EQ(g[0].encoding, e);
    EXPECT_GT(g[0].confidence, 0.9) << convert::EncodingName(static_cast<Encoding>(e));
  }
  EXPECT_TRUE(convert::Detect("plain text\n", 11).empty());
}

// ---- virelconv --------------------------------------------------------------------------------

struct Folder {
  std::string path;
  Folder() {
    char name[] = "/tmp/virelconv-test-XXXXXX";
    path = mkdtemp(name);
  }
  ~Folder() { (void)system(("rm -rf " + path).c_str()); }
  std::string Write(const std::string& name, const std::string& text) const {
    std::ofstream(path + "/" + name, std::ios::binary) << text;
    return path + "/" + name;
  }
  std::string Read(const std::string& name) const {
    std::ifstream f(path + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
  }
  // virelconv's exit status; its standard error in *err.
  int Run(const std::string& arguments, std::string* err = nullptr) const {
    int status = system((std::string(VIREL_CONVERT_PROGRAM) + " " + arguments + " 2>" + path + "/err").c_str());
    if (err != nullptr) *err = Read("err");
    return WEXITSTATUS(status);
  }
};

TEST(Virelconv, ExitsAndFiles) {
  Folder f;
  std::string in = f.Write("in.txt", "\xB8\xA1\n\x80\xB8");
  std::string err;
  EXPECT_EQ(f.Run("--from TSCII --to Unicode " + in + " " + f.path + "/out.txt", &err), 1);
  EXPECT_EQ(f.Read("out.txt"), "கா\n\uFFFDக");
  EXPECT_NE(err.find("line 2, column 1 (byte 3): byte 0x80 is no tscii glyph"), std::string::npos) << err;
  EXPECT_EQ(f.Read("in.txt"), "\xB8\xA1\n\x80\xB8");

  // --strict: the line and column, and OUT as it was.
  f.Write("kept.txt", "old");
  EXPECT_EQ(f.Run("--strict --from tscii --to unicode " + in + " " + f.path + "/kept.txt", &err), 2);
  EXPECT_NE(err.find("line 2, column 1"), std::string::npos) << err;
  EXPECT_EQ(f.Read("kept.txt"), "old");

  std::string bad = f.Write("bad.txt", "க\xFF");
  EXPECT_EQ(f.Run("--from unicode --to tab " + bad + " " + f.path + "/tab.txt", &err), 1);
  EXPECT_NE(err.find("invalid UTF-8"), std::string::npos) << err;
  EXPECT_EQ(f.Read("tab.txt"), "\xE8?");

  EXPECT_EQ(f.Run("--from unicode --to tab " + bad + " " + f.path + "/none/out.txt", &err), 4);
  EXPECT_EQ(f.Run("--from tscii --to unicode " + in + " " + in, &err), 3);
  EXPECT_EQ(f.Read("in.txt"), "\xB8\xA1\n\x80\xB8");
  EXPECT_EQ(f.Run("--from tscii --to klingon " + in), 3);
  EXPECT_EQ(f.Run("--from tscii --to unicode " + f.path + "/missing.txt"), 4);
  EXPECT_EQ(system(("ls " + f.path + " | grep -q tmp").c_str()) == 0, false) << "a temporary file was left";

  // Standard streams, and UTF-16 out.
  EXPECT_EQ(f.Run("--from unicode --to t_old - " + f.path + "/old.txt < " + f.Write("u.txt", "கி")), 0);
  EXPECT_EQ(f.Read("old.txt"), "\xBB");
  EXPECT_EQ(f.Run("--from t_old --to unicode --utf16 " + f.path + "/old.txt " + f.path + "/u16.txt"), 0);
  EXPECT_EQ(f.Read("u16.txt"), std::string("\xFF\xFE\x95\x0B\xBF\x0B", 6));
  EXPECT_EQ(f.Run("--detect " + in + " > " + f.path + "/detect.txt"), 0);
  EXPECT_EQ(f.Read("detect.txt").substr(0, 5), "tscii");
}

}  // namespace
