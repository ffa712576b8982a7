// The engine's own posted messages and synthesized keys, known when they come back: in order,
// with the characters a host may or may not make of them, per thread, and synthesized keys by
// the time they were made.
#include <gtest/gtest.h>

#include "engine/core/own_input.h"
#include "engine/core/process_state.h"
#include "engine/testing/typing_driver.h"

namespace {

class OwnInputTest : public ::testing::Test {
 protected:
  void SetUp() override { window = fake::StartProcess(); }
  Origin From(UINT message, WPARAM wParam, LPARAM lParam, DWORD time = 0, ULONG_PTR mark = 0) {
    fake::world().messageExtraInfo = static_cast<LPARAM>(mark);
    return ClassifyInput(MSG{window, message, wParam, lParam, time, {0, 0}});
  }
  bool Own(UINT message, WPARAM wParam, LPARAM lParam, DWORD time = 0) {
    return From(message, wParam, lParam, time) == Origin::kOwn;
  }
  // A paste as delivery makes it: Ctrl+V, with a Shift the user holds released around it.
  void SynthesizePaste(bool shiftHeld = false) {
    KeyBatch keys{};
    if (shiftHeld) AddKey(&keys, VK_LSHIFT, true);
    AddKey(&keys, VK_CONTROL, false);
    AddKey(&keys, 'V', false);
    AddKey(&keys, 'V', true);
    AddKey(&keys, VK_CONTROL, true);
    if (shiftHeld) AddKey(&keys, VK_LSHIFT, false);
    ASSERT_TRUE(SynthesizeOwnKeys(keys));
  }
  HWND window = nullptr;
};

TEST_F(OwnInputTest, PostedMessagesComeBackWithTheCharacterOfABackspaceKey) {
  PostOwn(window, WM_KEYDOWN, VK_BACK, 0);
  PostOwn(window, WM_CHAR, 0xB8, 0);
  EXPECT_TRUE(Own(WM_KEYDOWN, VK_BACK, 0));
  EXPECT_FALSE(Own(WM_CHAR, 'k', 1));  // a key from the input stream changes nothing
  EXPECT_TRUE(Own(WM_CHAR, 0xB8, 0));
  EXPECT_TRUE(Own(WM_CHAR, VK_BACK, 0));  // the host translated the key-down: behind the text
  EXPECT_FALSE(Own(WM_CHAR, VK_BACK, 0));

  PostOwn(window, WM_CHAR, 0x0B95, 0, true);
  PostOwn(window, WM_CHAR, 'a', 0);
  EXPECT_TRUE(Own(WM_CHAR, 'a', 0));  // taken first by a filtered PeekMessage
  EXPECT_TRUE(Own(WM_CHAR, '?', 0));  // a Tamil unit as an 8-bit window gets it

  fake::world().postFails = true;  // a full queue: nothing comes, nothing is waited for
  EXPECT_FALSE(PostOwn(window, WM_CHAR, 'x', 0));
  fake::world().postFails = false;
  EXPECT_EQ(threadInputs[0].posted.count, 0u);
  PostOwn(window, WM_UNICHAR, 0x0B95, 0);
  EXPECT_TRUE(Own(WM_UNICHAR, 0x0B95, 0));
}

// Synthesized keys carry the engine's mark; a key of the user's made before them is queued ahead
// of them and waits, one made after them shows them lost.
TEST_F(OwnInputTest, SynthesizedKeysByTheirMarkAndTheTimeTheyWereMade) {
  const ULONG_PTR own = kOwnKeyMark;
  const DWORD t = 0xFFFFFF00;  // the clock wraps in the middle of it all
  fake::world().tick = t;
  SynthesizePaste(true);
  EXPECT_EQ(From(WM_KEYDOWN, 'V', 1, t - 300), Origin::kTypedAhead);  // the user's V, typed before
  EXPECT_EQ(From(WM_KEYDOWN, VK_SHIFT, 1, t - 300), Origin::kUser);   // modifiers never wait
  EXPECT_EQ(From(WM_KEYDOWN, 'V', 1, t + 10, own), Origin::kOwn);
  EXPECT_EQ(From(WM_CHAR, 0x16, 1, t + 1500), Origin::kOwn);  // translated after a long stall
  EXPECT_EQ(From(WM_KEYUP, 'V', 1, t + 10, own), Origin::kPasted);

  fake::world().tick = t + 200;
  SynthesizePaste();
  EXPECT_EQ(From(WM_KEYDOWN, 'A', 1, t + 300), Origin::kUser);  // typed after them: they were lost
  EXPECT_EQ(From(WM_KEYDOWN, 'B', 1, t + 300), Origin::kUser);

  SynthesizePaste();
  fake::world().tick = t + 200 + 25u * 24 * 3600 * 1000;  // 25 days later, a new delivery
  SynthesizePaste();
  EXPECT_EQ(From(WM_KEYDOWN, 'K', 1, fake::world().tick - 10), Origin::kTypedAhead);
}

// Held keys go back with the modifiers they were typed with, in batches that each release what
// they press; a key that cannot go back (another desktop has the input) goes on as it is.
TEST_F(OwnInputTest, HeldKeysGoBackWholeOrStay) {
  for (BYTE vk : {VK_LCONTROL, VK_LSHIFT}) fake::world().keyState[vk] = 0x80;
  BeginDelivery(window);
  for (unsigned i = 0; i < kHeldKeys; ++i) {
    MSG typed{window, WM_KEYDOWN, 'A' + i, 1, 0, {0, 0}};
    ASSERT_TRUE(HoldUsersKey(&typed));
  }
  fake::ClearLog();
  EndDelivery();
  EXPECT_EQ(fake::CountCalls("SendInput"), static_cast<int>(kHeldKeys * 6));  // Ctrl, Shift, key: down, up
  for (BYTE vk : {VK_LCONTROL, VK_LSHIFT}) EXPECT_EQ(fake::world().asyncKeyState[vk], 0);

  fake::world().inputBlocked = true;
  MSG typed{window, WM_KEYDOWN, 'K', 1, 0, {0, 0}};
  EXPECT_FALSE(HoldUsersKey(&typed));
  EXPECT_EQ(typed.message, static_cast<UINT>(WM_KEYDOWN));
}

TEST_F(OwnInputTest, EachThreadHasItsOwnRecord) {
  PostOwn(window, WM_CHAR, 0xB8, 0);
  HWND second = fake::NewWindow("Edit");
  fake::world().windows[second].threadId = fake::kMainThread + 1;
  fake::world().currentThread = fake::kMainThread + 1;
  EXPECT_EQ(ClassifyInput(MSG{second, WM_CHAR, 'k', 1, 0, {0, 0}}), Origin::kUser);
  fake::world().currentThread = fake::kMainThread;
  EXPECT_TRUE(Own(WM_CHAR, 0xB8, 0));

  threadInputs[0].posted.count = 0xFFFFFFFFu;  // however it got there
  PostOwn(window, WM_CHAR, 0xA1, 0);
  EXPECT_TRUE(Own(WM_CHAR, 0xA1, 0));
}

}  // namespace
