// Reads 8-bit Tamil text back as Unicode, using the engine's own glyph tables, so that what an
// 8-bit composer wrote can be compared with what a Unicode composer writes for the same keys.
//
// Visual order becomes logical order: a prefix sign (ெ ே ை) written before its consonant follows
// it; ெ or ே, consonant, ா becomes ொ or ோ; ெ, consonant, au length mark becomes ௌ; ஒ and the
// au length mark become ஔ; TAB's consonant followed by the separate pulli is the consonant and
// ். Where the au length mark is the same byte as ள (TAB, TAM, LIPI, T_OLD), that byte after ெ +
// consonant or after ஒ is read as the mark unless a vowel sign or the pulli follows it (then it
// is ள, as in ஒளி): the fonts draw both the same. LIPI's "-" glyph reads "-", its unused 0x97
// entry "—". Other bytes below 0x80 read as themselves, other bytes above as U+FFFD.
#pragma once

#include <string>

// `encoding` is the number SetTamilEncodings takes: 1 TSCII, 2 TAB, 3 TAM, 4 LIPI, 5 T_OLD.
// The engine's state (glyph slots, encoding flags, syllableTables) is left as it was.
std::u16string Decode8Units(const std::string& bytes, int encoding);

// The same, as UTF-8 (comparable with fake::Utf8 of a Unicode host).
std::string Decode8(const std::string& bytes, int encoding);

// UTF-16 units as UTF-8.
std::string Utf8Of(const std::u16string& units);
