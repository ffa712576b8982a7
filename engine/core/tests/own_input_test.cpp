// The engine's own posted messages and synthesized keys, known when they come back: in order,
// with the characters a host may or may not make of them, and synthesized keys only for a while.
#include <gtest/gtest.h>

#include "engine/core/own_input.h"
#include "engine/core/process_state.h"
#include "engine/testing/typing_driver.h"

namespace {

class OwnInputTest : public ::testing::Test {
 protected:
  void SetUp() override { window = fake::StartProcess(); }
  bool Own(UINT message, WPARAM wParam, LPARAM lParam, DWORD time = 0) {
    return IsOwnInput(MSG{window, message, wParam, lParam, time, {0, 0}});
  }
  HWND window = nullptr;
};

TEST_F(OwnInputTest, PostedMessagesComeBackInOrderWithTheCharacterOfABackspaceKey) {
  PostOwn(window, WM_KEYDOWN, VK_BACK, 0);
  PostOwn(window, WM_CHAR, 0xB8, 0);
  EXPECT_FALSE(Own(WM_CHAR, 0xB8, 0));  // not before the key-down
  EXPECT_TRUE(Own(WM_KEYDOWN, VK_BACK, 0));
  EXPECT_TRUE(Own(WM_CHAR, 0xB8, 0));
  EXPECT_TRUE(Own(WM_CHAR, VK_BACK, 0));  // the host translated the key-down: behind the text
  EXPECT_FALSE(Own(WM_CHAR, VK_BACK, 0));

  PostOwn(window, WM_CHAR, 0x0B95, 0, true);
  EXPECT_TRUE(Own(WM_CHAR, '?', 0));  // a Tamil unit as an 8-bit window gets it
  PostOwn(window, WM_CHAR, 0xB8, 0);
  EXPECT_FALSE(Own(WM_CHAR, 'k', 1));  // a key from the input stream: everything posted has come
  EXPECT_FALSE(Own(WM_CHAR, 0xB8, 0));
}

TEST_F(OwnInputTest, SynthesizedKeysAndTheCharactersAHostMayMakeOfThem) {
  SynthesizeOwnKey(VK_CONTROL, 0);
  SynthesizeOwnKey(0x56, 0);
  SynthesizeOwnKey(0x56, KEYEVENTF_KEYUP);
  SynthesizeOwnKey(VK_CONTROL, KEYEVENTF_KEYUP);
  EXPECT_TRUE(Own(WM_KEYDOWN, VK_CONTROL, 1));
  EXPECT_TRUE(Own(WM_KEYDOWN, 0x56, 1));
  EXPECT_FALSE(Own(WM_KEYDOWN, VK_BACK, 1));  // an accelerator took Ctrl+V: no 0x16 comes
  EXPECT_FALSE(Own(WM_CHAR, 0x16, 1));        // the user's own paste

  fake::world().tick = 1000;
  SynthesizeOwnKey(VK_BACK, 0);
  EXPECT_FALSE(Own(WM_KEYDOWN, VK_BACK, 1, 900));  // typed before the engine's key
  EXPECT_TRUE(Own(WM_KEYDOWN, VK_BACK, 1, 990));   // stamped by a coarser clock
  EXPECT_TRUE(Own(WM_CHAR, VK_BACK, 1, 1000));

  SynthesizeOwnKey(VK_BACK, 0);
  EXPECT_FALSE(Own(WM_KEYDOWN, VK_BACK, 1, 3000));  // the engine's went elsewhere long ago
  EXPECT_FALSE(Own(WM_CHAR, VK_BACK, 1, 3000));
}

}  // namespace
