// The hook entry: which messages reach a composer, the toggle key and the per-process set-up.
// A composer is reached exactly when the hook returns 1. With an 8-bit encoding and a keyboard
// layout number that selects no composer, the message that reaches that point is left as it is,
// which shows what the filters did to it.
#include <gtest/gtest.h>

#include <string.h>

#include "engine/core/exports.h"
#include "engine/core/hook.h"
#include "engine/core/own_input.h"
#include "engine/core/process_state.h"
#include "engine/core/shared_state.h"
#include "engine/testing/typing_driver.h"

namespace {

const int kNoComposer = 7;
const LPARAM kFirstPress = 1;
const LPARAM kRepeat = 1 << 30;
const LPARAM kRelease = static_cast<LPARAM>(0xC0000001u);

class Hook : public ::testing::Test {
 protected:
  void Start(const std::string& path = "C:\\Program Files\\Host\\host.exe") {
    window = fake::StartProcess(path);
    owner = fake::NewWindow("VirelClass");
    ASSERT_EQ(LoadVirelEngine(owner), 1);
    SetHotKey(1, 'K');
    shared->keyboardLayout = kNoComposer;
  }
  void SetUp() override { Start(); }

  LRESULT Run(MSG& msg, int code = 0, WPARAM removal = PM_REMOVE) {
    return KeyHookProc(code, removal, reinterpret_cast<LPARAM>(&msg));
  }
  MSG Char(WPARAM ch, LPARAM lParam = kFirstPress) { return MSG{window, WM_CHAR, ch, lParam, 0, {0, 0}}; }
  MSG KeyDown(WPARAM vk, LPARAM lParam = kFirstPress) { return MSG{window, WM_KEYDOWN, vk, lParam, 0, {0, 0}}; }
  MSG AltKeyDown(WPARAM vk, LPARAM lParam = kFirstPress) {
    return MSG{window, WM_SYSKEYDOWN, vk, lParam, 0, {0, 0}};
  }
  void Toggle() {
    MSG m = AltKeyDown('K');
    Run(m);
  }
  bool Composed(WPARAM ch, LPARAM lParam = kFirstPress) {
    MSG m = Char(ch, lParam);
    return Run(m) == 1;
  }

  HWND window = nullptr;
  HWND owner = nullptr;
};

TEST_F(Hook, CallsTheNextHookFirstWithItsOwnHandle) {
  fake::ClearLog();
  MSG m = Char('a');
  Run(m);
  const fake::Call& first = fake::world().calls.front();
  EXPECT_EQ(first.function, "CallNextHookEx");
  EXPECT_EQ(first.wParam, static_cast<WPARAM>(PM_REMOVE));
  EXPECT_EQ(reinterpret_cast<HHOOK>(first.window), shared->hookHandle);
}

TEST_F(Hook, FirstToggleInAProcessSetsItUpAndAlwaysTurnsTamilOn) {
  shared->tamilOn = 0;  // switched off by another process before this one was set up
  Toggle();
  EXPECT_EQ(processReady, 1);
  EXPECT_EQ(shared->tamilOn, 1);
  Toggle();
  Toggle();
  EXPECT_EQ(fake::ToggleNotifications(owner), (std::vector<WPARAM>{1, 0, 1}));
}

TEST_F(Hook, ToggleKeyReachesTheApplicationUnchanged) {
  MSG m = AltKeyDown('K');
  EXPECT_EQ(Run(m), 0);
  EXPECT_EQ(m.wParam, static_cast<WPARAM>('K'));
}

TEST_F(Hook, TheToggleKeyMustComeWithAltWhenAltIsSet) {
  MSG plain = KeyDown('K');
  Run(plain);
  EXPECT_EQ(processReady, 0);
  Toggle();
  EXPECT_EQ(processReady, 1);

  SetHotKey(0, 0x7A);  // F11 alone
  MSG withAlt = AltKeyDown(0x7A);
  Run(withAlt);
  MSG alone = KeyDown(0x7A);
  Run(alone);
  EXPECT_EQ(fake::ToggleNotifications(owner), (std::vector<WPARAM>{1, 0}));
}

TEST_F(Hook, EachAutoRepeatOfAHeldToggleKeyTogglesAgain) {
  Toggle();
  for (int i = 0; i < 3; ++i) {
    MSG repeat = AltKeyDown('K', kRepeat | 1);
    Run(repeat);
  }
  EXPECT_EQ(fake::ToggleNotifications(owner), (std::vector<WPARAM>{1, 0, 1, 0}));
}

TEST_F(Hook, NothingHappensInAnEditFieldOfAComboBox) {
  for (const char* parentClass : {"ComboBox", "ComboLBox", "combobox"}) {
    SCOPED_TRACE(parentClass);
    Start();
    HWND combo = fake::NewWindow(parentClass);
    HWND edit = fake::NewWindow("EDIT", combo);
    MSG toggle{edit, WM_SYSKEYDOWN, 'K', kFirstPress, 0, {0, 0}};
    Run(toggle);
    EXPECT_EQ(processReady, 0);
    Toggle();  // set up elsewhere
    MSG ch{edit, WM_CHAR, 'a', kFirstPress, 0, {0, 0}};
    EXPECT_EQ(Run(ch), 0);
  }
}

TEST_F(Hook, AnEditFieldElsewhereIsComposedAndMarkedOnlyInKavit) {
  HWND dialog = fake::NewWindow("#32770");
  HWND edit = fake::NewWindow("Edit", dialog);
  Toggle();
  MSG ch{edit, WM_CHAR, 'a', kFirstPress, 0, {0, 0}};
  EXPECT_EQ(Run(ch), 1);
  EXPECT_EQ(kavitEditTarget, 0);

  Start("C:\\apps\\KAVITHAI.EXE");
  dialog = fake::NewWindow("#32770");
  edit = fake::NewWindow("Edit", dialog);
  Toggle();
  MSG kavit{edit, WM_CHAR, 'a', kFirstPress, 0, {0, 0}};
  EXPECT_EQ(Run(kavit), 1);
  EXPECT_EQ(kavitEditTarget, 1);
  MSG other = Char('a');
  Run(other);
  EXPECT_EQ(kavitEditTarget, 0);  // recomputed for every message
}

TEST_F(Hook, NothingIsComposedBeforeTheFirstToggleInTheProcess) {
  ASSERT_EQ(shared->tamilOn, 1);
  EXPECT_FALSE(Composed('a'));
  Toggle();
  EXPECT_TRUE(Composed('a'));
}

TEST_F(Hook, PeekedMessagesAndSpecialHookCodesAreNotComposed) {
  Toggle();
  MSG peeked = Char('a');
  EXPECT_EQ(Run(peeked, 0, 0), 0);
  MSG negative = Char('a');
  EXPECT_EQ(Run(negative, -1), 0);
  MSG noRemove = Char('a');
  EXPECT_EQ(Run(noRemove, HC_NOREMOVE), 0);
}

TEST_F(Hook, OnlyFirstPressesOfCharactersWithTamilOnAreComposed) {
  Toggle();
  EXPECT_TRUE(Composed('a'));
  EXPECT_FALSE(Composed('a', kRepeat | 1));
  EXPECT_FALSE(Composed('a', kRelease));
  EXPECT_FALSE(Composed('a', 0));  // what the engine itself posts
  MSG down = KeyDown('A');
  EXPECT_EQ(Run(down), 0);
  Toggle();  // off
  EXPECT_FALSE(Composed('a'));
}

TEST_F(Hook, CharactersThatPassUncomposedLeaveEveryComposerNothingToBuildOn) {
  struct Case {
    int encoding;
    int keyboard;
    const char* before;
    const char* after;
  } cases[] = {
      {1, 0, "k", "a"},  // phonetic: a would turn the dead consonant into a syllable
      {1, 1, "h", "d"},  // Tamil99: d would rewrite the consonant with its u sign
      {1, 2, "f", "p"},  // New Typewriter: p would rewrite the consonant with its i sign
      {0, 0, "k", "a"},
      {0, 1, "h", "d"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.encoding) + "/" + std::to_string(c.keyboard) + " " + c.before + c.after);
    for (bool offAndOn : {true, false}) {
      Start();
      SetTamilEncodings(c.encoding);
      SetTamilKeyboard(c.keyboard);
      fake::PressToggle(window);
      fake::Type(window, c.before);
      if (offAndOn) {
        fake::PressToggle(window);
        fake::Type(window, "x");
        fake::PressToggle(window);
      } else {
        fake::Retrieve(MSG{window, WM_CHAR, 'x', kRepeat | 1, 0, {0, 0}}, true);
      }
      fake::Type(window, c.after);
      EXPECT_EQ(fake::HostOf(window).userUnitsErased, 0);
      std::string text = fake::Bytes(window);
      EXPECT_NE(text.find('x'), std::string::npos) << text;
    }
  }
}

TEST_F(Hook, PowerComposesCharactersPostedWithLParamZero) {
  Start("C:\\Office\\POWERPNT.EXE");
  Toggle();
  EXPECT_TRUE(Composed('a', 0));
}

TEST_F(Hook, NavigationKeysClearTheHistoryEvenWithTamilOff) {
  Toggle();
  Toggle();  // off
  for (WPARAM vk : {VK_BACK, VK_TAB, VK_RETURN, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, VK_HOME, VK_END, VK_PRIOR, VK_NEXT}) {
    SCOPED_TRACE(vk);
    memset(composerHistory, 0x55, sizeof composerHistory);
    navigationReset = 0;
    MSG down = KeyDown(vk);
    EXPECT_EQ(Run(down), 0);
    EXPECT_EQ(down.wParam, vk);
    EXPECT_EQ(composerHistory[0] | composerHistory[1] | composerHistory[2], 0);
    EXPECT_EQ(navigationReset, 1);
  }
  memset(composerHistory, 0x55, sizeof composerHistory);
  MSG other = KeyDown(0x2E);  // Delete is not one of them
  Run(other);
  EXPECT_EQ(composerHistory[2], 0x55);
}

TEST_F(Hook, EudorKeepsTheHistoryOnBackspace) {
  Start("C:\\Eudora\\EUDORA.EXE");
  Toggle();
  memset(composerHistory, 0x55, sizeof composerHistory);
  MSG back = KeyDown(VK_BACK);
  Run(back);
  EXPECT_EQ(composerHistory[2], 0x55);
  MSG left = KeyDown(VK_LEFT);
  Run(left);
  EXPECT_EQ(composerHistory[2], 0);
}

// A sent message of a delivery may run the host's own loop: a key for the window being written
// waits for the delivery and then goes back; a prompt the host shows meanwhile takes its keys.
TEST_F(Hook, DuringADeliveryOnlyKeysForTheWindowWrittenWait) {
  Toggle();
  HWND prompt = fake::NewWindow("Edit");
  BeginDelivery(window);
  MSG held = KeyDown('K');
  Run(held);
  fake::world().focus = prompt;
  MSG typed{prompt, WM_KEYDOWN, VK_RETURN, kFirstPress, 0, {0, 0}};
  Run(typed);
  fake::world().focus = window;
  fake::ClearLog();
  EndDelivery();
  EXPECT_EQ(held.message, static_cast<UINT>(WM_NULL));
  EXPECT_EQ(typed.message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(fake::DeliveryLog(), (std::vector<std::string>{"SendInput 0x4b 0", "SendInput 0x4b 2"}));
}

class SoffiHook : public Hook {
 protected:
  void SetUp() override {
    Start("C:\\Office52\\soffice.exe");
    Toggle();
  }
};

TEST_F(SoffiHook, ComposesTheTranslatedKeyDownAndNeverTheCharacter) {
  EXPECT_FALSE(Composed('a'));
  SetTamilEncodings(kEncTscii);
  shared->keyboardLayout = kLayoutPhonetic;
  fake::world().asciiResult = 'k';
  MSG down = KeyDown('K');
  EXPECT_EQ(Run(down), 1);
  EXPECT_EQ(down.wParam, 0u);  // the composer wrote க் for it
  EXPECT_EQ(fake::CountCalls("GetKeyboardState"), 1);
}

// The host translates key-downs itself: a character the composer lets through goes back to its
// own key, whatever its translation was (a period whose code is VK_DELETE); one the composer
// changed is posted as a character, and the key types nothing. A key that types no ASCII
// character, or a dead key and the key after it, are left to the host.
TEST_F(SoffiHook, WhatTheComposerLeavesIsAKeyTheHostCanTranslate) {
  SetTamilEncodings(kEncUnicode);
  shared->keyboardLayout = kLayoutTamil99;
  const struct {
    WPARAM vk;
    int ascii;
    WPARAM left;
    const char* posted;
    bool composed = true;
  } kCases[] = {
      {0xDE, 0xE9, 0xDE, nullptr, false},
      {0xBE, '.', 0xBE, nullptr},
      {'5', '5', '5', nullptr},
      {'O', 'O', 0, "PostMessageA WM_CHAR 0x5b 1"},  // Tamil99 Shift+O is [
      {0xDD, -2, 0xDD, nullptr, false},              // a dead key ...
      {'E', 'e', 'E', nullptr, false},               // ... and the key it makes an accented letter of
      {'5', '5', '5', nullptr},
  };
  fake::world().deadKeys = {0xDD};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.vk);
    fake::world().asciiResult = c.ascii;
    fake::ClearLog();
    MSG down = KeyDown(c.vk);
    EXPECT_EQ(Run(down), c.composed ? 1 : 0);
    EXPECT_EQ(down.wParam, c.left);
    EXPECT_EQ(fake::DeliveryLog(), c.posted ? std::vector<std::string>{c.posted} : std::vector<std::string>{});
    fake::Pump();  // the host takes what was posted before its next key
  }
}

TEST_F(SoffiHook, KeysThatTypeNothingAndShiftOrCapsLockPassUnchanged) {
  fake::world().asciiResult = -1;
  MSG f5 = KeyDown(0x74);
  EXPECT_EQ(Run(f5), 0);
  EXPECT_EQ(f5.wParam, 0x74u);
  fake::world().asciiResult = 'x';
  for (WPARAM vk : {VK_SHIFT, VK_CAPITAL}) {
    MSG m = KeyDown(vk);
    EXPECT_EQ(Run(m), 0);
    EXPECT_EQ(m.wParam, vk);
  }
}

TEST_F(Hook, MessagesThatCannotBeKeystrokesCostNoClassNameRead) {
  Toggle();
  fake::ClearLog();
  for (UINT message : {0x0200u /* WM_MOUSEMOVE */, 0x000Fu /* WM_PAINT */, 0x0113u /* WM_TIMER */,
                       static_cast<UINT>(WM_KEYUP)}) {
    MSG m{window, message, 0x41, 1, 0, {0, 0}};
    Run(m);
  }
  MSG letterDown = KeyDown('A');
  Run(letterDown);
  EXPECT_EQ(fake::CountCalls("GetClassNameA"), 0);
  EXPECT_EQ(fake::CountCalls("CallNextHookEx"), 5);
}

TEST_F(Hook, BeforeSetUpOnlyTheToggleKeyCostsAClassNameRead) {
  fake::ClearLog();
  MSG ch = Char('a');
  Run(ch);
  MSG left = KeyDown(VK_LEFT);
  Run(left);
  EXPECT_EQ(fake::CountCalls("GetClassNameA"), 0);
  Toggle();
  EXPECT_EQ(fake::CountCalls("GetClassNameA"), 1);
}

// The hook of the other bitness runs in its tray's process for the windows of processes it
// cannot be mapped into; the engine of their own bitness serves them.
TEST_F(Hook, WindowsOfOtherProcessesAreLeftToTheirOwnEngine) {
  HWND foreign = fake::NewWindow("RichEdit20W");
  fake::world().windows[foreign].processId = fake::kThisProcess + 1;
  MSG toggle{foreign, WM_SYSKEYDOWN, 'K', kFirstPress, 0, {0, 0}};
  Run(toggle);
  EXPECT_EQ(processReady, 0);
  Toggle();
  MSG ch{foreign, WM_CHAR, 'a', kFirstPress, 0, {0, 0}};
  EXPECT_EQ(Run(ch), 0);
  EXPECT_EQ(ch.wParam, static_cast<WPARAM>('a'));
}

TEST_F(Hook, ANullMessagePointerIsIgnored) {
  EXPECT_EQ(KeyHookProc(0, PM_REMOVE, 0), 0);
}

TEST_F(Hook, SetUpMatchesTheProfileBeforeLoadingTables) {
  Start("C:\\Tools\\WORDPAD.EXE");
  SetTamilEncodings(3);  // TAM: syllable glyphs for WORDP and KAVIT
  Toggle();
  EXPECT_EQ(profile, profileWordp);
  EXPECT_EQ(shared->syllableTables, 1);
  EXPECT_NE(glyphs.consonantI[0], 0);
}

}  // namespace
