// Reads 8-bit Tamil text back as Unicode through the converter (convert/legacy_text.h), which
// takes its glyphs from the engine's own tables, so that what an 8-bit composer wrote can be
// compared with what a Unicode composer writes for the same keys. The engine's state is not
// touched.
#pragma once

#include <string>

// `encoding` is the number SetTamilEncodings takes: 1 TSCII, 2 TAB, 3 TAM, 4 LIPI, 5 T_OLD. The
// text is UTF-8 (comparable with fake::Utf8 of a Unicode host).
std::string Decode8(const std::string& bytes, int encoding);
