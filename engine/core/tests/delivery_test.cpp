// Delivery per host profile: the exact calls, and what the host's document ends up holding.
#include <gtest/gtest.h>

#include <functional>

#include "engine/core/composers.h"
#include "engine/core/delivery.h"
#include "engine/core/exports.h"
#include "engine/core/process_state.h"
#include "engine/core/shared_state.h"
#include "engine/testing/typing_driver.h"

namespace {

using Log = std::vector<std::string>;
using Flag = ApplicationProfile;
const BYTE kEmpty[] = {0};

class Delivery : public ::testing::Test {
 protected:
  // A host whose document holds two characters the engine wrote before; flag selects the profile.
  void Start(Flag flag, fake::EraseOn eraseOn = fake::EraseOn::KeyDown) {
    window = fake::StartProcess();
    processReady = 1;  // what the engine sent comes back through its hook
    profile = flag;
    fake::Host& host = fake::HostOf(window);
    host.eraseOn = eraseOn;
    host.text = {{'a', false}, {'b', false}};
  }
  void SetUp() override { Start(profileNone); }

  // Runs one delivery for a keystroke 'x' the way the host experiences it: the routine inside
  // the hook, then the neutralised keystroke, then whatever was posted or synthesized.
  Log Deliver(const std::function<void(MSG*)>& routine) {
    fake::ClearLog();
    MSG keystroke{window, WM_CHAR, 'x', 1, 0, {0, 0}};
    routine(&keystroke);
    leftInWParam = keystroke.wParam;
    Log log = fake::DeliveryLog();
    fake::Dispatch(keystroke, true);
    fake::Pump();
    return log;
  }
  std::string Text() { return fake::Bytes(window); }

  HWND window = nullptr;
  WPARAM leftInWParam = 0;
};

struct BackspaceRow {
  const char* name;
  Flag flag;
  fake::EraseOn eraseOn;
  Log calls;
  bool kavitEdit = false;  // the message is for a plain "Edit" control in a KAVIT process
};

class BackspaceMethod : public Delivery, public ::testing::WithParamInterface<BackspaceRow> {};

TEST_P(BackspaceMethod, OneBackspaceIsTheProfilesOwnCallAndErasesOneCharacter) {
  const BackspaceRow& row = GetParam();
  Start(row.flag, row.eraseOn);
  kavitEditTarget = row.kavitEdit;
  Log log = Deliver([](MSG* m) { DeliverUnicode(m, kEmpty, 1, 1, 0); });
  EXPECT_EQ(log, row.calls);
  EXPECT_EQ(Text(), "a");
  EXPECT_EQ(leftInWParam, 0u);
}

const Log kSentChar8 = {"SendMessageA WM_CHAR 8 0"};
const Log kPostedChar8 = {"PostMessageA WM_CHAR 8 0"};
const Log kPostedKeyDown = {"PostMessageA WM_KEYDOWN 8 0"};
const Log kSentKeyDown = {"SendMessageA WM_KEYDOWN 8 0"};
const Log kSentPress = {"SendMessageA WM_KEYDOWN 8 0", "SendMessageA WM_CHAR 8 0", "SendMessageA WM_KEYUP 8 0"};
using E = fake::EraseOn;
INSTANTIATE_TEST_SUITE_P(
    Profiles, BackspaceMethod,
    ::testing::Values(BackspaceRow{"Dream", profileDream, E::Char8, kSentChar8},
                      BackspaceRow{"Eudor", profileEudor, E::Char8, kSentPress},
                      BackspaceRow{"Frame", profileFrame, E::Char8, kSentChar8},
                      BackspaceRow{"Msacc", profileMsacc, E::Char8, kSentChar8},
                      BackspaceRow{"Mozil", profileMozil, E::Char8, kSentChar8},
                      BackspaceRow{"KavitEdit", profileKavit, E::Char8, kSentChar8, true},
                      BackspaceRow{"Winwo", profileWinwo, E::Char8, kPostedChar8},
                      BackspaceRow{"Psp", profilePsp, E::Char8, kPostedChar8},
                      BackspaceRow{"Notep", profileNotep, E::Char8, kPostedChar8},
                      BackspaceRow{"Photo", profilePhoto, E::Char8, kPostedChar8},
                      BackspaceRow{"Mspai", profileMspai, E::Char8, kPostedChar8},
                      BackspaceRow{"Opera", profileOpera, E::KeyDown, kPostedKeyDown},
                      BackspaceRow{"Power", profilePower, E::KeyDown, kPostedKeyDown},
                      BackspaceRow{"Abiwo", profileAbiwo, E::KeyDown, kSentKeyDown},
                      BackspaceRow{"None", profileNone, E::KeyDown, kSentPress},
                      BackspaceRow{"NoneInAnEditControl", profileNone, E::Char8, kSentPress},
                      BackspaceRow{"Soffi", profileSoffi, E::KeyDown, kSentPress},
                      BackspaceRow{"Yahoo", profileYahoo, E::KeyDown, kSentPress},
                      BackspaceRow{"Wordp", profileWordp, E::KeyDown, kSentPress},
                      BackspaceRow{"KavitElsewhere", profileKavit, E::KeyDown, kSentPress}),
    [](const ::testing::TestParamInfo<BackspaceRow>& info) { return std::string(info.param.name); });


TEST_F(Delivery, BytesWithoutAProfileEraseByKeyDownAndUpThenPostEachByte) {
  const BYTE text[] = {0xB8, 0xA1, 0};
  Log log = Deliver([&](MSG* m) { DeliverBytes(m, text, 1); });
  EXPECT_EQ(log, (Log{"SendMessageA WM_KEYDOWN 8 0", "SendMessageA WM_CHAR 8 0", "SendMessageA WM_KEYUP 8 0",
                      "PostMessageA WM_CHAR 0xb8 0",
                      "PostMessageA WM_CHAR 0xa1 0"}));
  EXPECT_EQ(leftInWParam, 0u);
  EXPECT_EQ(Text(), "a\xB8\xA1");
}

TEST_F(Delivery, ZeroOrNegativeBackspaceCountsEraseNothing) {
  const BYTE text[] = {0xEC, 0};
  for (int count : {0, -3}) {
    Start(profileNone);
    Log log = Deliver([&](MSG* m) { DeliverBytes(m, text, count); });
    EXPECT_EQ(log, (Log{"PostMessageA WM_CHAR 0xec 0"}));
    EXPECT_EQ(Text(), "ab\xEC");
  }
}

TEST_F(Delivery, WinwoAlwaysPostsOneMoreBackspaceBeforeTheBytes) {
  Start(profileWinwo, E::Char8);
  const BYTE text[] = {0xB8, 0};
  Log log = Deliver([&](MSG* m) { DeliverBytes(m, text, 0); });
  EXPECT_EQ(log, (Log{"PostMessageA WM_CHAR 8 0", "PostMessageA WM_CHAR 0xb8 0"}));
  EXPECT_EQ(Text(), "a\xB8");
}

TEST_F(Delivery, FrameLeavesTheLastByteToTheKeystrokeItself) {
  Start(profileFrame, E::Char8);
  const BYTE one[] = {0xB8, 0};
  EXPECT_EQ(Deliver([&](MSG* m) { DeliverBytes(m, one, 0); }), Log{});
  EXPECT_EQ(leftInWParam, 0xB8u);

  const BYTE three[] = {0xA6, 0xB8, 0xA1, 0};
  Log log = Deliver([&](MSG* m) { DeliverBytes(m, three, 1); });
  EXPECT_EQ(log, (Log{"SendMessageA WM_CHAR 8 0", "SendMessageA WM_CHAR 0xa6 0", "SendMessageA WM_CHAR 0xb8 0"}));
  EXPECT_EQ(leftInWParam, 0xA1u);
  EXPECT_EQ(Text(), "ab\xA6\xB8\xA1");

  Deliver([&](MSG* m) { DeliverBytes(m, kEmpty, 0); });
  EXPECT_EQ(leftInWParam, 0u);
}

TEST_F(Delivery, FrameUnderLipiSendsTheConsonantAfterEeTwiceAndErasesOneWithTheKeystroke) {
  Start(profileFrame, E::Char8);
  SetTamilEncodings(4);
  LoadGlyphTables();
  const BYTE text[] = {glyphs.vowelSigns[7], glyphs.consonants[0], 0};
  Log log = Deliver([&](MSG* m) { DeliverBytes(m, text, 0); });
  EXPECT_EQ(log, (Log{"SendMessageA WM_CHAR 0xf7 0", "SendMessageA WM_CHAR 0x50 0", "SendMessageA WM_CHAR 0x50 0"}));
  EXPECT_EQ(leftInWParam, static_cast<WPARAM>(VK_BACK));
  EXPECT_EQ(Text(), "ab\xF7\x50");
}

TEST_F(Delivery, KavitWordpAndAbiwoSendTheBytesSoffiPostsThemAsKeystrokes) {
  const BYTE text[] = {0xB8, 0};
  for (Flag flag : {profileKavit, profileWordp, profileAbiwo}) {
    Start(flag);
    EXPECT_EQ(Deliver([&](MSG* m) { DeliverBytes(m, text, 0); }), (Log{"SendMessageA WM_CHAR 0xb8 0"}));
    EXPECT_EQ(Text(), "ab\xB8");
  }
  Start(profileSoffi);
  EXPECT_EQ(Deliver([&](MSG* m) { DeliverBytes(m, text, 0); }), (Log{"PostMessageA WM_CHAR 0xb8 1"}));
  EXPECT_EQ(Text(), "ab\xB8");
}

// The engine's text is marked for clipboard tools to skip (history, cloud, monitors), and the
// user's own clipboard comes back once the host has pasted.
const Log kPutOnClipboard = {"OpenClipboard",           "EmptyClipboard",          "SetClipboardData 1",
                             "SetClipboardData 0xc000", "SetClipboardData 0xc001", "SetClipboardData 0xc002",
                             "CloseClipboard"};

TEST_F(Delivery, DreamPastesTheTextAfterSentBackspacesAndGivesTheClipboardBack) {
  Start(profileDream, E::Char8);
  fake::SetClipboardText("the user's");
  const BYTE text[] = {0xA6, 0xB8, 0};
  Log log = Deliver([&](MSG* m) { DeliverBytes(m, text, 1); });
  Log expected = kPutOnClipboard;
  expected.insert(expected.end(), {"SendMessageA WM_CHAR 8 0", "SendInput 0x11 0", "SendInput 0x56 0",
                                   "SendInput 0x56 2", "SendInput 0x11 2"});
  EXPECT_EQ(log, expected);
  EXPECT_EQ(leftInWParam, 0u);
  EXPECT_EQ(Text(), "a\xA6\xB8");
  EXPECT_EQ(fake::ClipboardText(), "the user's");
}

// One batch of keys: a Shift the user holds is released around Ctrl+V (an accelerator takes
// Ctrl+V alone), EUDOR's Backspaces are whole key presses.
TEST_F(Delivery, EudorErasesAndPastesWithOneBatchOfKeys) {
  Start(profileEudor, E::Char8);
  fake::world().asyncKeyState[VK_LSHIFT] = 0x80;
  const BYTE text[] = {0xB8, 0};
  Log log = Deliver([&](MSG* m) { DeliverBytes(m, text, 2); });
  EXPECT_EQ(Log(log.begin() + kPutOnClipboard.size(), log.end()),
            (Log{"SendInput 0xa0 2", "SendInput 8 0", "SendInput 8 2", "SendInput 8 0", "SendInput 8 2",
                 "SendInput 0x11 0", "SendInput 0x56 0", "SendInput 0x56 2", "SendInput 0x11 2", "SendInput 0xa0 0"}));
  EXPECT_EQ(Text(), "\xB8");
}

TEST_F(Delivery, EudorSendsItsBackspaceWhenTheTextIsPostedSoTheOldTextIsErased) {
  // Synthesized keys are read after posted messages; the Backspace must come first, and erase
  // once in either kind of control.
  const Log kPress = {"SendMessageA WM_KEYDOWN 8 0", "SendMessageA WM_CHAR 8 0", "SendMessageA WM_KEYUP 8 0"};
  for (E eraseOn : {E::KeyDown, E::Char8}) {
    Start(profileEudor, eraseOn);
    const BYTE ka[] = {0x95, 0};
    Log log = Deliver([&](MSG* m) { DeliverUnicode(m, ka, 1, 0, 0); });
    EXPECT_EQ(log, (Log{kPress[0], kPress[1], kPress[2], "PostMessageW WM_CHAR 0xb95 0"}));
    EXPECT_EQ(fake::Utf8(window), "aக");

    Start(profileEudor, eraseOn);
    fake::world().clipboardOpenFails = true;
    const BYTE text[] = {0xB8, 0};
    log = Deliver([&](MSG* m) { DeliverBytes(m, text, 1); });
    EXPECT_EQ(log, (Log{"OpenClipboard", kPress[0], kPress[1], kPress[2], "PostMessageA WM_CHAR 0xb8 0"}));
    EXPECT_EQ(Text(), "a\xB8");
  }
}

TEST_F(Delivery, TheClipboardBlockHoldsTextOfAnyLength) {
  Start(profileDream, E::Char8);
  const BYTE text[] = "0123456789ABCDEF";  // far more than the glyph texts, to prove the sizing
  Deliver([&](MSG* m) { DeliverBytes(m, text, 0); });
  EXPECT_EQ(Text(), "ab0123456789ABCDEF");
}

TEST_F(Delivery, AClipboardThatCannotBeOpenedIsNeverPastedFrom) {
  Start(profileDream, E::Char8);
  fake::SetClipboardText("someone's secret");
  fake::world().clipboardOpenFails = true;
  const BYTE text[] = {0xB8, 0};
  Log log = Deliver([&](MSG* m) { DeliverBytes(m, text, 1); });
  EXPECT_EQ(log, (Log{"OpenClipboard", "SendMessageA WM_CHAR 8 0", "PostMessageA WM_CHAR 0xb8 0"}));
  EXPECT_EQ(Text(), "a\xB8");
  EXPECT_EQ(leftInWParam, 0u);
}

TEST_F(Delivery, UnicodeGoesOutAsTamilBlockUnitsOrPerProfile) {
  const BYTE text[] = {0x95, 0xCD, 0};
  Log log = Deliver([&](MSG* m) { DeliverUnicode(m, text, 0, 0, 0); });
  EXPECT_EQ(log, (Log{"PostMessageW WM_CHAR 0xb95 0", "PostMessageW WM_CHAR 0xbcd 0"}));
  EXPECT_EQ(fake::Utf8(window), "abக்");

  Log raw = Deliver([&](MSG* m) { DeliverUnicode(m, text, 0, 0, 1); });
  EXPECT_EQ(raw, (Log{"PostMessageW WM_CHAR 0x95 0", "PostMessageW WM_CHAR 0xcd 0"}));

  struct Case {
    Flag flag;
    Log calls;
  } cases[] = {
      {profileYahoo, {"PostMessageA WM_CHAR 0x95 0", "PostMessageA WM_CHAR 0xcd 0"}},
      {profileSoffi, {"PostMessageA WM_UNICHAR 0xb95 0", "PostMessageA WM_UNICHAR 0xbcd 0"}},
      {profileAbiwo, {"SendMessageA WM_UNICHAR 0xb95 0", "SendMessageA WM_UNICHAR 0xbcd 0"}},
  };
  for (const Case& c : cases) {
    Start(c.flag);
    EXPECT_EQ(Deliver([&](MSG* m) { DeliverUnicode(m, text, 0, 0, 0); }), c.calls);
  }
  Start(profileYahoo);
  EXPECT_EQ(Deliver([&](MSG* m) { DeliverUnicode(m, text, 0, 0, 1); }),
            (Log{"PostMessageA WM_CHAR 0x95 0", "PostMessageA WM_CHAR 0xcd 0"}));
}

TEST_F(Delivery, UnicodeWinwoExtraBackspaceUnlessTheCallerSaysOtherwise) {
  Start(profileWinwo, E::Char8);
  const BYTE text[] = {0x95, 0};
  EXPECT_EQ(Deliver([&](MSG* m) { DeliverUnicode(m, text, 0, 0, 0); }),
            (Log{"PostMessageA WM_CHAR 8 0", "PostMessageW WM_CHAR 0xb95 0"}));
  EXPECT_EQ(Deliver([&](MSG* m) { DeliverUnicode(m, text, 1, 0, 0); }),
            (Log{"PostMessageA WM_CHAR 8 0", "PostMessageA WM_CHAR 8 0", "PostMessageW WM_CHAR 0xb95 0"}));
  EXPECT_EQ(Deliver([&](MSG* m) { DeliverUnicode(m, text, 0, 1, 0); }), (Log{"PostMessageW WM_CHAR 0xb95 0"}));
}

TEST_F(Delivery, AnEmptyUnicodeTextStillNeutralisesTheKeystroke) {
  Log log = Deliver([&](MSG* m) { DeliverUnicode(m, kEmpty, 0, 0, 0); });
  EXPECT_EQ(log, Log{});
  EXPECT_EQ(leftInWParam, 0u);
  EXPECT_EQ(Text(), "ab");
}

// Sent where the text is sent (ABIWO's units): the joiner goes before the sign it stands for.
TEST_F(Delivery, OneUnitIsSentToFrameKavitWordpAndAbiwoAndPostedElsewhere) {
  const WORD zwj = 0x200D;
  for (Flag flag : {profileFrame, profileKavit, profileWordp, profileAbiwo}) {
    Start(flag);
    EXPECT_EQ(Deliver([&](MSG* m) { DeliverUnicodeChar(m, zwj); }), (Log{"SendMessageW WM_CHAR 0x200d 0"}));
    EXPECT_EQ(leftInWParam, 0u);
  }
  Start(profileSoffi);
  EXPECT_EQ(Deliver([&](MSG* m) { DeliverUnicodeChar(m, zwj); }), (Log{"PostMessageA WM_UNICHAR 0x200d 0"}));
  Start(profileNone);
  EXPECT_EQ(Deliver([&](MSG* m) { DeliverUnicodeChar(m, zwj); }), (Log{"PostMessageW WM_CHAR 0x200d 0"}));
  EXPECT_EQ(fake::HostOf(window).text.back().code, zwj);
}

TEST_F(Delivery, KshaIsThreeUnitsAfterAnOptionalBackspace) {
  EXPECT_EQ(Deliver([](MSG* m) { DeliverKsha(m, 0); }),
            (Log{"PostMessageW WM_CHAR 0xb95 0", "PostMessageW WM_CHAR 0xbcd 0", "PostMessageW WM_CHAR 0xbb7 0"}));
  EXPECT_EQ(fake::Utf8(window), "abக்ஷ");
  Deliver([](MSG* m) { DeliverKsha(m, 1); });
  EXPECT_EQ(fake::Utf8(window), "abக்க்ஷ");
}

// Typing whole words into the hosts that paste: the keys the engine synthesizes to paste come
// back through the hook as characters (Ctrl+V, and EUDOR's Backspaces), and must not end the
// composition, or the next key could not correct what was pasted.
struct Typed {
  int encoding;
  int keyboard;
  const char* keys;
};

std::string TypeInto(const char* module, fake::EraseOn eraseOn, const Typed& t) {
  HWND w = fake::StartProcess(module);
  fake::HostOf(w).eraseOn = eraseOn;
  SetTamilEncodings(t.encoding);
  SetTamilKeyboard(t.keyboard);
  fake::PressToggle(w);
  fake::Type(w, t.keys);
  return fake::Bytes(w);
}

const char kPlainHost[] = "C:\\Program Files\\Host\\host.exe";
const char kDream[] = "C:\\Adobe\\Dreamweaver.exe";
const char kEudor[] = "C:\\Eudora\\EUDORA.EXE";

TEST(PastingHosts, WordsComeOutAsInAnyOtherHost) {
  const Typed cases[] = {
      {kEncTscii, kKbdPhonetic, "kaa kee koo thamiz "},
      {kEncLipi, kKbdTamil99, "hqkhjpo "},
      {kEncTab, kKbdNewTypewriter, "bfkpFhT "},
      {kEncTam, kKbdOldTypewriter, ";fpk:F "},
  };
  for (const Typed& t : cases) {
    SCOPED_TRACE(t.keys);
    std::string expected = TypeInto(kPlainHost, fake::EraseOn::KeyDown, t);
    EXPECT_EQ(TypeInto(kDream, fake::EraseOn::Char8, t), expected);
    EXPECT_EQ(TypeInto(kEudor, fake::EraseOn::KeyDown, t), expected);
    EXPECT_EQ(TypeInto(kEudor, fake::EraseOn::Char8, t), expected);
  }
}

TEST(PastingHosts, TheUsersOwnPasteStillEndsTheComposition) {
  for (const char* module : {kDream, kEudor}) {
    SCOPED_TRACE(module);
    std::string expected = TypeInto(module, fake::EraseOn::KeyDown, {kEncTscii, kKbdPhonetic, "k"}) +
                           TypeInto(module, fake::EraseOn::KeyDown, {kEncTscii, kKbdPhonetic, "a"});
    HWND w = fake::StartProcess(module);
    SetTamilEncodings(kEncTscii);
    SetTamilKeyboard(kKbdPhonetic);
    fake::PressToggle(w);
    fake::Type(w, "k");
    fake::TypeChars(w, "\x16");  // Ctrl+V typed by the user
    fake::Type(w, "a");
    EXPECT_EQ(fake::Bytes(w), expected);
  }
}

}  // namespace
