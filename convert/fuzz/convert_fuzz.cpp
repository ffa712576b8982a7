// Fuzz targets of the converter (cmake/fuzz.cmake builds this file twice):
//   fuzz_decode (VIREL_FUZZ_DECODE): any bytes in any 8-bit encoding;
//   fuzz_encode: any text, from Tamil-block letters, signs, ASCII and others, or raw UTF-8/UTF-16.
// Each input is converted whole and in pieces of fuzzed sizes, which must agree; and a text that
// has been through an encoding once comes back from it unchanged (decode(encode(x)) is stable).
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <string>

#include "convert/legacy_text.h"

namespace {

using convert::Encoding;

std::string InPieces(const std::string& input, Encoding from, Encoding to, const uint8_t* sizes, size_t n) {
  convert::Converter c(from, to);
  std::string out;
  size_t at = 0;
  for (size_t k = 0; at < input.size(); ++k) {
    size_t piece = n == 0 ? 1 : 1 + sizes[k % n] % 9;
    if (piece > input.size() - at) piece = input.size() - at;
    c.Feed(input.data() + at, piece, &out);
    at += piece;
  }
  c.Finish(&out);
  return out;
}

void Check(bool ok, const char* what) {
  if (!ok) {
    fprintf(stderr, "fuzz: %s\n", what);
    abort();
  }
}

// Text that has been through `e` once is a fixed point of another trip.
void CheckStable(const std::string& unicode, Encoding e) {
  std::string once = convert::Convert(convert::Convert(unicode, convert::kUnicode, e), e, convert::kUnicode);
  std::string twice = convert::Convert(convert::Convert(once, convert::kUnicode, e), e, convert::kUnicode);
  Check(once == twice, "a second trip through the encoding changed the text");
}

// Code points the text is built from: every Tamil-block letter, sign and digit, ASCII, others.
uint32_t CodeOf(uint8_t b) {
  if (b < 0x80) return 0x0B80 + b;
  if (b < 0xE0) return b - 0x80 + 0x20;  // ASCII text and controls
  static const uint32_t kOthers[] = {'\n', '\r', '\t', 0, 0x200C, 0x200D, 0x2014, 0xFFFD, 0xE9, 0x10348, 0x0BD7, 0x0BCD};
  return kOthers[b % (sizeof kOthers / sizeof kOthers[0])];
}

std::string Utf8(const uint8_t* data, size_t n) {
  std::string s;
  for (size_t i = 0; i < n; ++i) {
    uint32_t c = CodeOf(data[i]);
    if (c < 0x80) {
      s += static_cast<char>(c);
    } else if (c < 0x800) {
      s += static_cast<char>(0xC0 | (c >> 6));
      s += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      s += static_cast<char>(0xE0 | (c >> 12));
      s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      s += static_cast<char>(0xF0 | (c >> 18));
      s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      s += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  Encoding e = static_cast<Encoding>(1 + data[0] % 5);
  bool raw = data[1] & 1;
  const uint8_t* sizes = data + 2;
  size_t half = (size - 2) / 4;  // the first quarter sizes the pieces
  const uint8_t* body = data + 2 + half;
  size_t n = size - 2 - half;
#ifdef VIREL_FUZZ_DECODE
  (void)raw;
  std::string bytes(reinterpret_cast<const char*>(body), n);
  std::string unicode = convert::Convert(bytes, e, convert::kUnicode);
  Check(InPieces(bytes, e, convert::kUnicode, sizes, half) == unicode, "pieces decode otherwise");
  Encoding other = static_cast<Encoding>(1 + data[1] % 5);
  Check(InPieces(bytes, e, other, sizes, half) == convert::Convert(bytes, e, other), "pieces convert otherwise");
  CheckStable(unicode, e);
#else
  std::string text = raw ? std::string(reinterpret_cast<const char*>(body), n) : Utf8(body, n);
  std::string bytes = convert::Convert(text, convert::kUnicode, e);
  Check(InPieces(text, convert::kUnicode, e, sizes, half) == bytes, "pieces encode otherwise");
  CheckStable(text, e);
  std::vector<convert::Guess> guesses = convert::Detect(text.data(), text.size());
  for (const convert::Guess& g : guesses) Check(g.confidence >= 0 && g.confidence <= 1, "a confidence out of range");
#endif
  return 0;
}
