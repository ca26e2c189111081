// The keyboard drives every menu of a tree: keys typed with SendInput while
// the host's window has the focus move the hot entry, open and close
// submenus and the context menu, and choose, and none reaches the host.
#include "tests/keyboard/menu_keys_fixture.h"

using namespace keytest;

TEST_F(MenuKeys, DownAndUpWrapAroundAndSkipEntriesThatCannotBeChosen) {
    Outcome out = Run([&] {
        if (!WaitShown(root)) return;
        EXPECT_EQ(-1, root.Rows().HotIndex()) << "a menu opened by the mouse has no hot entry";
        Tap(VK_DOWN);
        ExpectHot(root, kAlpha); // the title and its line are skipped
        Tap(VK_DOWN);
        ExpectHot(root, kBravo);
        EXPECT_TRUE(WaitPaintedPlain(root.Window(), Top(root, kAlpha)));
        Tap(VK_DOWN);
        ExpectHot(root, kCharlie); // grayed skipped
        Tap(VK_DOWN);
        ExpectHot(root, kBeta); // separator and disabled skipped
        Tap(VK_DOWN);
        ExpectHot(root, kDelta);
        Tap(VK_DOWN);
        ExpectHot(root, kEcho);
        Tap(VK_DOWN);
        ExpectHot(root, kAlpha); // wrapped to the top
        Tap(VK_UP);
        ExpectHot(root, kEcho); // and back to the bottom
        Tap(VK_UP);
        ExpectHot(root, kDelta);
        EXPECT_EQ(1u, MenuWindows().size()) << "moving onto a submenu entry opens nothing";
        Tap(VK_ESCAPE);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
    EXPECT_EQ(0, out.hostKeyMessages);
    EXPECT_TRUE(MenuWindows().empty());
}

TEST_F(MenuKeys, UpWithNoHotEntryTakesTheLastAndHomeAndEndTheEnds) {
    Outcome out = Run([&] {
        if (!WaitShown(root)) return;
        Tap(VK_UP);
        ExpectHot(root, kEcho);
        Tap(VK_HOME);
        ExpectHot(root, kAlpha);
        Tap(VK_END);
        ExpectHot(root, kEcho);
        Tap(VK_ESCAPE);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
    EXPECT_EQ(0, out.hostKeyMessages);
}

TEST_F(MenuKeys, EnterChoosesTheHotEntryAsALeftReleaseDoes) {
    Outcome out = Run([&] {
        if (!WaitShown(root)) return;
        Tap(VK_RETURN); // no hot entry: nothing
        Tap(VK_DOWN);
        Tap(VK_DOWN);
        ExpectHot(root, kBravo);
        Tap(VK_RETURN);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(kBravoId, out.result);
    EXPECT_EQ(0, out.contextCommand);
    EXPECT_EQ(0, out.hostKeyMessages);
    EXPECT_TRUE(MenuWindows().empty());
}

TEST_F(MenuKeys, RightOpensTheSubmenuBesideItsEntryWithItsFirstEntryHot) {
    Outcome out = Run([&] {
        if (!WaitShown(root)) return;
        Tap(VK_END);
        Tap(VK_UP);
        Tap(VK_UP);
        Tap(VK_UP);
        ExpectHot(root, kCharlie);
        Tap(VK_RIGHT);
        if (!WaitShown(charlie)) return;
        ExpectHot(charlie, kOne);
        // Where the mouse opens it: over the root's right edge, its first
        // entry level with its own entry.
        EXPECT_EQ(WindowRect(root.Window()).left + root.Rows().Width() - 3,
                  WindowRect(charlie.Window()).left);
        EXPECT_EQ(WindowRect(root.Window()).top + Top(root, kCharlie) - 3,
                  WindowRect(charlie.Window()).top);
        EXPECT_EQ(kCharlie, root.Rows().HotIndex());
        Tap(VK_DOWN);
        ExpectHot(charlie, kTwo);
        Tap(VK_RETURN);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(kTwoId, out.result);
    EXPECT_EQ(0, out.hostKeyMessages);
    EXPECT_TRUE(MenuWindows().empty());
}

TEST_F(MenuKeys, LeftAndEscCloseOnlyTheSubmenuAndEnterOpensItAgain) {
    Outcome out = Run([&] {
        if (!WaitShown(root)) return;
        Tap(VK_END);
        Tap(VK_UP);
        Tap(VK_UP);
        Tap(VK_UP);
        Tap(VK_RIGHT);
        if (!WaitShown(charlie)) return;
        Tap(VK_LEFT);
        Settle();
        EXPECT_EQ(nullptr, charlie.Window()) << "Left closes the submenu";
        EXPECT_NE(nullptr, root.Window()) << "and only the submenu";
        ExpectHot(root, kCharlie);
        EXPECT_TRUE(WaitForMenuCount(1));

        Tap(VK_RETURN); // Enter on a submenu entry opens it
        if (!WaitShown(charlie)) return;
        ExpectHot(charlie, kOne);
        Tap(VK_ESCAPE);
        Settle();
        EXPECT_EQ(nullptr, charlie.Window()) << "Esc closes the submenu";
        EXPECT_NE(nullptr, root.Window());
        ExpectHot(root, kCharlie);
        Tap(VK_LEFT); // in the root: nothing
        Settle();
        EXPECT_NE(nullptr, root.Window());
        Tap(VK_ESCAPE);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result) << "Esc in the root closes the tree with no choice";
    EXPECT_EQ(0, out.contextCommand);
    EXPECT_EQ(0, out.hostKeyMessages);
    EXPECT_TRUE(MenuWindows().empty());
}

TEST_F(MenuKeys, RightOnAnEntryWithoutSubmenuAndUnusedKeysDoNothing) {
    Outcome out = Run([&] {
        if (!WaitShown(root)) return;
        Tap(VK_DOWN);
        Tap(VK_RIGHT);
        Tap(VK_TAB);
        Tap(VK_F5);
        Tap(VK_SPACE);
        ExpectHot(root, kAlpha);
        EXPECT_EQ(1u, MenuWindows().size());
        Tap(VK_ESCAPE);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
    EXPECT_EQ(0, out.hostKeyMessages) << "unused keys are swallowed too";
}

TEST_F(MenuKeys, TheHostGetsItsKeysAgainOnceTheMenuHasClosed) {
    Outcome out = Run([&] {
        if (!WaitShown(root)) return;
        Tap(VK_DOWN);
        Tap(VK_ESCAPE);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.hostKeyMessages);
    host.ResetKeyMessages();
    Tap(VK_DOWN);
    EXPECT_TRUE(WaitFor([&] {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return host.KeyMessages() >= 2;
    })) << "the host window receives the key down and up";
}

TEST_F(MenuKeys, AMnemonicChoosesItsEntryInEitherCase) {
    Outcome out = Run([&] {
        if (WaitShown(root)) Type('A');
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(kAlphaId, out.result);
    EXPECT_EQ(0, out.hostKeyMessages);

    out = Run([&] {
        if (WaitShown(root)) Type('a');
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(kAlphaId, out.result);
}

TEST_F(MenuKeys, AMnemonicOnASubmenuEntryOpensTheSubmenu) {
    Outcome out = Run([&] {
        if (!WaitShown(root)) return;
        Type('c');
        if (!WaitShown(charlie)) return;
        EXPECT_EQ(kCharlie, root.Rows().HotIndex());
        ExpectHot(charlie, kOne);
        Type('t'); // "&Two", although "Three" starts with it too
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(kTwoId, out.result);
    EXPECT_EQ(0, out.hostKeyMessages);
}

TEST_F(MenuKeys, TheOnlyEntryStartingWithALetterIsChosenOrOpened) {
    // "Disabled" starts with d too, but cannot be chosen.
    Outcome out = Run([&] {
        if (WaitShown(root)) Type('D');
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(kDeltaId, out.result);

    out = Run([&] {
        if (!WaitShown(root)) return;
        Type('e');
        if (!WaitShown(echo)) return;
        EXPECT_EQ(kEcho, root.Rows().HotIndex());
        Type('i');
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(kInnerId, out.result);
    EXPECT_EQ(0, out.hostKeyMessages);
}

TEST_F(MenuKeys, ALetterSeveralEntriesStartWithCyclesTheHotEntry) {
    Outcome out = Run([&] {
        if (!WaitShown(root)) return;
        Type('b');
        ExpectHot(root, kBravo);
        Type('B');
        ExpectHot(root, kBeta);
        Type('b');
        ExpectHot(root, kBravo); // cycled
        Tap(VK_END);
        Type('b');
        ExpectHot(root, kBravo); // the next one after the hot entry, from the top
        Type('z');               // no entry: nothing
        Type('g');               // only a grayed entry: nothing
        ExpectHot(root, kBravo);
        EXPECT_EQ(1u, MenuWindows().size());
        Tap(VK_RETURN);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(kBravoId, out.result);
    EXPECT_EQ(0, out.hostKeyMessages);
}

TEST_F(MenuKeys, ShiftF10OpensTheContextMenuAtTheHotEntryAndReportsItsChoice) {
    Outcome out = Run([&] {
        if (!WaitShown(root)) return;
        TapWithShift(VK_F10); // no hot entry: nothing
        Settle();
        EXPECT_EQ(nullptr, context.Window());
        Tap(VK_DOWN);
        Tap(VK_DOWN);
        ExpectHot(root, kBravo);
        TapWithShift(VK_F10);
        if (!WaitShown(context)) return;
        ExpectHot(context, kOpen);
        // On the entry's row, a little inside its left edge, just below its top.
        EXPECT_EQ(WindowRect(root.Window()).left + 8, WindowRect(context.Window()).left);
        EXPECT_EQ(WindowRect(root.Window()).top + Top(root, kBravo) + 4,
                  WindowRect(context.Window()).top);
        Tap(VK_DOWN);
        ExpectHot(context, kInsert);
        EXPECT_EQ(kBravo, root.Rows().HotIndex());
        Tap(VK_RETURN);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(kBravoId, out.result);
    EXPECT_EQ(kInsertCmd, out.contextCommand);
    EXPECT_EQ(0, out.hostKeyMessages);
    EXPECT_TRUE(MenuWindows().empty());
}

TEST_F(MenuKeys, TheContextKeyWorksInASubmenuAndTheContextMenuTakesMnemonics) {
    Outcome out = Run([&] {
        if (!WaitShown(root)) return;
        Type('c');
        if (!WaitShown(charlie)) return;
        Tap(VK_DOWN);
        Tap(VK_DOWN);
        ExpectHot(charlie, kThree);
        Tap(VK_APPS);
        if (!WaitShown(context)) return;
        EXPECT_EQ(WindowRect(charlie.Window()).left + 8, WindowRect(context.Window()).left);
        EXPECT_EQ(WindowRect(charlie.Window()).top + Top(charlie, kThree) + 4,
                  WindowRect(context.Window()).top);
        Type('P');
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(kThreeId, out.result);
    EXPECT_EQ(kPropertiesCmd, out.contextCommand);
    EXPECT_EQ(0, out.hostKeyMessages);
}

TEST_F(MenuKeys, InTheContextMenuArrowsWrapAndEscClosesTheWholeTree) {
    Outcome out = Run([&] {
        if (!WaitShown(root)) return;
        Tap(VK_DOWN);
        Tap(VK_APPS);
        if (!WaitShown(context)) return;
        ExpectHot(context, kOpen);
        Tap(VK_UP);
        ExpectHot(context, kCancel); // wrapped, the line skipped
        Tap(VK_UP);
        ExpectHot(context, kProperties);
        Tap(VK_HOME);
        ExpectHot(context, kOpen);
        Tap(VK_END);
        ExpectHot(context, kCancel);
        Tap(VK_LEFT); // the context menu is no submenu: nothing
        Tap(VK_RIGHT);
        TapWithShift(VK_F10); // it has no context menu of its own: nothing
        ExpectHot(context, kCancel);
        EXPECT_EQ(2u, MenuWindows().size());
        Tap(VK_ESCAPE);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result) << "Esc in the context menu closes the tree with no choice";
    EXPECT_EQ(0, out.contextCommand);
    EXPECT_EQ(0, out.hostKeyMessages);
    EXPECT_TRUE(MenuWindows().empty());
}

TEST_F(MenuKeys, KeyboardAndMouseMix) {
    const DWORD thread = GetCurrentThreadId(); // the menus' own
    Outcome out = Run([&] {
        if (!WaitShown(root)) return;
        Tap(VK_DOWN);
        ExpectHot(root, kAlpha);
        // The mouse moves the hot entry on from where the key left it ...
        const RECT r = WindowRect(root.Window());
        MovePointer(r.left + 30, r.top + Top(root, kBeta) + 10);
        EXPECT_TRUE(WaitFor([&] { return root.Rows().HotIndex() == kBeta; }));
        // ... the keys from where the mouse left it, and the resting pointer
        // does not take it back.
        Tap(VK_DOWN);
        ExpectHot(root, kDelta);
        Tap(VK_DOWN);
        Tap(VK_RIGHT);
        if (!WaitShown(echo)) return;
        ExpectHot(echo, 0);
        EXPECT_TRUE(PaintedPlain(root.Window(), Top(root, kBeta)));
        EXPECT_EQ(kEcho, root.Rows().HotIndex());
        // A click on an entry chooses it, whatever the keys did.
        const RECT e = WindowRect(echo.Window());
        MovePointer(e.left + 20, e.top + Top(echo, 0) + 10);
        EXPECT_TRUE(WaitFor([&] { return ThreadCapture(thread) == echo.Window(); }))
            << "the capture follows the pointer into the submenu";
        LeftClick();
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(kInnerId, out.result);
    EXPECT_EQ(0, out.hostKeyMessages);
}

TEST_F(MenuKeys, ASubmenuOpenedByTheMouseHasNoHotEntryUntilAKey) {
    Outcome out = Run([&] {
        if (!WaitShown(root)) return;
        const RECT r = WindowRect(root.Window());
        MovePointer(r.left + 30, r.top + Top(root, kCharlie) + 10);
        if (!WaitShown(charlie)) return; // after the submenu delay
        EXPECT_EQ(-1, charlie.Rows().HotIndex());
        Tap(VK_DOWN);
        ExpectHot(charlie, kOne);
        Tap(VK_ESCAPE);
        Settle();
        EXPECT_EQ(nullptr, charlie.Window());
        Tap(VK_ESCAPE);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
    EXPECT_EQ(0, out.hostKeyMessages);
}
