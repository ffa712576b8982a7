// The six exports and the library entry, over the shared block.
#include <gtest/gtest.h>

#include "engine/core/exports.h"
#include "engine/core/hook.h"
#include "engine/core/process_state.h"
#include "engine/core/shared_state.h"
#include "engine/testing/typing_driver.h"

namespace {

// The first process of a session to map the engine makes the block with its first values.
TEST(SharedBlock, BeforeAnySettingSelectsTsciiPhoneticTamilOnAndF11WithoutAlt) {
  fake::Reset();
  ResetProcessState();
  EngineProcessAttach(reinterpret_cast<HINSTANCE>(0x400000));
  const EngineSharedState& at = *shared;
  EXPECT_EQ(at.encTscii, 1);
  EXPECT_EQ(at.encUnicode + at.encTab + at.encTam + at.encLipi + at.encTOld, 0);
  EXPECT_EQ(at.keyboardLayout, 0);
  EXPECT_EQ(at.oldTypewriter, 0);
  EXPECT_EQ(at.tamilOn, 1);
  EXPECT_EQ(at.hotKeyVk, 0x7A);
  EXPECT_EQ(at.hotKeyAlt, 0);
  EXPECT_EQ(at.syllableTables, 0);
  EXPECT_EQ(at.twMode, 0);
  EXPECT_EQ(at.twPending, 0);
  EXPECT_EQ(at.ownerWindow, nullptr);
  EXPECT_EQ(at.hookHandle, nullptr);
}

class Exports : public ::testing::Test {
 protected:
  void SetUp() override {
    host = fake::StartProcess();
    owner = fake::NewWindow("VirelClass");
  }
  HWND host = nullptr;
  HWND owner = nullptr;
};

TEST_F(Exports, AttachRegistersTheToggleMessageAndSwitchesThreadCallsOff) {
  EXPECT_EQ(tamilOnOffMsg, 0xC123u);  // the fake's number for the registered name
  EXPECT_EQ(fake::CountCalls("DisableThreadLibraryCalls"), 1);
  processReady = 1;
  EngineProcessAttach(reinterpret_cast<HINSTANCE>(0x400000));
  EXPECT_EQ(processReady, 0);
}

TEST_F(Exports, LoadInstallsOneGlobalGetMessageHook) {
  EXPECT_EQ(LoadVirelEngine(owner), 1);
  const fake::Call& call = fake::world().calls.back();
  EXPECT_EQ(call.function, "SetWindowsHookExA");
  EXPECT_EQ(call.message, static_cast<UINT>(WH_GETMESSAGE));
  EXPECT_EQ(call.wParam, 0u);  // all threads
  EXPECT_EQ(fake::world().hookProc, &KeyHookProc);
  EXPECT_EQ(shared->ownerWindow, owner);
  EXPECT_EQ(shared->hookHandle, fake::world().installedHook);
  EXPECT_EQ(loaderProcess, 1);
}

TEST_F(Exports, SecondLoadWhileTheOwnerLivesIsRefusedAndChangesNothing) {
  ASSERT_EQ(LoadVirelEngine(owner), 1);
  HHOOK first = shared->hookHandle;
  HWND second = fake::NewWindow("VirelClass");
  EXPECT_EQ(LoadVirelEngine(second), 0);
  EXPECT_EQ(shared->ownerWindow, owner);
  EXPECT_EQ(shared->hookHandle, first);
  EXPECT_EQ(fake::world().hooksInstalled, 1);
}

TEST_F(Exports, LoadAfterTheOwnerWindowDiedInstallsAgain) {
  ASSERT_EQ(LoadVirelEngine(owner), 1);
  fake::DestroyWindow(owner);  // the tray was killed: no detach ran
  HWND restarted = fake::NewWindow("VirelClass");
  EXPECT_EQ(LoadVirelEngine(restarted), 1);
  EXPECT_EQ(shared->ownerWindow, restarted);
  EXPECT_EQ(fake::world().hooksInstalled, 2);
}

TEST_F(Exports, FailedHookInstallReportsZeroAndLeavesNoOwner) {
  fake::world().hookFails = true;
  EXPECT_EQ(LoadVirelEngine(owner), 0);
  EXPECT_EQ(shared->ownerWindow, nullptr);
  EXPECT_EQ(shared->hookHandle, nullptr);
  EXPECT_EQ(loaderProcess, 0);
}

TEST_F(Exports, UnloadOnlyForTheOwnerAndKeepsTheOwnerWhenUnhookFails) {
  EXPECT_EQ(UnloadVirelEngine(nullptr), 0);  // even with no owner at all
  ASSERT_EQ(LoadVirelEngine(owner), 1);
  EXPECT_EQ(UnloadVirelEngine(nullptr), 0);
  EXPECT_EQ(UnloadVirelEngine(host), 0);
  EXPECT_EQ(shared->ownerWindow, owner);

  fake::world().unhookFails = true;
  EXPECT_EQ(UnloadVirelEngine(owner), 0);
  EXPECT_EQ(shared->ownerWindow, owner);

  fake::world().unhookFails = false;
  HHOOK handle = shared->hookHandle;
  EXPECT_NE(UnloadVirelEngine(owner), 0);
  EXPECT_EQ(shared->ownerWindow, nullptr);
  EXPECT_EQ(shared->hookHandle, handle);  // not cleared
  EXPECT_EQ(LoadVirelEngine(owner), 1);
}

TEST_F(Exports, DetachRemovesTheHookOnlyInTheLoaderProcess) {
  ASSERT_EQ(LoadVirelEngine(owner), 1);
  EngineSharedState* block = shared;
  loaderProcess = 0;  // any other process that mapped the engine
  EngineProcessDetach();
  EXPECT_EQ(block->ownerWindow, owner);
  EXPECT_EQ(fake::CountCalls("UnhookWindowsHookEx"), 0);

  MapSharedState();
  loaderProcess = 1;
  EngineProcessDetach();
  EXPECT_EQ(block->ownerWindow, nullptr);
  EXPECT_EQ(fake::CountCalls("UnhookWindowsHookEx"), 1);
}

// A tray whose window went away while its process lives on; a new tray loads meanwhile. When the
// old process ends, the new tray's hook stays.
TEST_F(Exports, DetachLeavesAHookAnotherProcessInstalled) {
  ASSERT_EQ(LoadVirelEngine(owner), 1);
  fake::DestroyWindow(owner);
  fake::EnterAnotherProcess("C:\\Virel\\Virel64.exe");
  HWND restarted = fake::NewWindow("VirelClass");
  ASSERT_EQ(LoadVirelEngine(restarted), 1);
  HHOOK current = shared->hookHandle;
  fake::EnterAnotherProcess("C:\\Virel\\Virel64.exe");  // the old tray again, ending
  loaderProcess = 1;
  installedHook = reinterpret_cast<HHOOK>(0x7001);  // its own, the first
  EngineSharedState* block = shared;
  EngineProcessDetach();
  EXPECT_EQ(block->ownerWindow, restarted);
  EXPECT_EQ(fake::world().installedHook, current);
  EXPECT_EQ(fake::CountCalls("UnhookWindowsHookEx"), 0);
}

// The block is the logon session's: another user of the PC has one of his own. A process of lower
// integrity than the tray reads the settings but changes nothing the tray's processes see, not
// even the owner field that would keep every later tray from loading.
TEST_F(Exports, TheBlockIsTheSessionsAndOnlyTheTraysIntegrityChangesIt) {
  ASSERT_EQ(LoadVirelEngine(owner), 1);
  SetTamilEncodings(kEncUnicode);
  SetHotKey(1, 'K');
  EngineSharedState* tray = shared;
  fake::world().integrity = 0x1000;  // a sandboxed program of the same user
  fake::EnterAnotherProcess("C:\\Sandbox\\reader.exe");
  EXPECT_EQ(shared->encUnicode, 1);
  SetTamilEncodings(kEncTab);
  SetHotKey(1, 'Q');
  shared->ownerWindow = fake::NewWindow("Squatter");
  EXPECT_EQ(tray->encUnicode, 1);
  EXPECT_EQ(tray->hotKeyVk, 'K');
  EXPECT_EQ(tray->ownerWindow, owner);

  fake::world().integrity = 0x2000;
  fake::world().session = 2;  // another user, switched to
  fake::EnterAnotherProcess("C:\\Windows\\notepad.exe");
  EXPECT_EQ(shared->encTscii, 1);
  EXPECT_EQ(shared->ownerWindow, nullptr);
}

TEST_F(Exports, EncodingNumbersSelectExactlyOneFlag) {
  struct Case {
    int number;
    BYTE* flag;
  } cases[] = {{0, &shared->encUnicode}, {1, &shared->encTscii}, {2, &shared->encTab},  {3, &shared->encTam},
               {4, &shared->encLipi},    {5, &shared->encTOld},  {7, &shared->encTscii}, {-1, &shared->encTscii}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.number);
    SetTamilEncodings(c.number);
    EXPECT_EQ(*c.flag, 1);
    EXPECT_EQ(shared->encUnicode + shared->encTscii + shared->encTab + shared->encTam + shared->encLipi + shared->encTOld, 1);
  }
}

TEST_F(Exports, KeyboardNumbersSetTheLayoutAndOnlyTypewritersTouchTheVariant) {
  SetTamilKeyboard(3);
  EXPECT_EQ(shared->keyboardLayout, 2);
  EXPECT_EQ(shared->oldTypewriter, 1);
  SetTamilKeyboard(1);
  EXPECT_EQ(shared->keyboardLayout, 1);
  EXPECT_EQ(shared->oldTypewriter, 1);  // unchanged
  SetTamilKeyboard(2);
  EXPECT_EQ(shared->keyboardLayout, 2);
  EXPECT_EQ(shared->oldTypewriter, 0);
  SetTamilKeyboard(9);
  EXPECT_EQ(shared->keyboardLayout, 0);
  EXPECT_EQ(shared->oldTypewriter, 0);
}

TEST_F(Exports, HotKeyKeepsTheLowBytes) {
  SetHotKey(0x101, 0x14B);
  EXPECT_EQ(shared->hotKeyAlt, 1);
  EXPECT_EQ(shared->hotKeyVk, 0x4B);
}

TEST_F(Exports, ToggleTamilFlipsAndTellsTheOwnerOnlyWhenThereIsOne) {
  ToggleTamil();
  EXPECT_EQ(shared->tamilOn, 0);
  EXPECT_EQ(fake::CountCalls("PostMessageA"), 0);

  ASSERT_EQ(LoadVirelEngine(owner), 1);
  ToggleTamil();
  ToggleTamil();
  EXPECT_EQ(shared->tamilOn, 0);
  EXPECT_EQ(fake::ToggleNotifications(owner), (std::vector<WPARAM>{1, 0}));
}

}  // namespace
