// A quit message that arrives while a tree is tracked closes every menu of
// the tree and is posted again, so that the host's own message loop ends.
#include "tests/keyboard/menu_keys_fixture.h"

using namespace keytest;

TEST_F(MenuKeys, AQuitWithASubmenuOpenClosesEveryMenuAndIsPostedAgainOnce) {
    const DWORD thread = GetCurrentThreadId();
    Outcome out = Run([&] {
        if (!WaitShown(root)) return;
        Type('c');
        if (!WaitShown(charlie)) return;
        Settle();
        PostThreadMessageA(thread, WM_QUIT, 42, 0);
    });
    EXPECT_FALSE(out.rescued) << "the quit left menus open";
    EXPECT_EQ(0, out.result);
    EXPECT_EQ(nullptr, root.Window());
    EXPECT_EQ(nullptr, charlie.Window());
    EXPECT_TRUE(MenuWindows().empty());
    EXPECT_EQ(std::vector<WPARAM>{42}, TakeQuitMessages());
}

TEST_F(MenuKeys, AQuitWithTheContextMenuOpenClosesItAndTheTree) {
    const DWORD thread = GetCurrentThreadId();
    Outcome out = Run([&] {
        if (!WaitShown(root)) return;
        Tap(VK_DOWN);
        Tap(VK_APPS);
        if (!WaitShown(context)) return;
        Settle();
        PostThreadMessageA(thread, WM_QUIT, 3, 0);
    });
    EXPECT_FALSE(out.rescued) << "the quit left menus open";
    EXPECT_EQ(0, out.result);
    EXPECT_EQ(0, out.contextCommand);
    EXPECT_EQ(nullptr, context.Window());
    EXPECT_EQ(nullptr, root.Window());
    EXPECT_TRUE(MenuWindows().empty());
    EXPECT_EQ(std::vector<WPARAM>{3}, TakeQuitMessages());
}

TEST_F(MenuKeys, AHostThatQuitsWhileTheMenuIsOpenEndsWithItsExitCode) {
    // The host's own window asks to quit, from a message that the menu's loop
    // hands to it.
    Outcome out = Run([&] {
        if (!WaitShown(root)) return;
        Tap(VK_DOWN);
        Settle();
        PostMessageA(host.Handle(), kQuitRequest, 5, 0);
    });
    EXPECT_FALSE(out.rescued) << "the quit left menus open";
    EXPECT_EQ(0, out.result);
    EXPECT_TRUE(MenuWindows().empty());
    EXPECT_EQ(std::vector<WPARAM>{5}, TakeQuitMessages());
}
