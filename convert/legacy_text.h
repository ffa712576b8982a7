// Converts Tamil text between Unicode and the five 8-bit font encodings (TSCII, TAB, TAM, LIPI,
// T_OLD), in either direction, in pieces of any size and in constant memory. The glyphs are the
// engine's own tables (engine/eightbit/glyph_rows.cpp, engine/unicode/unicode_units.cpp), so what
// the engine types reads back as the text it stands for. No platform code.
//
// 8-bit to Unicode. 8-bit text is in visual order: the signs ெ ே ை are stored before their
// consonant, ொ ோ as ெ or ே, consonant, ா, and ௌ as ெ, consonant, au length mark. They come back
// in logical order, ொ ோ ௌ as one code point each; ஒ and the au length mark are ஔ. A syllable
// stored as one glyph (கு, கூ, டி, and in TAM, LIPI and T_OLD every consonant with ி or ீ) is
// consonant and sign; க்ஷ and ஸ்ரீ are their conjuncts; TAB's consonant followed by its separate
// pulli is consonant and ். Where the au length mark is the ள glyph (TAB, TAM, LIPI, T_OLD), that
// byte after ெ + consonant or after ஒ is the mark unless a vowel sign or the pulli follows it
// (then it is ள, as in ஒளி): the fonts draw both alike. LIPI's 0x96 (the glyph the engine types
// for "-") reads "-", its 0x97 "—". A byte that is no glyph reads as itself below 0x80 and as
// U+FFFD (a problem) from 0x80 up.
//
// Unicode to 8-bit: each syllable in the byte order the encoding's fonts draw, the one-glyph forms
// where the encoding has them (TAM takes consonant + ி/ீ as two glyphs, as the engine types it
// outside KAVIT and WORDP; LIPI and T_OLD one glyph), ொ ோ ௌ also when written in two parts.
// A character is written only where the bytes read back as that character; anything else (a
// Tamil digit, a Latin letter on a byte that is a Tamil glyph in the encoding, a symbol outside
// ASCII) is a problem.
//
// Bytes below 0x80 that are Tamil glyphs (the fonts draw Tamil there, so a document in that font
// never showed them as English): none in TSCII and TAB; in TAM ? A–Z a–r v–z; in LIPI A–L P–Z
// [ \ ] ^ _ ` a–s u–z { | } ~; in T_OLD # $ % & < > A–Z [ ] ^ _ a–z { | } ~ (AsciiGlyphs). They
// are read as Tamil, and those ASCII characters cannot be written in that encoding (problems).
//
// Problems are replaced (U+FFFD in Unicode; `?` in 8-bit text, or where `?` is a glyph a byte that
// reads as U+FFFD) and counted, with the positions of the first few; in strict mode conversion
// stops before the first.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

namespace convert {

// The numbers SetTamilEncodings takes.
enum Encoding { kUnicode = 0, kTscii = 1, kTab = 2, kTam = 3, kLipi = 4, kTOld = 5 };
const int kEncodingCount = 6;

// "unicode", "tscii", "tab", "tam", "lipi", "t_old" in any case (also "t-old" and "told").
bool EncodingFromName(const std::string& name, Encoding* encoding);
const char* EncodingName(Encoding encoding);  // lower case, as above

// The ASCII characters that are Tamil glyphs in an 8-bit encoding, in byte order.
std::string AsciiGlyphs(Encoding encoding);

// A piece of input that could not be converted.
struct Problem {
  enum Kind { kNoGlyph, kInvalidUtf, kCannotWrite } kind;
  uint64_t line;    // from 1
  uint64_t column;  // from 1, in characters (8-bit input: bytes)
  uint64_t offset;  // byte offset in the input (8-bit and invalid UTF input; otherwise 0)
  uint32_t value;   // the byte, or the code point that cannot be written
};
std::string Describe(const Problem& problem, Encoding from, Encoding to);

struct Options {
  bool strict = false;        // stop before the first problem
  bool utf16Output = false;   // Unicode output as UTF-16LE with a byte order mark
};

class Converter {
 public:
  Converter(Encoding from, Encoding to, const Options& options = Options());
  ~Converter();
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts the next piece of input and appends what is certain to *out (a few units may wait
  // for the next piece). Returns false once strict mode has stopped; later input is ignored.
  bool Feed(const char* data, size_t size, std::string* out);
  // The end of the input: appends what waited.
  bool Finish(std::string* out);

  // Tamil characters read (to Unicode) or written (to 8-bit).
  uint64_t converted() const;
  uint64_t problemCount() const;
  // The first kKeptProblems problems, in input order.
  static const size_t kKeptProblems = 10;
  const std::vector<Problem>& problems() const;
  bool stopped() const;

 private:
  struct State;
  State* state_;
};

// One-shot conversion of a whole text.
std::string Convert(const std::string& text, Encoding from, Encoding to, uint64_t* problems = nullptr);

// Which encoding a sample most likely is, with the probability of each given the byte statistics
// of real Tamil text in each encoding, likeliest first. Empty when the sample is plain ASCII.
struct Guess {
  Encoding encoding;
  double confidence;  // 0 to 1
};
std::vector<Guess> Detect(const char* data, size_t size);

}  // namespace convert
