#include "engine/testing/typing_session.h"

#include <ctype.h>
#include <stdio.h>

#include "engine/core/exports.h"
#include "engine/core/process_state.h"
#include "engine/core/shared_state.h"

namespace fake {

namespace {

const char kSessionCharacters[] =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZaeiouaeiouhkn0123456789 .,-;:[]{}|~#&<>?%$^_`'\"!@*()+=/\b\r\t";

const LPARAM kRepeated = 1 | (1 << 30);
const LPARAM kReleased = static_cast<LPARAM>(0xC0000001u);

long BeforeCaret(const Host& host) {
  return static_cast<long>(host.text.size()) - static_cast<long>(host.caretFromEnd) - 1;
}

// A Backspace of the user's own may erase what is before the caret: is that the user's?
bool UsersOwnBefore(const Host& host) {
  long at = BeforeCaret(host);
  return at >= 0 && host.text[at].fromUser && host.typedGlyphs.count(host.text[at].code) == 0;
}

std::string Printable(unsigned char ch) {
  if (ch >= 0x20 && ch < 0x7F) return std::string(1, static_cast<char>(ch));
  const char* names[] = {"\\b", "\\t", "\\r"};
  if (ch == '\b') return names[0];
  if (ch == '\t') return names[1];
  if (ch == '\r') return names[2];
  char hex[8];
  snprintf(hex, sizeof hex, "\\x%02X", ch);
  return hex;
}

}  // namespace

unsigned char SessionCharacter(unsigned pick) {
  return static_cast<unsigned char>(kSessionCharacters[pick % (sizeof kSessionCharacters - 1)]);
}

TypingSession::TypingSession(const Application& app, int encoding, int keyboard) : app_(app), encoding_(encoding) {
  windows_[0] = StartApplication(app);
  SetTamilEncodings(encoding);
  SetTamilKeyboard(keyboard);
  PressToggle(windows_[0]);
  const fake::Window& first = world().windows[windows_[0]];
  windows_[1] = NewWindow(first.className, first.parent);
  HostOf(windows_[1]) = first.host;
  // Where the font makes ASCII characters letters, the user types them as such in the phonetic
  // layout; and under FRAME, which writes the last glyph from the keystroke itself, a glyph equal
  // to the key typed is not told from the user's character.
  if (keyboard == kKbdPhonetic || ThisHost().bytes == TextBy::kSentButLast) {
    for (HWND w : windows_) HostOf(w).typedGlyphs = TypedGlyphs();
  }
  const BYTE* tables = reinterpret_cast<const BYTE*>(&glyphs);
  for (size_t i = 0; i < sizeof glyphs; ++i) glyphBytes_.insert(tables[i]);
}

void TypingSession::Key(unsigned char ch) {
  const Host& host = HostOf(windows_[current_]);
  if (ch == '\b' && UsersOwnBefore(host)) ++allowedUser_;
  if (ch == '\b' && BeforeCaret(host) < 0) ++allowedEmpty_;
  Type(windows_[current_], std::string(1, static_cast<char>(ch)));
  log_ += Printable(ch);
  ++keys_;
}

void TypingSession::Do(Action action, unsigned argument) {
  HWND w = windows_[current_];
  unsigned char ch = static_cast<unsigned char>(argument);
  switch (action) {
    case kLeft:
    case kRight:
    case kHome:
    case kEnd: {
      const UINT kKeys[] = {VK_LEFT, VK_RIGHT, VK_HOME, VK_END};
      const char* kNames[] = {"<left>", "<right>", "<home>", "<end>"};
      PressKey(w, kKeys[action - kLeft]);
      log_ += kNames[action - kLeft];
      break;
    }
    case kClick:
      Click(w, argument % (HostOf(w).text.size() + 1));
      log_ += "<click>";
      break;
    case kToggle:
      PressToggle(w);
      log_ += "<toggle>";
      break;
    case kRepeat:
      if (ch == '\b') ch = 'a';  // a held Backspace erases whatever is there
      Retrieve(Message(w, WM_KEYDOWN, VirtualKeyOf(ch), kRepeated), true);
      Pump();
      log_ += "<repeat " + Printable(ch) + ">";
      break;
    case kRelease:
      Retrieve(Message(w, WM_CHAR, ch == '\b' ? 'a' : ch, kReleased), true);
      Pump();
      log_ += "<release>";
      break;
    case kHeldShift:
      Retrieve(Message(w, WM_KEYDOWN, VK_SHIFT, kRepeated), true);
      Pump();
      log_ += "<shift>";
      break;
    case kPosted:
      if (ch == '\b') ch = 'a';
      // Another program's text: not the engine's to erase, nor to compose (but under POWER,
      // whose typed keys come so).
      if (Retrieve(Message(w, WM_CHAR, ch, 0), true) == 1 && ThisHost().composesPosted == 0) composedPosted_ = true;
      Pump();
      log_ += "<posted " + Printable(ch) + ">";
      break;
    case kOtherWindow:
      current_ = 1 - current_;
      world().focus = windows_[current_];
      log_ += "<window>";
      break;
    case kClipboard:
      world().clipboardOpenFails = !world().clipboardOpenFails;
      log_ += "<clipboard>";
      break;
    default:
      break;
  }
  ++keys_;
}

bool TypingSession::WrittenUnitAllowed(uint16_t code) const {
  bool punctuation = code >= 0x20 && code < 0x7F && !isalnum(code);  // a layout's symbol keys
  bool typographic = code == 0xB7 || code == 0xA9 || code == 0xA0;   // the Tamil99 caret's
  if (encoding_ != kEncUnicode) return glyphBytes_.count(static_cast<BYTE>(code)) != 0 || punctuation || typographic;
  if (std::string(app_.name) == "Yahoo" && code >= 0x80 && code <= 0xFF) return true;  // low bytes by design
  return (code >= 0x0B80 && code <= 0x0BFF) || code == 0x200D || punctuation || typographic;
}

std::string TypingSession::Broken() const {
  int erased = 0;
  int empty = 0;
  for (HWND w : windows_) {
    const Host& host = HostOf(w);
    erased += host.userUnitsErased;
    empty += host.erasesOnEmpty;
    for (const Unit& u : host.text) {
      if (u.fromUser || (u.code == 0 && host.keepsNul)) continue;
      if (!WrittenUnitAllowed(u.code)) {
        char what[64];
        snprintf(what, sizeof what, "the engine wrote U+%04X", u.code);
        return what;
      }
    }
  }
  if (erased > allowedUser_) return "a character the engine did not write was erased";
  if (erased < allowedUser_) return "the user's Backspace erased nothing";
  if (empty != allowedEmpty_) return "a backspace found nothing to erase";
  if (world().pumpGaveUp) return "the queue never emptied";
  if (world().composedNotTyped != 0) return "the engine composed a message no key made";
  if (composedPosted_) return "the engine composed a character another program posted";
  return "";
}

}  // namespace fake
