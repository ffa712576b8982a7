// Which encoding a sample is: each 8-bit encoding is a model of bytes, the frequencies of its
// bytes in real Tamil text (the Tamil dictionary written in that encoding, glyph_statistics.inc)
// mixed with plain ASCII text; the sample's likelihood under each gives the probabilities. Valid
// UTF-8 with Tamil letters in it is Unicode.
#include <math.h>

#include <algorithm>

#include "convert/legacy_text.h"

namespace convert {
namespace {

// Byte counts of the dictionary in each 8-bit encoding, one word a line (TSCII to T_OLD).
const unsigned kGlyphCounts[5][256] = {
#include "convert/glyph_statistics.inc"
};

const double kTamilShare = 0.85;   // of a document's bytes, those of Tamil text
const double kEvidenceBytes = 200;  // the likelihoods count as if the sample had at most this many bytes

struct Model {
  double logP[256];
  Model() {}
  explicit Model(const unsigned (&counts)[256]) {
    double total = 0;
    for (unsigned c : counts) total += c + 0.5;
    for (int b = 0; b < 256; ++b) {
      bool text = (b >= 0x20 && b < 0x7F) || b == '\t' || b == '\n' || b == '\r';
      double ascii = text ? 1.0 / 98 : 1e-6;
      logP[b] = log(kTamilShare * (counts[b] + 0.5) / total + (1 - kTamilShare) * ascii);
    }
  }
};

// Tamil letters in valid UTF-8, or -1 when the sample is not UTF-8 (a cut last character is).
long TamilInUtf8(const unsigned char* p, size_t n) {
  long tamil = 0;
  size_t i = 0;
  if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) i = 3;
  while (i < n) {
    unsigned char b = p[i];
    size_t length = b < 0x80 ? 1 : b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
    if (length == 0) return -1;
    for (size_t k = 1; k < length; ++k) {
      if (i + k >= n) return tamil;
      if ((p[i + k] & 0xC0) != 0x80) return -1;
    }
    if (length == 3 && b == 0xE0 && (p[i + 1] == 0xAE || p[i + 1] == 0xAF)) ++tamil;
    i += length;
  }
  return tamil;
}

}  // namespace

std::vector<Guess> Detect(const char* data, size_t size) {
  static const struct Models {
    Model m[5];
    Models() {
      for (int e = 0; e < 5; ++e) m[e] = Model(kGlyphCounts[e]);
    }
  } models;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(data);
  std::vector<Guess> guesses;
  double unicode = 0;
  long tamil = TamilInUtf8(p, size);
  if (tamil > 0) unicode = tamil >= 10 ? 0.99 : 0.5 + 0.049 * tamil;

  double ll[5] = {};
  bool high = false;
  for (size_t i = 0; i < size; ++i) {
    high = high || p[i] >= 0x80;
    for (int e = 0; e < 5; ++e) ll[e] += models.m[e].logP[p[i]];
  }
  if (!high) return guesses;  // plain ASCII: no Tamil in any encoding to speak of
  double scale = size > kEvidenceBytes ? kEvidenceBytes / size : 1.0;
  double best = *std::max_element(ll, ll + 5);
  double sum = 0, weight[5];
  for (int e = 0; e < 5; ++e) sum += weight[e] = exp((ll[e] - best) * scale);
  guesses.push_back(Guess{kUnicode, unicode});
  for (int e = 0; e < 5; ++e) guesses.push_back(Guess{static_cast<Encoding>(e + 1), (1 - unicode) * weight[e] / sum});
  std::stable_sort(guesses.begin(), guesses.end(),
                   [](const Guess& a, const Guess& b) { return a.confidence > b.confidence; });
  return guesses;
}

}  // namespace convert
