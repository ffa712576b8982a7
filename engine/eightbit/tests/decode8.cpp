#include "engine/eightbit/tests/decode8.h"

#include "convert/legacy_text.h"

std::string Decode8(const std::string& bytes, int encoding) {
  if (encoding < convert::kTscii || encoding > convert::kTOld) encoding = convert::kTscii;
  return convert::Convert(bytes, static_cast<convert::Encoding>(encoding), convert::kUnicode);
}
