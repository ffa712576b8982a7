#include "tray/captions.h"

// TSCII bytes; a literal is split where a hex escape would swallow the next character. Each
// caption's mnemonic is the English caption's, a Latin letter in brackets after the Tamil text (a
// Tamil letter could not be typed on a Latin keyboard), as East Asian editions of Windows write it.
const CaptionSet kTamilCaptions = {
    "\xCC\xC8\xA2\xC2\xA3\xCE(&E):",                              // குறியீடு(E):
    "\xC5\xA2\xA8\xBA\xF4\xC0\xC4\xA8\xB8(&B):",                  // விசைப்பலகை(B):
    "\xC1\xA1\xFC\xDA \xC5\xA2\xA8\xBA(&T):",                     // மாற்று விசை(T):
    "\xBF\xA2\xDA\xF2\xD0\xB8(&S)",                               // நிறுத்துக(S)
    "\xC1\xA1\xFC\xC8\xF2\xA8\xBE \xA7\xBA\xC1\xA2(&S)",          // மாற்றத்தை சேமி(S)
    "\xC5\xA2\xA6\xC3\xF8 \xAF\xBE\xC5\xA2(&H)",                  // விரெல் உதவி(H)
    "  \xBE\xC1\xA2\xC6\xA2\xF8(&I)",                             // தமிழில்(I) (after two blanks)
    {
        "\xD4\xC9\xA2\xA7\xB8\xA1\xF0",                           // யுனிகோட்
        "\xBE\xA2\x8A\xB8\xA2",                                   // திஸ்கி
        "\xBC\xA1\xF4",                                           // டாப்
        "\xBC\xA1\xF5",                                           // டாம்
        "\xC4\xA2\xC0\xA2",                                       // லிபி
        "\xC0\xA8\xC6\xC2",                                       // பழைய
    },
    {
        "\xB4\xC4\xA2\xC2\xA2\xC2\xF8",                           // ஒலியியல்
        "\xBE\xC1\xA2\xFA" "99",                                  // தமிழ்99
        "\xD2\xBE\xA2\xC2 \xBE\xF0\xBC\xEE\xCD",                  // புதிய தட்டச்சு
        "\xC0\xA8\xC6\xC2 \xBE\xF0\xBC\xEE\xCD",                  // பழைய தட்டச்சு
    },
    "TSCVirel",
};

// Mnemonics (& before the letter) leave K alone, the default toggle key.
const CaptionSet kEnglishCaptions = {
    "&Encoding:",
    "Key&board:",
    "&Toggle Key:",
    "&Stop",
    "&Save Changes",
    "Virel &Help",
    "  &In Tamil",
    {"UNICODE", "TSC", "TAB", "TAM", "LIPI", "T_OLD"},
    {"Phonetic", "Tamil99", "New Typewriter", "Old Typewriter"},
    nullptr,
};

const CaptionSet& CaptionsFor(uint32_t displayLang) {
  return displayLang == 1 ? kTamilCaptions : kEnglishCaptions;
}

const char* const kToggleKeyNames[kToggleKeyCount] = {
    "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M",
    "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z",
    "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12",
};

const char kHelpText[] =
    "Virel Tamil Software is a keyboard manager that helps to input Tamil directly in all "
    "Microsoft Windows applications.\n"
    "It works with web browsers (Internet Explorer, Firefox, Chrome, Opera), web mail (Gmail, "
    "Yahoo! Mail, Outlook.com), office suites (Microsoft Office, LibreOffice), Wordpad, "
    "Notepad and many other programs.\n"
    "\n"
    "OPERATING SYSTEM: \n"
    "Windows XP (SP3), Vista, 7, 8 and 10, in their 32 bit and 64 bit editions.\n"
    "\n"
    "64 BIT PLATFORMS: \n"
    "On 64 bit Windows both Virel32 and Virel64 must run: each of them serves the programs of "
    "its own kind.\n"
    "Start both of them, and leave both running while you type.\n"
    "\n"
    "TAMIL ENCODING: \n"
    "UNICODE, TSCII, TAB, TAM, LIPI and T_OLD.\n"
    "\n"
    "TAMIL KEYBOARD LAYOUTS: \n"
    "English phonetic, Tamil99, New Typewriter and Old Typewriter.\n"
    "\n"
    "DISPLAY LANGUAGES: \n"
    "The captions of this window can be shown in Tamil or in English: check or clear the In "
    "Tamil box.\n"
    "\n"
    "TOGGLE KEY: \n"
    "The toggle key switches between Tamil and English. Any key of the list can be chosen; "
    "the default is ALT + k.\n"
    "\n"
    "TO SAVE CHANGES: \n"
    "After changing the encoding or the keyboard layout, press Save Changes and start the "
    "program again.\n"
    "Start Virel32 and Virel64 again as well: a change is used only after both have been "
    "started anew.\n"
    "\n"
    "MINIMIZE: \n"
    "The window can be minimized to the notification area, where the Virel icon shows while "
    "the program runs: blue while Tamil is on, grey while English is on.\n"
    "A right click on the icon opens a menu that shows or hides the window.\n"
    "\n"
    "VIREL MANUAL : \n"
    "Two manuals come with Virel:\n"
    "    o  Virel-Manual-Tamil.pdf\n"
    "    o  Virel-Manual-English.pdf\n"
    "Find them in the Start menu:\n"
    "    o  Windows XP and Vista: All Programs, Orvane, 5.0\n"
    "    o  Windows 7, 8 and 10: the Apps view, under the Orvane app\n"
    "\n"
    "COST: \n"
    "It is completely free!\n"
    "\n"
    "TUTORIAL:\n"
    "   1. Make sure that Virel32 and Virel64 (if available) are running.\n"
    "   2. Open a web browser, sign in to your web mail and start writing an e-mail.\n"
    "   3. Press ALT + k in the text of the e-mail: the Virel icon turns blue.\n"
    "   4. Type in Tamil with the keys of the chosen layout: in the phonetic layout, vaNakkam "
    "writes the Tamil greeting.\n"
    "   5. Press ALT + k again to switch back to English: the icon turns grey.";
