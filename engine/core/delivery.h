// Delivery of backspaces and text to the window of the intercepted message, in the way the
// host's profile requires. Each routine also neutralises the keystroke: it leaves 0 in the
// message's wParam (under FRAME, DeliverBytes leaves the last byte, or 8).
#pragma once

#include "engine/core/platform.h"

// 8-bit text (zero-terminated), after erasing `backspaces` characters (none when 0 or less).
void DeliverBytes(MSG* msg, const BYTE* text, int backspaces);

// Low bytes of Tamil-block code points (zero-terminated); each goes out as 0x0B00 + b, or as b
// itself when raw is 1. eraseOne sends one backspace first; noWinwoExtra suppresses the extra
// backspace of a WINWO host.
void DeliverUnicode(MSG* msg, const BYTE* text, BYTE eraseOne, BYTE noWinwoExtra, BYTE raw);

// One UTF-16 code unit.
void DeliverUnicodeChar(MSG* msg, WORD unit);

// The conjunct ksha (U+0B95 U+0BCD U+0BB7), built in composeText.
void DeliverKsha(MSG* msg, BYTE eraseOne);

// WINWO: Word keeps a character for a keystroke neutralised to NUL. Erases the one the previous
// keystroke left (a swallowed key), before the keystroke being handled reaches the window.
void EraseKeptCharacter(HWND window);
