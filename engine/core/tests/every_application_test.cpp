// The same text in every application. Each application model plays what the real application
// does with the messages the engine sends (fake::Applications): typing a word there gives what it
// gives in a host with no profile, for every encoding and layout; random typing there never
// erases a character the engine did not write; and the engine never composes its own output.
#include <gtest/gtest.h>

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>

#include <random>
#include <set>

#include "engine/core/exports.h"
#include "engine/core/hook.h"
#include "engine/core/process_state.h"
#include "engine/core/shared_state.h"
#include "engine/testing/typing_driver.h"
#include "engine/testing/typing_session.h"
#include "engine/testing/word_list.h"

namespace {

using fake::Application;

const char* const kEncodingNames[] = {"Unicode", "TSCII", "TAB", "TAM", "LIPI", "T_OLD"};
const char* const kKeyboardNames[] = {"Phonetic", "Tamil99", "NewTypewriter", "OldTypewriter"};

HWND Start(const Application& app, int encoding, int keyboard) {
  HWND w = fake::StartApplication(app);
  SetTamilEncodings(encoding);
  SetTamilKeyboard(keyboard);
  fake::PressToggle(w);
  return w;
}

// The host's text as the user sees it: UTF-8 for Unicode, else the bytes. Yahoo takes Unicode
// text as its low bytes, by design of its profile; they are compared as such.
std::string Text(HWND w, const Application& app, int encoding) {
  if (encoding == kEncUnicode && std::string(app.name) != "Yahoo") return fake::Utf8(w);
  return fake::Bytes(w);
}

std::string LowBytes(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size(); ++i) {
    unsigned char c = utf8[i];
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c >= 0xE0) {
      out += static_cast<char>(((utf8[i + 1] & 0x03) << 6) | (utf8[i + 2] & 0x3F));
      i += 2;
    } else {
      out += static_cast<char>(((c & 0x03) << 6) | (utf8[i + 1] & 0x3F));
      i += 1;
    }
  }
  return out;
}

// Where a profile exists to change the text itself, for what that application does with it.
struct Deliberate {
  const char* application;
  int encoding;
  const char* why;
};
const Deliberate kDeliberate[] = {
    {"Kavit", kEncTam, "its TAM font has consonant + i and ii as single glyphs, which the profile uses"},
    {"KavitEdit", kEncTam, "the same application as Kavit"},
    {"Wordp", kEncTam, "as Kavit: its TAM font has consonant + i and ii as single glyphs"},
};

bool IsDeliberate(const Application& app, int encoding) {
  for (const Deliberate& d : kDeliberate) {
    if (d.application == std::string(app.name) && d.encoding == encoding) return true;
  }
  return false;
}

// Typing the whole word list, a space after each word: the text after every word equals the
// plain host's.
TEST(EveryApplication, TypesTheSameWordsAsAPlainHost) {
  std::vector<fake::WordLine> words = fake::ReadWords(VIREL_SOURCE_DIR);
  ASSERT_GE(words.size(), 50u);
  const Application& plain = fake::Applications().front();
  for (int encoding = kEncUnicode; encoding <= kEncTOld; ++encoding) {
    for (int keyboard = kKbdPhonetic; keyboard <= kKbdOldTypewriter; ++keyboard) {
      std::vector<std::string> expected;
      HWND w = Start(plain, encoding, keyboard);
      for (const fake::WordLine& word : words) {
        fake::Type(w, word.keys[keyboard] + " ");
        expected.push_back(Text(w, plain, encoding));
      }
      for (const Application& app : fake::Applications()) {
        if (IsDeliberate(app, encoding)) continue;
        SCOPED_TRACE(std::string(app.name) + ", " + kEncodingNames[encoding] + ", " + kKeyboardNames[keyboard]);
        bool yahoo = encoding == kEncUnicode && std::string(app.name) == "Yahoo";
        w = Start(app, encoding, keyboard);
        for (size_t i = 0; i < words.size(); ++i) {
          fake::Type(w, words[i].keys[keyboard] + " ");
          std::string want = yahoo ? LowBytes(expected[i]) : expected[i];
          if (Text(w, app, encoding) != want) {
            ADD_FAILURE() << "after words.tsv line " << words[i].line << " (" << words[i].word << ", keys \""
                          << words[i].keys[keyboard] << "\")\n  got:  " << Text(w, app, encoding) << "\n  want: "
                          << want;
            break;
          }
        }
      }
    }
  }
}

std::string Units(HWND w) {
  std::string out;
  char unit[16];
  for (const fake::Unit& u : fake::HostOf(w).text) {
    snprintf(unit, sizeof unit, " %s%X", u.fromUser ? "*" : "", u.code);
    out += unit;
  }
  return out;
}

// Random typing with everything a user does between keys; stops at the first broken promise
// (fake::TypingSession::Broken). VIREL_TRACE=<application> prints each step of its runs.
void RandomTyping(const Application& app, int encoding, int keyboard, unsigned seed, int keys) {
  std::mt19937 random(seed);
  fake::TypingSession session(app, encoding, keyboard);
  const char* trace = getenv("VIREL_TRACE");
  for (int i = 0; i < keys; ++i) {
    unsigned pick = std::uniform_int_distribution<unsigned>(0, 99)(random);
    unsigned char ch = fake::SessionCharacter(random());
    if (pick < 80) {
      session.Key(ch);
    } else {
      auto action = static_cast<fake::TypingSession::Action>(pick % fake::TypingSession::kActionCount);
      session.Do(action, action == fake::TypingSession::kClick ? random() : ch);
    }
    if (trace != nullptr && trace == std::string(app.name)) {
      printf("%s |%s |%s\n", session.Log().c_str(), Units(session.Window(0)).c_str(), Units(session.Window(1)).c_str());
    }
    std::string broken = session.Broken();
    if (!broken.empty()) {
      ADD_FAILURE() << broken << ": " << app.name << ", " << kEncodingNames[encoding] << ", "
                    << kKeyboardNames[keyboard] << ", seed " << seed << " (VIREL_SEED)\n  keys: " << session.Log()
                    << "\n  texts (* the user's):" << Units(session.Window(0)) << " |" << Units(session.Window(1));
      return;
    }
  }
}

std::vector<unsigned> Seeds() {
  if (const char* chosen = getenv("VIREL_SEED")) return {static_cast<unsigned>(strtoul(chosen, nullptr, 10))};
  return {1u};
}

TEST(EveryApplication, RandomTypingNeverErasesWhatTheEngineDidNotWrite) {
  for (unsigned seed : Seeds()) {
    for (const Application& app : fake::Applications()) {
      for (int encoding = kEncUnicode; encoding <= kEncTOld; ++encoding) {
        for (int keyboard = kKbdPhonetic; keyboard <= kKbdOldTypewriter; ++keyboard) {
          RandomTyping(app, encoding, keyboard, seed * 1000 + static_cast<unsigned>(encoding * 4 + keyboard), 300);
        }
      }
    }
  }
}

// The same keys typed slowly, and typed while the host falls behind, stalls, runs message loops in
// sent messages, meets a clipboard monitor, takes key-downs with a filtered PeekMessage, or sees
// another thread's click, or the engine's keys are lost: the same text.
TEST(EveryApplication, TimingChangesNoText) {
  using S = fake::TypingSession;
  const S::Action kBetween[] = {S::kToggle, S::kLeft, S::kOtherWindow};
  for (unsigned seed : Seeds()) {
    for (const Application& app : fake::Applications()) {
      for (int encoding = kEncUnicode; encoding <= kEncTOld; ++encoding) {
        for (int keyboard = kKbdPhonetic; keyboard <= kKbdOldTypewriter; ++keyboard) {
          std::mt19937 random(seed * 7919 + static_cast<unsigned>(encoding * 4 + keyboard));
          std::string texts[2];
          std::string log;
          for (int slow = 1; slow >= 0; --slow) {
            std::mt19937 events = random;
            S session(app, encoding, keyboard, slow ? 0 : 0xFFFFF000u);  // the clock wraps
            session.SetSlow(slow == 1);
            for (int i = 0; i < 120; ++i) {
              unsigned pick = events() % 100;
              unsigned argument = static_cast<unsigned>(events());
              if (pick < 75) {
                session.Key(fake::SessionCharacter(argument));
              } else if (pick < 95) {
                session.Do(static_cast<S::Action>(S::kAhead + argument % (S::kLoseKeys - S::kAhead + 1)), argument);
              } else {
                session.Do(kBetween[argument % 3], 0);
              }
            }
            session.CatchUp();
            texts[slow] = Units(session.Window(0)) + " |" + Units(session.Window(1));
            if (!slow) log = session.Log();
            EXPECT_EQ(session.Broken(), "") << app.name << ", " << kEncodingNames[encoding] << ", " << log;
          }
          if (texts[0] != texts[1]) {
            ADD_FAILURE() << app.name << ", " << kEncodingNames[encoding] << ", " << kKeyboardNames[keyboard]
                          << ", seed " << seed << "\n  keys: " << log << "\n  slowly: " << texts[1]
                          << "\n  now:    " << texts[0];
            return;
          }
        }
      }
    }
  }
}

const Application& Named(const std::string& name) {
  for (const Application& app : fake::Applications()) {
    if (name == app.name) return app;
  }
  return fake::Applications().front();
}

std::string Hex(const std::string& bytes) {
  std::string out;
  char hex[4];
  for (unsigned char c : bytes) {
    snprintf(hex, sizeof hex, out.empty() ? "%02X" : " %02X", c);
    out += hex;
  }
  return out;
}

// Faults met in real applications, each with what the user should see. Text is UTF-8 for
// Unicode (␀ the character Word keeps for a swallowed key), else the bytes in hex.
TEST(EveryApplication, KnownCasesGiveTheSoundResult) {
  const struct {
    const char* name;
    const char* application;
    int encoding;
    int keyboard;
    const char* keys;
    const char* text;
  } kCases[] = {
      {"POWER: the posted space is not typed again", "Power", kEncTscii, kKbdNewTypewriter, ": ", "20"},
      {"POWER: phonetic", "Power", kEncTscii, kKbdPhonetic, "kaa", "B8 A1"},
      {"POWER: Tamil99", "Power", kEncTscii, kKbdTamil99, "vphhkf", "C5 BD EC B8 F5"},
      {"POWER: Tamil99 signs", "Power", kEncTscii, kKbdTamil99, "hqhshw", "B8 A1 B8 A2 B8 A3"},
      {"OPERA: the posted Backspace is not the user's", "Opera", kEncTscii, kKbdTamil99, "ahhq", "AB EC B8 A1"},
      {"OPERA: nor under u", "Opera", kEncTscii, kKbdTamil99, "hhd", "EC CC"},
      {"OPERA: nor in phonetic", "Opera", kEncTscii, kKbdPhonetic, "kaa", "B8 A1"},
      {"an arrow key ends the syllable", "Plain", kEncUnicode, kKbdPhonetic, "ka<left>a", "அக"},
      {"and in 8-bit", "Plain", kEncTscii, kKbdPhonetic, "ka<left>a", "AB B8"},
      {"EUDOR: a paste taken by an accelerator", "EudorAccelerator", kEncTscii, kKbdPhonetic, "1k\ba", "31 AB"},
      {"SOFFI: a held Shift", "Soffi", kEncTscii, kKbdPhonetic, "k<shift>A", "B8 A1"},
      {"Word: a dead key does not jump over the user's character", "Winwo", kEncTscii, kKbdOldTypewriter,
       ";<toggle>x<toggle>f", "00 78 B8"},
      {"nor an auto-repeat", "Winwo", kEncTscii, kKbdOldTypewriter, ";<repeat x>f", "00 78 B8"},
      {"nor in a plain host", "Plain", kEncTscii, kKbdOldTypewriter, ";<toggle>x<toggle>f", "78 B8"},
      {"Word: a swallowed letter ends the phonetic syllable", "Winwo", kEncTscii, kKbdPhonetic, "kfa", "EC 00 AB"},
      {"Word: the dead key's character goes right after it", "Winwo", kEncUnicode, kKbdOldTypewriter, "m;f", "அக்"},
      {"and only then", "Winwo", kEncUnicode, kKbdOldTypewriter, "m;<left>f", "அக்␀"},
      // The host reads its queue late: keys typed ahead wait behind the engine's paste.
      {"type-ahead: DREAM", "Dream", kEncTscii, kKbdPhonetic, "m <ahead 1>kai", "F5 20 A8 B8"},
      {"EUDOR", "Eudor", kEncTscii, kKbdPhonetic, "m <ahead 1>kai", "F5 20 A8 B8"},
      {"two keys behind", "EudorAccelerator", kEncTscii, kKbdPhonetic, "m <ahead 2>ka", "F5 20 B8"},
      {"a window procedure that runs a message loop", "Dream", kEncTscii, kKbdPhonetic, "m <nested><ahead 2>kai",
       "F5 20 A8 B8"},
      // A host that stalls for over a second: its own keys' characters are still the engine's.
      {"stall: EUDOR", "Eudor", kEncTscii, kKbdPhonetic, "<stall>kai", "A8 B8"},
      {"DREAM", "Dream", kEncTscii, kKbdPhonetic, "<stall>kaikoo", "A8 B8 A7 B8 A1"},
      {"New Typewriter", "Eudor", kEncTscii, kKbdNewTypewriter, "<stall>f;fpbfh", "EC B8 A2 A6 B8 A1"},
      {"T_OLD", "Dream", kEncTOld, kKbdPhonetic, "<stall>kaikoo", "69 66 6E 66 68"},
      // Keys of the engine's that never came do not poison the next delivery.
      {"lost keys", "Eudor", kEncTscii, kKbdPhonetic, "m <lost>kai", "F5 20 A8 B8"},
      {"and a key typed after the loss, ahead of the next paste", "Dream", kEncTscii, kKbdPhonetic,
       "<ahead 1>ka<lost><ahead 2>ma", "B8 C1"},
      // A second GUI thread, and a filtered PeekMessage, leave this thread's record alone.
      {"a click on another thread", "Power", kEncTOld, kKbdPhonetic, "<thread 10>a", "66"},
      {"a filtered PeekMessage", "Soffi", kEncTscii, kKbdPhonetic, "m <peek 10>i", "F5 20 A8 B8"},
      // Capitals typed with Shift held: the paste is Ctrl+V alone.
      {"Shift held: EUDOR's accelerator", "EudorAccelerator", kEncTscii, kKbdPhonetic, "vaNakkam", "C5 BD EC B8 F5"},
      {"and DREAM's", "DreamAccelerator", kEncTscii, kKbdPhonetic, "NAkaI", "BD A1 B8 AE"},
      // A clipboard monitor that opens the clipboard when it changes skips the engine's text.
      {"a clipboard monitor", "Dream", kEncTscii, kKbdPhonetic, "<monitor>m kai", "F5 20 A8 B8"},
      // ABIWO takes its text sent: the joiner too, or it would come after the sign it stands for.
      {"ABIWO: the joiner before its sign", "Abiwo", kEncUnicode, kKbdOldTypewriter, ";n", "\u200dே்"},
      // n begins a word as ந் in Unicode as in the 8-bit encodings.
      {"n at the start", "Plain", kEncUnicode, kKbdPhonetic, "nanRi", "நன்றி"},
      {"after Enter", "Plain", kEncUnicode, kKbdPhonetic, "ka\rnanRi", "க\rநன்றி"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.name) + ": keys \"" + c.keys + "\"");
    fake::TypingSession session(Named(c.application), c.encoding, c.keyboard);
    session.Replay(c.keys);
    session.CatchUp();
    HWND w = session.Window(0);
    std::string text = Hex(fake::Bytes(w));
    if (c.encoding == kEncUnicode) {
      text = fake::Utf8(w);
      for (size_t at = text.find('\0'); at != std::string::npos; at = text.find('\0', at)) text.replace(at, 1, "␀");
    }
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(session.Broken(), "");
  }
}

// Under POWER the engine's own characters come back as if typed. No pair of keys, in any
// encoding and layout, makes it compose them again, let alone without end.
TEST(EveryApplication, PowerNeverComposesItsOwnOutput) {
  std::string keys = "\b\r\t";
  for (int c = 0x20; c < 0x7F; ++c) keys += static_cast<char>(c);
  const Application& power = Named("Power");
  for (int encoding = kEncUnicode; encoding <= kEncTOld; ++encoding) {
    for (int keyboard = kKbdPhonetic; keyboard <= kKbdOldTypewriter; ++keyboard) {
      for (char first : keys) {
        for (char second : keys) {
          Start(power, encoding, keyboard);
          fake::Type(fake::world().focus, std::string{first, second});
          if (fake::world().pumpGaveUp || fake::world().composedNotTyped != 0) {
            ADD_FAILURE() << kEncodingNames[encoding] << ", " << kKeyboardNames[keyboard] << ": keys " << Hex({first, second});
            return;
          }
        }
      }
    }
  }
}

}  // namespace
