// A quit message that arrives while a tree is tracked closes every menu of
// the tree and is posted again, so that the host's own message loop ends.
#include "tests/keyboard/menu_keys_fixture.h"

using namespace keytest;

TEST_F(MenuKeys, AQuitWithASubmenuOpenClosesEveryMenuAndIsPostedAgainOnce) {
    const DWORD thread = GetCurrentThreadId();
    qtest::ModalOutcome out = Run([&] {
        if (!qtest::WaitShown(root)) return;
        qtest::TypeChar('c');
        if (!qtest::WaitShown(charlie)) return;
        EXPECT_TRUE(qtest::SyncInput());
        PostThreadMessageA(thread, WM_QUIT, 42, 0);
    });
    EXPECT_FALSE(out.rescued) << "the quit left menus open";
    EXPECT_EQ(0, out.result);
    EXPECT_EQ(nullptr, root.Window());
    EXPECT_EQ(nullptr, charlie.Window());
    EXPECT_TRUE(qtest::MenuWindows().empty());
    EXPECT_EQ(std::vector<WPARAM>{42}, qtest::TakeQuitMessages());
}

TEST_F(MenuKeys, AQuitWithTheContextMenuOpenClosesItAndTheTree) {
    const DWORD thread = GetCurrentThreadId();
    qtest::ModalOutcome out = Run([&] {
        if (!qtest::WaitShown(root)) return;
        qtest::PressKey(VK_DOWN);
        qtest::PressKey(VK_APPS);
        if (!qtest::WaitShown(context)) return;
        EXPECT_TRUE(qtest::SyncInput());
        PostThreadMessageA(thread, WM_QUIT, 3, 0);
    });
    EXPECT_FALSE(out.rescued) << "the quit left menus open";
    EXPECT_EQ(0, out.result);
    EXPECT_EQ(0, out.contextCommand);
    EXPECT_EQ(nullptr, context.Window());
    EXPECT_EQ(nullptr, root.Window());
    EXPECT_TRUE(qtest::MenuWindows().empty());
    EXPECT_EQ(std::vector<WPARAM>{3}, qtest::TakeQuitMessages());
}

TEST_F(MenuKeys, AHostThatQuitsWhileTheMenuIsOpenEndsWithItsExitCode) {
    // The host's own window asks to quit, from a message that the menu's loop
    // hands to it.
    qtest::ModalOutcome out = Run([&] {
        if (!qtest::WaitShown(root)) return;
        qtest::PressKey(VK_DOWN);
        EXPECT_TRUE(qtest::SyncInput());
        PostMessageA(host.Handle(), qtest::kQuitRequest, 5, 0);
    });
    EXPECT_FALSE(out.rescued) << "the quit left menus open";
    EXPECT_EQ(0, out.result);
    EXPECT_TRUE(qtest::MenuWindows().empty());
    EXPECT_EQ(std::vector<WPARAM>{5}, qtest::TakeQuitMessages());
}
