#include "engine/testing/typing_session.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>

#include "engine/core/composers.h"
#include "engine/core/exports.h"
#include "engine/core/own_input.h"
#include "engine/core/process_state.h"
#include "engine/core/shared_state.h"

namespace fake {

namespace {

const char kSessionCharacters[] =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZaeiouaeiouhkn0123456789 .,-;:[]{}|~#&<>?%$^_`'\"!@*()+=/\b\r\t";

const LPARAM kRepeated = 1 | (1 << 30);
const LPARAM kReleased = static_cast<LPARAM>(0xC0000001u);
const DWORD kStallMs = 1100;  // a host busy for over a second
const UINT kUsersClipboardFormat = 0xC0DE;
const unsigned kUnread = 1000;  // keys typed with the host reading none of them

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
  if (ch == '\b') return "\\b";
  if (ch == '\t') return "\\t";
  if (ch == '\r') return "\\r";
  char hex[8];
  snprintf(hex, sizeof hex, "\\x%02X", ch);
  return hex;
}

// Every glyph byte of the five 8-bit encodings: what a process may write once another process
// has changed the encoding under it.
const std::set<uint16_t>& AllGlyphBytes() {
  static std::set<uint16_t> all;
  if (!all.empty()) return all;
  GlyphTables kept = glyphs;
  EngineSharedState settings = *shared;
  for (int encoding = kEncTscii; encoding <= kEncTOld; ++encoding) {
    SetTamilEncodings(encoding);
    LoadGlyphTables();
    const BYTE* tables = reinterpret_cast<const BYTE*>(&glyphs);
    for (size_t i = 0; i < sizeof glyphs; ++i) all.insert(tables[i]);
  }
  glyphs = kept;
  *shared = settings;
  return all;
}

bool UsersMessagesQueued(DWORD thread) {
  const Thread& t = world().threads[thread];
  for (const std::deque<Queued>* queue : {&t.posted, &t.input}) {
    for (const Queued& q : *queue) {
      if (q.fromUser && q.msg.message != WM_KEYUP && q.msg.message != WM_SYSKEYUP) return true;
    }
  }
  return false;
}

bool AnythingQueued() {
  for (const auto& t : world().threads) {
    if (!t.second.posted.empty() || !t.second.input.empty()) return true;
  }
  return false;
}

}  // namespace

unsigned char SessionCharacter(unsigned pick) {
  return static_cast<unsigned char>(kSessionCharacters[pick % (sizeof kSessionCharacters - 1)]);
}

TypingSession::TypingSession(const Application& app, int encoding, int keyboard, DWORD startTick)
    : app_(app), encoding_(encoding) {
  windows_[0] = StartApplication(app);
  world().tick = startTick;
  SetTamilEncodings(encoding);
  SetTamilKeyboard(keyboard);
  PressToggle(windows_[0]);
  const fake::Window& first = world().windows[windows_[0]];
  windows_[1] = NewWindow(first.className, first.parent);
  world().windows[windows_[1]].threadId = kMainThread + 1;
  HostOf(windows_[1]) = first.host;
  // Where the font makes ASCII characters letters, the user types them as such in the phonetic
  // layout; and under FRAME, which writes the last glyph from the keystroke itself, a glyph equal
  // to the key typed is not told from the user's character.
  usesTypedGlyphs_ = keyboard == kKbdPhonetic || ThisHost().bytes == TextBy::kSentButLast;
  if (usesTypedGlyphs_) {
    for (HWND w : windows_) HostOf(w).typedGlyphs = TypedGlyphs();
  }
  const BYTE* tables = reinterpret_cast<const BYTE*>(&glyphs);
  for (size_t i = 0; i < sizeof glyphs; ++i) glyphBytes_.insert(tables[i]);
  SetClipboardText("the user's own");
  world().clipboard[kUsersClipboardFormat] = {1, 2, 3};
}

void TypingSession::Key(unsigned char ch) {
  HWND w = windows_[current_];
  unsigned behind = slow_ ? 0 : behind_;
  if (behind == 0) Settle();
  if (behind == 0 && ch == '\b' && UsersOwnBefore(HostOf(w))) ++expectedUsersErasures_;
  TypeKey(w, ch, behind);
  log_ += Printable(ch);
  ++keys_;
}

void TypingSession::CatchUp() { Pump(); }

void TypingSession::Settle() { Pump(); }

void TypingSession::Do(Action action, unsigned argument) {
  HWND w = windows_[current_];
  HWND other = windows_[1 - current_];
  unsigned char ch = static_cast<unsigned char>(argument);
  if (slow_ && OnlyTiming(action)) {
    // The same keys and clicks, with the host keeping up.
    if (action == kPeek) {
      Key(SessionCharacter(argument));
      Key(SessionCharacter(argument >> 8));
    } else if (action == kOtherThread) {
      Key(SessionCharacter(argument));
      Click(other, 0);
    }
    return;
  }
  if (action != kToggle && !OnlyTiming(action)) Settle();
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
    case kClick: {
      size_t at = argument % (HostOf(w).text.size() + 1);
      Click(w, at);
      log_ += "<click " + std::to_string(at) + ">";
      break;
    }
    case kToggle:
      TypeToggle(w, behind_);
      log_ += "<toggle>";
      break;
    case kRepeat:
      if (ch == '\b') ch = 'a';  // a held Backspace erases whatever is there
      Retrieve(Message(w, WM_KEYDOWN, VirtualKeyOf(ch), kRepeated), true);
      Pump();
      log_ += "<repeat " + Printable(ch) + ">";
      break;
    case kRelease:
      if (ch == '\b') ch = 'a';
      Retrieve(Message(w, WM_CHAR, ch, kReleased), true);
      Pump();
      log_ += "<release " + Printable(ch) + ">";
      break;
    case kHeldShift:
      Retrieve(Message(w, WM_KEYDOWN, VK_SHIFT, kRepeated), true);
      Pump();
      Retrieve(Message(w, WM_KEYUP, VK_SHIFT, kReleased), true);
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
      clipboardTouched_ = true;
      log_ += "<clipboard>";
      break;
    case kAhead:
      behind_ = argument % 4;
      log_ += "<ahead " + std::to_string(behind_) + ">";
      break;
    case kStall:
      for (HWND window : windows_) HostOf(window).stallMs = HostOf(window).stallMs == 0 ? kStallMs : 0;
      log_ += "<stall>";
      break;
    case kNestedLoop:
      for (HWND window : windows_) HostOf(window).pumpsInSentMessages = !HostOf(window).pumpsInSentMessages;
      log_ += "<nested>";
      break;
    case kMonitor:
      world().clipboardMonitor = !world().clipboardMonitor;
      log_ += "<monitor>";
      break;
    case kPeek:
    case kOtherThread: {
      // The key is read up to its composition; what the engine sent for it waits in the queue.
      DWORD thread = world().windows[w].threadId;
      TypeKey(w, SessionCharacter(argument), kUnread);
      while (UsersMessagesQueued(thread) && RetrieveNext(thread)) {
      }
      if (action == kPeek) {
        TypeKey(w, SessionCharacter(argument >> 8), kUnread);
        RetrieveFiltered(thread, WM_KEYDOWN, WM_KEYUP);  // key transitions, not characters
        log_ += "<peek " + std::to_string(argument) + ">";
      } else {
        Retrieve(Message(other, WM_LBUTTONDOWN, 1, 0));
        log_ += "<thread " + std::to_string(argument) + ">";
      }
      keys_ += 2;
      Keep(behind_);
      break;
    }
    case kLoseKeys: {
      world().currentThread = world().windows[w].threadId;
      KeyBatch keys{};
      AddKey(&keys, VK_CONTROL, false);
      AddKey(&keys, 'V', false);
      AddKey(&keys, 'V', true);
      AddKey(&keys, VK_CONTROL, true);
      world().keysToLose = static_cast<int>(keys.count);
      clipboardTouched_ = true;  // a paste of the engine's that never comes leaves its text there
      SynthesizeOwnKeys(keys);
      log_ += "<lost>";
      break;
    }
    case kScribble: {
      // Settings changed through the exports, or any field written raw: the composers' shared
      // state too, which leaves them nothing they can trust of what they wrote.
      int value = static_cast<int>(argument >> 3);
      switch (argument & 7) {
        case 0:
        case 1:
          if ((argument & 7) == 0) {
            SetTamilEncodings(value % 6);
          } else {
            SetTamilKeyboard(value % 4);
            usesTypedGlyphs_ = usesTypedGlyphs_ || value % 4 == kKbdPhonetic;
          }
          if (usesTypedGlyphs_) {
            // What the user typed may be letters of the font of any encoding met so far, as at the
            // start: now in another encoding, or now in the phonetic layout.
            for (uint16_t b : AllGlyphBytes()) {
              if (b >= 0x21 && b < 0x7F) {
                for (HWND window : windows_) HostOf(window).typedGlyphs.insert(b);
              }
            }
          }
          break;
        case 2: ToggleTamil(); break;
        case 3: shared->twMode = value; break;
        case 4: shared->twPending = value; break;
        case 5: shared->keyboardLayout = value; break;
        case 6: shared->syllableTables = static_cast<BYTE>(value & 1); break;
        default: shared->oldTypewriter = static_cast<BYTE>(value & 1); break;
      }
      scribbled_ = true;
      corrupted_ = corrupted_ || (argument & 7) >= 3;
      log_ += "<scribble " + std::to_string(argument) + ">";
      break;
    }
    default:
      break;
  }
  ++keys_;
}

void TypingSession::Replay(const std::string& log) {
  static const char* const kNames[kActionCount] = {
      "left",  "right", "home",   "end",     "click",   "toggle", "repeat", "release", "shift",  "posted",
      "window", "clipboard", "ahead", "stall", "nested", "monitor", "peek", "thread", "lost", "scribble"};
  for (size_t i = 0; i < log.size(); ++i) {
    unsigned char ch = static_cast<unsigned char>(log[i]);
    if (ch == '\\' && i + 1 < log.size()) {
      char c = log[++i];
      Key(c == 'b' ? '\b' : c == 't' ? '\t' : c == 'r' ? '\r' : c);
      continue;
    }
    size_t end = log.find('>', i + 1);
    if (ch != '<' || end == std::string::npos || end == i + 1) {
      Key(ch);
      continue;
    }
    std::string action = log.substr(i + 1, end - i - 1);
    std::string name = action.substr(0, action.find(' '));
    std::string argument = action.size() > name.size() ? action.substr(name.size() + 1) : "";
    bool numeric = name == "click" || name == "ahead" || name == "peek" || name == "thread" || name == "scribble";
    unsigned value = 0;
    if (numeric && !argument.empty()) {
      value = static_cast<unsigned>(strtoul(argument.c_str(), nullptr, 10));
    } else if (argument.size() == 2 && argument[0] == '\\') {
      value = argument[1] == 'b' ? '\b' : argument[1] == 't' ? '\t' : '\r';
    } else if (!argument.empty()) {
      value = static_cast<unsigned char>(argument[0]);
    }
    int found = -1;
    for (int a = 0; a < kActionCount; ++a) {
      if (name == kNames[a]) found = a;
    }
    if (found < 0) {
      Key(ch);
      continue;
    }
    Do(static_cast<Action>(found), value);
    i = end;
  }
}

bool TypingSession::WrittenUnitAllowed(uint16_t code) const {
  bool punctuation = code >= 0x20 && code < 0x7F && !isalnum(code);  // a layout's symbol keys
  bool typographic = code == 0xB7 || code == 0xA9 || code == 0xA0;   // the Tamil99 caret's
  bool tamil = (code >= 0x0B80 && code <= 0x0BFF) || code == 0x200D;
  if (std::string(app_.name) == "Yahoo" && code >= 0x80 && code <= 0xFF) return true;  // low bytes by design
  if (scribbled_) return tamil || punctuation || typographic || AllGlyphBytes().count(code & 0xFF) != 0;
  if (encoding_ != kEncUnicode) return glyphBytes_.count(static_cast<BYTE>(code)) != 0 || punctuation || typographic;
  return tamil || punctuation || typographic;
}

std::string TypingSession::Broken() const {
  int erased = 0;
  int usersOwn = 0;
  int empty = 0;
  int pastesFailed = 0;
  for (HWND w : windows_) {
    const Host& host = HostOf(w);
    erased += host.userUnitsErased;
    usersOwn += host.usersOwnErased;
    empty += host.erasesOnEmpty;
    pastesFailed += host.pastesFailed;
    for (const Unit& u : host.text) {
      if (u.fromUser || (u.code == 0 && host.keepsNul)) continue;
      if (!WrittenUnitAllowed(u.code)) {
        char what[64];
        snprintf(what, sizeof what, "the engine wrote U+%04X", u.code);
        return what;
      }
    }
  }
  if (erased > 0 && !corrupted_) return "a character the engine did not write was erased";
  if (usersOwn < expectedUsersErasures_ && !corrupted_) return "the user's Backspace erased nothing";
  if (empty > 0 && !corrupted_) return "a backspace found nothing to erase";
  if (world().pumpGaveUp) return "the queue never emptied";
  if (world().composedNotTyped != 0) return "the engine composed a message no key made";
  if (composedPosted_) return "the engine composed a character another program posted";
  if (pastesFailed > 0) return "a paste found the clipboard held by a monitor";
  bool usersClipboard = ClipboardText() == "the user's own" && world().clipboard.count(kUsersClipboardFormat) != 0;
  if (!clipboardTouched_ && !AnythingQueued() && !usersClipboard) return "the user's clipboard was not given back";
  return "";
}

}  // namespace fake
