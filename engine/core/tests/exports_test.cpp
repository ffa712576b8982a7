// The six exports and the library entry, over the shared block.
#include <gtest/gtest.h>

#include "engine/core/exports.h"
#include "engine/core/hook.h"
#include "engine/core/process_state.h"
#include "engine/core/shared_state.h"
#include "engine/testing/typing_driver.h"

namespace {

// The block as this program found it before any test ran: the initial values themselves.
struct SharedSnapshot {
  BYTE encTab, oldTypewriter, encLipi, syllableTables, encTam, tamilOn, encUnicode, encTscii, encTOld;
  BYTE hotKeyVk, hotKeyAlt;
  int twMode, twPending, keyboardLayout;
  HWND ownerWindow;
  HHOOK hookHandle;
};
SharedSnapshot Snapshot() {
  return SharedSnapshot{encTab,   oldTypewriter, encLipi, syllableTables, encTam,  tamilOn,       encUnicode,
                        encTscii, encTOld,       hotKeyVk, hotKeyAlt,     twMode,  twPending,     keyboardLayout,
                        ownerWindow, hookHandle};
}
const SharedSnapshot kAtLoad = Snapshot();

TEST(SharedBlock, BeforeAnySettingSelectsTsciiPhoneticTamilOnAndF11WithoutAlt) {
  EXPECT_EQ(kAtLoad.encTscii, 1);
  EXPECT_EQ(kAtLoad.encUnicode + kAtLoad.encTab + kAtLoad.encTam + kAtLoad.encLipi + kAtLoad.encTOld, 0);
  EXPECT_EQ(kAtLoad.keyboardLayout, 0);
  EXPECT_EQ(kAtLoad.oldTypewriter, 0);
  EXPECT_EQ(kAtLoad.tamilOn, 1);
  EXPECT_EQ(kAtLoad.hotKeyVk, 0x7A);
  EXPECT_EQ(kAtLoad.hotKeyAlt, 0);
  EXPECT_EQ(kAtLoad.syllableTables, 0);
  EXPECT_EQ(kAtLoad.twMode, 0);
  EXPECT_EQ(kAtLoad.twPending, 0);
  EXPECT_EQ(kAtLoad.ownerWindow, nullptr);
  EXPECT_EQ(kAtLoad.hookHandle, nullptr);
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
  EXPECT_EQ(ownerWindow, owner);
  EXPECT_EQ(hookHandle, fake::world().installedHook);
  EXPECT_EQ(loaderProcess, 1);
}

TEST_F(Exports, SecondLoadWhileTheOwnerLivesIsRefusedAndChangesNothing) {
  ASSERT_EQ(LoadVirelEngine(owner), 1);
  HHOOK first = hookHandle;
  HWND second = fake::NewWindow("VirelClass");
  EXPECT_EQ(LoadVirelEngine(second), 0);
  EXPECT_EQ(ownerWindow, owner);
  EXPECT_EQ(hookHandle, first);
  EXPECT_EQ(fake::world().hooksInstalled, 1);
}

TEST_F(Exports, LoadAfterTheOwnerWindowDiedInstallsAgain) {
  ASSERT_EQ(LoadVirelEngine(owner), 1);
  fake::DestroyWindow(owner);  // the tray was killed: no detach ran
  HWND restarted = fake::NewWindow("VirelClass");
  EXPECT_EQ(LoadVirelEngine(restarted), 1);
  EXPECT_EQ(ownerWindow, restarted);
  EXPECT_EQ(fake::world().hooksInstalled, 2);
}

TEST_F(Exports, FailedHookInstallReportsZeroAndLeavesNoOwner) {
  fake::world().hookFails = true;
  EXPECT_EQ(LoadVirelEngine(owner), 0);
  EXPECT_EQ(ownerWindow, nullptr);
  EXPECT_EQ(hookHandle, nullptr);
  EXPECT_EQ(loaderProcess, 0);
}

TEST_F(Exports, UnloadOnlyForTheOwnerAndKeepsTheOwnerWhenUnhookFails) {
  EXPECT_EQ(UnloadVirelEngine(nullptr), 0);  // even with no owner at all
  ASSERT_EQ(LoadVirelEngine(owner), 1);
  EXPECT_EQ(UnloadVirelEngine(nullptr), 0);
  EXPECT_EQ(UnloadVirelEngine(host), 0);
  EXPECT_EQ(ownerWindow, owner);

  fake::world().unhookFails = true;
  EXPECT_EQ(UnloadVirelEngine(owner), 0);
  EXPECT_EQ(ownerWindow, owner);

  fake::world().unhookFails = false;
  HHOOK handle = hookHandle;
  EXPECT_NE(UnloadVirelEngine(owner), 0);
  EXPECT_EQ(ownerWindow, nullptr);
  EXPECT_EQ(hookHandle, handle);  // not cleared
  EXPECT_EQ(LoadVirelEngine(owner), 1);
}

TEST_F(Exports, DetachRemovesTheHookOnlyInTheLoaderProcess) {
  ASSERT_EQ(LoadVirelEngine(owner), 1);
  loaderProcess = 0;  // any other process that mapped the engine
  EngineProcessDetach();
  EXPECT_EQ(ownerWindow, owner);
  EXPECT_EQ(fake::CountCalls("UnhookWindowsHookEx"), 0);

  loaderProcess = 1;
  EngineProcessDetach();
  EXPECT_EQ(ownerWindow, nullptr);
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
  HHOOK current = hookHandle;
  fake::EnterAnotherProcess("C:\\Virel\\Virel64.exe");  // the old tray again, ending
  loaderProcess = 1;
  installedHook = reinterpret_cast<HHOOK>(0x7001);  // its own, the first
  EngineProcessDetach();
  EXPECT_EQ(ownerWindow, restarted);
  EXPECT_EQ(fake::world().installedHook, current);
  EXPECT_EQ(fake::CountCalls("UnhookWindowsHookEx"), 0);
}

TEST_F(Exports, EncodingNumbersSelectExactlyOneFlag) {
  struct Case {
    int number;
    BYTE* flag;
  } cases[] = {{0, &encUnicode}, {1, &encTscii}, {2, &encTab},  {3, &encTam},
               {4, &encLipi},    {5, &encTOld},  {7, &encTscii}, {-1, &encTscii}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.number);
    SetTamilEncodings(c.number);
    EXPECT_EQ(*c.flag, 1);
    EXPECT_EQ(encUnicode + encTscii + encTab + encTam + encLipi + encTOld, 1);
  }
}

TEST_F(Exports, KeyboardNumbersSetTheLayoutAndOnlyTypewritersTouchTheVariant) {
  SetTamilKeyboard(3);
  EXPECT_EQ(keyboardLayout, 2);
  EXPECT_EQ(oldTypewriter, 1);
  SetTamilKeyboard(1);
  EXPECT_EQ(keyboardLayout, 1);
  EXPECT_EQ(oldTypewriter, 1);  // unchanged
  SetTamilKeyboard(2);
  EXPECT_EQ(keyboardLayout, 2);
  EXPECT_EQ(oldTypewriter, 0);
  SetTamilKeyboard(9);
  EXPECT_EQ(keyboardLayout, 0);
  EXPECT_EQ(oldTypewriter, 0);
}

TEST_F(Exports, HotKeyKeepsTheLowBytes) {
  SetHotKey(0x101, 0x14B);
  EXPECT_EQ(hotKeyAlt, 1);
  EXPECT_EQ(hotKeyVk, 0x4B);
}

TEST_F(Exports, ToggleTamilFlipsAndTellsTheOwnerOnlyWhenThereIsOne) {
  ToggleTamil();
  EXPECT_EQ(tamilOn, 0);
  EXPECT_EQ(fake::CountCalls("PostMessageA"), 0);

  ASSERT_EQ(LoadVirelEngine(owner), 1);
  ToggleTamil();
  ToggleTamil();
  EXPECT_EQ(tamilOn, 0);
  EXPECT_EQ(fake::ToggleNotifications(owner), (std::vector<WPARAM>{1, 0}));
}

}  // namespace
