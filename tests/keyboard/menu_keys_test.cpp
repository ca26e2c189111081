// The keyboard drives every menu of a tree: keys typed with SendInput while
// the host's window has the focus move the hot entry, open and close
// submenus and the context menu, and choose, and none reaches the host. Each
// test is a table of steps: a key (or a pointer move, a click), then the
// innermost menu and its hot entry.
#include "tests/keyboard/menu_keys_fixture.h"

using namespace keytest;
using qtest::Char;
using qtest::kClosed;
using qtest::Key;
using qtest::kNoHot;
using qtest::Opened;
using qtest::ShiftKey;

namespace {
const int kRoot = kRootMenu, kChild = kCharlieMenu, kEchoM = kEchoMenu, kCtx = kContextMenu;

void ExpectMenuCount(size_t count, const char* why) {
    EXPECT_EQ(count, qtest::MenuWindows().size()) << why;
}
} // namespace

TEST_F(MenuKeys, DownAndUpWrapAroundAndSkipEntriesThatCannotBeChosen) {
    RunCase({"Down and Up",
             {{Opened(), kRoot, kNoHot},     // a menu opened by the mouse has no hot entry
              {Key(VK_DOWN), kRoot, kAlpha}, // the title and its line are skipped
              {Key(VK_DOWN), kRoot, kBravo},
              {Key(VK_DOWN), kRoot, kCharlie}, // grayed skipped
              {Key(VK_DOWN), kRoot, kBeta},    // separator and disabled skipped
              {Key(VK_DOWN), kRoot, kDelta},
              {Key(VK_DOWN), kRoot, kEcho},
              {Key(VK_DOWN), kRoot, kAlpha}, // wrapped to the top
              {Key(VK_UP), kRoot, kEcho},    // and back to the bottom
              {Key(VK_UP), kRoot, kDelta,
               [] { ExpectMenuCount(1, "moving onto a submenu entry opens nothing"); }},
              {Key(VK_ESCAPE), kClosed, kNoHot}},
             0,
             0});
}

TEST_F(MenuKeys, UpWithNoHotEntryTakesTheLastAndHomeAndEndTheEnds) {
    RunCase({"Up, Home and End",
             {{Opened(), kRoot, kNoHot},
              {Key(VK_UP), kRoot, kEcho},
              {Key(VK_HOME), kRoot, kAlpha},
              {Key(VK_END), kRoot, kEcho},
              {Key(VK_ESCAPE), kClosed, kNoHot}},
             0,
             0});
}

TEST_F(MenuKeys, EnterChoosesTheHotEntryAsALeftReleaseDoes) {
    RunCase({"Enter",
             {{Opened(), kRoot, kNoHot},
              {Key(VK_RETURN), kRoot, kNoHot}, // no hot entry: nothing
              {Key(VK_DOWN), kRoot, kAlpha},
              {Key(VK_DOWN), kRoot, kBravo},
              {Key(VK_RETURN), kClosed, kNoHot}},
             kBravoId,
             0});
}

TEST_F(MenuKeys, RightOpensTheSubmenuBesideItsEntryWithItsFirstEntryHot) {
    auto besideItsEntry = [&] {
        // Where the mouse opens it: over the root's right edge, its first
        // entry level with its own entry.
        const RECT r = qtest::WindowRect(root.Window()), c = qtest::WindowRect(charlie.Window());
        EXPECT_EQ(r.left + root.Rows().Width() - 3, c.left);
        EXPECT_EQ(r.top + Top(root, kCharlie) - 3, c.top);
        EXPECT_EQ(kCharlie, root.Rows().HotIndex());
    };
    RunCase({"Right",
             {{Opened(), kRoot, kNoHot},
              {Key(VK_END), kRoot, kEcho},
              {Key(VK_UP), kRoot, kDelta},
              {Key(VK_UP), kRoot, kBeta},
              {Key(VK_UP), kRoot, kCharlie},
              {Key(VK_RIGHT), kChild, kOne, besideItsEntry},
              {Key(VK_DOWN), kChild, kTwo},
              {Key(VK_RETURN), kClosed, kNoHot}},
             kTwoId,
             0});
}

TEST_F(MenuKeys, LeftAndEscCloseOnlyTheSubmenuAndEnterOpensItAgain) {
    auto onlyTheSubmenuClosed = [&] {
        EXPECT_EQ(nullptr, charlie.Window()) << "the key closes the submenu";
        EXPECT_NE(nullptr, root.Window()) << "and only the submenu";
        ExpectMenuCount(1, "one menu is left");
    };
    RunCase({"Left and Esc in a submenu",
             {{Opened(), kRoot, kNoHot},
              {Key(VK_END), kRoot, kEcho},
              {Key(VK_UP), kRoot, kDelta},
              {Key(VK_UP), kRoot, kBeta},
              {Key(VK_UP), kRoot, kCharlie},
              {Key(VK_RIGHT), kChild, kOne},
              {Key(VK_LEFT), kRoot, kCharlie, onlyTheSubmenuClosed},
              {Key(VK_RETURN), kChild, kOne}, // Enter on a submenu entry opens it
              {Key(VK_ESCAPE), kRoot, kCharlie, onlyTheSubmenuClosed},
              {Key(VK_LEFT), kRoot, kCharlie, onlyTheSubmenuClosed}, // in the root: nothing
              {Key(VK_ESCAPE), kClosed, kNoHot}}, // in the root: the tree, with no choice
             0,
             0});
}

TEST_F(MenuKeys, RightOnAnEntryWithoutSubmenuAndUnusedKeysDoNothing) {
    // Unused keys are swallowed too: no key reaches the host.
    RunCase({"Right without a submenu, and unused keys",
             {{Opened(), kRoot, kNoHot},
              {Key(VK_DOWN), kRoot, kAlpha},
              {Key(VK_RIGHT), kRoot, kAlpha},
              {Key(VK_TAB), kRoot, kAlpha},
              {Key(VK_F5), kRoot, kAlpha},
              {Key(VK_SPACE), kRoot, kAlpha, [] { ExpectMenuCount(1, "nothing opened"); }},
              {Key(VK_ESCAPE), kClosed, kNoHot}},
             0,
             0});
}

TEST_F(MenuKeys, TheHostGetsItsKeysAgainOnceTheMenuHasClosed) {
    RunCase({"a tree opened and closed",
             {{Opened(), kRoot, kNoHot},
              {Key(VK_DOWN), kRoot, kAlpha},
              {Key(VK_ESCAPE), kClosed, kNoHot}},
             0,
             0});
    host.ResetCounts();
    qtest::PressKey(VK_DOWN);
    EXPECT_TRUE(qtest::WaitFor([&] { return host.KeyMessages() >= 2; }))
        << "the host window receives the key down and up";
}

TEST_F(MenuKeys, AMnemonicChoosesItsEntryInEitherCase) {
    RunCase({"'A'", {{Opened(), kRoot, kNoHot}, {Char('A'), kClosed, kNoHot}}, kAlphaId, 0});
    RunCase({"'a'", {{Opened(), kRoot, kNoHot}, {Char('a'), kClosed, kNoHot}}, kAlphaId, 0});
}

TEST_F(MenuKeys, AMnemonicOnASubmenuEntryOpensTheSubmenu) {
    RunCase({"'c' then 't'",
             {{Opened(), kRoot, kNoHot},
              {Char('c'), kChild, kOne, [&] { EXPECT_EQ(kCharlie, root.Rows().HotIndex()); }},
              {Char('t'), kClosed, kNoHot}}, // "&Two", although "Three" starts with it too
             kTwoId,
             0});
}

// In the root, letters search the whole tree (see the type-to-find tests); in
// a submenu they keep their old meaning.
TEST_F(MenuKeys, InASubmenuTheOnlyEntryStartingWithALetterIsChosen) {
    // "Disabled" starts with d too, but cannot be chosen.
    RunCase({"'D' in Echo",
             {{Opened(), kRoot, kNoHot},
              {Key(VK_END), kRoot, kEcho},
              {Key(VK_RIGHT), kEchoM, kInner},
              {Char('D'), kClosed, kNoHot}},
             kEchoDeltaId,
             0});
}

TEST_F(MenuKeys, InASubmenuALetterSeveralEntriesStartWithCyclesTheHotEntry) {
    RunCase({"'b' again and again in Echo",
             {{Opened(), kRoot, kNoHot},
              {Key(VK_END), kRoot, kEcho},
              {Key(VK_RIGHT), kEchoM, kInner},
              {Char('b'), kEchoM, kEchoBravo},
              {Char('B'), kEchoM, kEchoBeta},
              {Char('b'), kEchoM, kEchoBravo}, // cycled
              {Key(VK_END), kEchoM, kEchoDelta},
              {Char('b'), kEchoM, kEchoBravo}, // the next one after the hot entry, from the top
              {Char('z'), kEchoM, kEchoBravo}, // no entry: nothing
              {Char('g'), kEchoM, kEchoBravo,  // only a grayed entry: nothing
               [] { ExpectMenuCount(2, "nothing opened or closed"); }},
              {Key(VK_RETURN), kClosed, kNoHot}},
             kEchoBravoId,
             0});
}

TEST_F(MenuKeys, ShiftF10OpensTheContextMenuAtTheHotEntryAndReportsItsChoice) {
    auto atTheEntrysRow = [&] {
        // On the entry's row, a little inside its left edge, just below its top.
        const RECT r = qtest::WindowRect(root.Window()), c = qtest::WindowRect(context.Window());
        EXPECT_EQ(r.left + 8, c.left);
        EXPECT_EQ(r.top + Top(root, kBravo) + 4, c.top);
    };
    RunCase({"Shift+F10",
             {{Opened(), kRoot, kNoHot},
              {ShiftKey(VK_F10), kRoot, kNoHot, // no hot entry: nothing
               [&] { EXPECT_EQ(nullptr, context.Window()); }},
              {Key(VK_DOWN), kRoot, kAlpha},
              {Key(VK_DOWN), kRoot, kBravo},
              {ShiftKey(VK_F10), kCtx, kOpen, atTheEntrysRow},
              {Key(VK_DOWN), kCtx, kInsert, [&] { EXPECT_EQ(kBravo, root.Rows().HotIndex()); }},
              {Key(VK_RETURN), kClosed, kNoHot}},
             kBravoId,
             kInsertCmd});
}

TEST_F(MenuKeys, TheContextKeyWorksInASubmenuAndTheContextMenuTakesMnemonics) {
    auto atTheEntrysRow = [&] {
        const RECT r = qtest::WindowRect(charlie.Window()), c = qtest::WindowRect(context.Window());
        EXPECT_EQ(r.left + 8, c.left);
        EXPECT_EQ(r.top + Top(charlie, kThree) + 4, c.top);
    };
    RunCase({"the context key in a submenu, then 'P'",
             {{Opened(), kRoot, kNoHot},
              {Char('c'), kChild, kOne},
              {Key(VK_DOWN), kChild, kTwo},
              {Key(VK_DOWN), kChild, kThree},
              {Key(VK_APPS), kCtx, kOpen, atTheEntrysRow},
              {Char('P'), kClosed, kNoHot}},
             kThreeId,
             kPropertiesCmd});
}

TEST_F(MenuKeys, InTheContextMenuArrowsWrapAndEscClosesTheWholeTree) {
    RunCase({"keys in the context menu",
             {{Opened(), kRoot, kNoHot},
              {Key(VK_DOWN), kRoot, kAlpha},
              {Key(VK_APPS), kCtx, kOpen},
              {Key(VK_UP), kCtx, kCancel}, // wrapped, the line skipped
              {Key(VK_UP), kCtx, kProperties},
              {Key(VK_HOME), kCtx, kOpen},
              {Key(VK_END), kCtx, kCancel},
              {Key(VK_LEFT), kCtx, kCancel}, // the context menu is no submenu: nothing
              {Key(VK_RIGHT), kCtx, kCancel},
              {ShiftKey(VK_F10), kCtx, kCancel, // it has no context menu of its own: nothing
               [] { ExpectMenuCount(2, "the root and the context menu"); }},
              {Key(VK_ESCAPE), kClosed, kNoHot}}, // the whole tree, with no choice
             0,
             0});
}

TEST_F(MenuKeys, KeyboardAndMouseMix) {
    const DWORD thread = GetCurrentThreadId(); // the menus' own
    RunCase({"keys and the mouse",
             {{Opened(), kRoot, kNoHot},
              {Key(VK_DOWN), kRoot, kAlpha},
              // The mouse moves the hot entry on from where the key left it ...
              {qtest::MoveTo("Beta", [&] { return RowPoint(root, kBeta); }), kRoot, kBeta},
              // ... the keys from where the mouse left it, and the resting
              // pointer does not take it back.
              {Key(VK_DOWN), kRoot, kDelta},
              {Key(VK_DOWN), kRoot, kEcho},
              {Key(VK_RIGHT), kEchoM, 0,
               [&] {
                   EXPECT_TRUE(qtest::RowBarHasColour(root.Window(), Top(root, kBeta),
                                                      GetSysColor(COLOR_MENU)));
                   EXPECT_EQ(kEcho, root.Rows().HotIndex());
               }},
              // A click on an entry chooses it, whatever the keys did.
              {qtest::MoveTo("Inner", [&] { return RowPoint(echo, 0, 20); }), kEchoM, 0,
               [&] {
                   EXPECT_EQ(echo.Window(), qtest::CaptureOf(thread))
                       << "the capture follows the pointer into the submenu";
               }},
              {qtest::LeftClick(), kClosed, kNoHot}},
             kInnerId,
             0});
}

TEST_F(MenuKeys, ASubmenuOpenedByTheMouseHasNoHotEntryUntilAKey) {
    RunCase({"a submenu opened by the mouse",
             {{Opened(), kRoot, kNoHot},
              // It opens after the submenu delay.
              {qtest::MoveTo("Charlie", [&] { return RowPoint(root, kCharlie); }), kChild, kNoHot},
              {Key(VK_DOWN), kChild, kOne},
              {Key(VK_ESCAPE), kRoot, kCharlie, [&] { EXPECT_EQ(nullptr, charlie.Window()); }},
              {Key(VK_ESCAPE), kClosed, kNoHot}},
             0,
             0});
}
