#include <gtest/gtest.h>
#include <vector>
#include "tests/flatmenu/flatmenu_test_util.h"

using fmtest::Instance;

namespace {
const int kMenuX = 500, kMenuY = 200;
const POINT kOutside = {1150, 950};

enum Entry { kAlpha, kSeparator, kBeta, kNoCommand, kDisabled };

class FlatMenuInput : public ::testing::Test {
  protected:
    void SetUp() override {
        qtest::ReleaseAllButtons();
        qtest::MoveMouse(kOutside.x, kOutside.y);
        ASSERT_TRUE(menu.Create(Instance(), fpmNoBitmap, host.Handle(), nullptr, nullptr, nullptr));
        menu.AppendItem(0, "&Alpha", 101, -1);
        menu.AppendItem(fpmSeparator, nullptr, 0, -1);
        menu.AppendItem(0, "&Beta", 102, -1);
        menu.AppendItem(0, "No command", 0, -1);
        menu.AppendItem(fpmDisabled, "Disabled", 105, -1);
    }
    qtest::HostWindow host;
    CFlatPopupMenu menu;
    const DWORD thread = GetCurrentThreadId();
};

void ClickOutside() {
    qtest::ClickAt(kOutside.x, kOutside.y);
}

// Moves the pointer to a point of an entry and returns the hot entry once the
// tracking thread has taken the move.
int HotAfterMove(const CFlatPopupMenu& menu, size_t entry, int dx, int dy) {
    fmtest::MoveToEntry(menu, entry, dx, dy);
    EXPECT_TRUE(qtest::SyncInput());
    return menu.Rows().HotIndex();
}
} // namespace

TEST_F(FlatMenuInput, HotEntryFollowsThePointerOutsideTheDeadBand) {
    std::vector<int> seen;
    qtest::ModalOutcome out = fmtest::TrackDriven(menu, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(menu));
        EXPECT_EQ(-1, menu.Rows().HotIndex());
        EXPECT_TRUE(fmtest::HoverEntry(menu, kAlpha));
        EXPECT_TRUE(fmtest::HoverEntry(menu, kBeta));
        // The top row of an entry belongs to no entry.
        EXPECT_EQ(-1, HotAfterMove(menu, kBeta, 30, 0)) << "top row of an entry";
        EXPECT_TRUE(fmtest::HoverEntry(menu, kBeta));
        // Client x <= 2 is outside every entry; x 3 is inside.
        EXPECT_EQ(-1, HotAfterMove(menu, kBeta, 2, 10)) << "x 2";
        EXPECT_EQ(kBeta, HotAfterMove(menu, kBeta, 3, 10)) << "x 3";
        // Disabled entries are never hit; a separator row is.
        EXPECT_EQ(-1, HotAfterMove(menu, kDisabled, 30, 10));
        EXPECT_EQ(kSeparator, HotAfterMove(menu, kSeparator, 30, 2));
        // Leaving the menu clears the highlight: the capture still reports moves.
        qtest::MoveMouse(kOutside.x, kOutside.y);
        EXPECT_TRUE(qtest::SyncInput());
        EXPECT_EQ(-1, menu.Rows().HotIndex());
        EXPECT_EQ(menu.Window(), qtest::CaptureOf(thread));
        ClickOutside();
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
}

TEST_F(FlatMenuInput, LeftReleaseOnAnEntryEndsWithItsIdPromptly) {
    qtest::ModalOutcome out = fmtest::TrackDriven(menu, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(menu));
        EXPECT_TRUE(fmtest::HoverEntry(menu, kBeta));
        qtest::LeftDown();
        qtest::LeftUp();
    });
    // Nothing but the release wakes the loop: without the watchdog it would
    // wait on.
    EXPECT_FALSE(out.rescued) << "Track did not return by itself after the choice";
    EXPECT_EQ(102, out.result);
    EXPECT_EQ(0, out.contextCommand);
    EXPECT_EQ(nullptr, menu.Window());
    EXPECT_EQ(nullptr, GetCapture()) << "the capture is given back";
    EXPECT_TRUE(qtest::MenuWindows().empty());
}

TEST_F(FlatMenuInput, ReleaseOnEntriesWithoutACommandChoosesNothing) {
    qtest::ModalOutcome out = fmtest::TrackDriven(menu, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(menu));
        for (Entry e : {kNoCommand, kDisabled, kSeparator}) {
            fmtest::MoveToEntry(menu, e, 30, e == kSeparator ? 2 : 10);
            qtest::LeftDown();
            qtest::LeftUp();
            ASSERT_TRUE(fmtest::StillShownAfterInput(menu)) << "entry " << e << " closed the menu";
        }
        // The bottom margin is inside the window but hits no entry.
        RECT r;
        GetWindowRect(menu.Window(), &r);
        qtest::ClickAt(r.left + 30, r.bottom - 1);
        ASSERT_TRUE(fmtest::StillShownAfterInput(menu)) << "the bottom margin closed the menu";
        ClickOutside();
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
}

TEST_F(FlatMenuInput, PressOrReleaseOutsideEndsWithZeroAndTheMenuCanBeTrackedAgain) {
    // Left press outside.
    qtest::ModalOutcome out = fmtest::TrackDriven(menu, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(menu));
        fmtest::HoverEntry(menu, kAlpha);
        qtest::MoveMouse(kOutside.x, kOutside.y);
        qtest::LeftDown();
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);

    // Right press outside.
    out = fmtest::TrackDriven(menu, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(menu));
        qtest::MoveMouse(kOutside.x, kOutside.y);
        qtest::RightDown();
        qtest::RightUp();
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);

    // A press in the left dead band counts as outside too.
    out = fmtest::TrackDriven(menu, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(menu));
        fmtest::MoveToEntry(menu, kAlpha, 1, 10);
        qtest::LeftDown();
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);

    // And the same object still chooses normally.
    out = fmtest::TrackDriven(menu, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(menu));
        fmtest::HoverEntry(menu, kAlpha);
        qtest::LeftDown();
        qtest::LeftUp();
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(101, out.result);
}

TEST_F(FlatMenuInput, FirstReleaseIsIgnoredWhenOpenedWithTheButtonHeld) {
    RECT hostRect;
    GetWindowRect(host.Handle(), &hostRect);
    qtest::InputThread press([&] {
        qtest::MoveMouse(hostRect.left + 50, hostRect.bottom - 30);
        qtest::LeftDown();
    });
    press.Join();
    ASSERT_TRUE(qtest::WaitFor([] { return (GetKeyState(VK_LBUTTON) & 0x8000) != 0; }));

    qtest::ModalOutcome out = fmtest::TrackDriven(menu, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(menu));
        EXPECT_TRUE(fmtest::HoverEntry(menu, kBeta));
        qtest::LeftUp(); // the release of the opening press
        ASSERT_TRUE(fmtest::StillShownAfterInput(menu)) << "the first release chose an entry";
        qtest::LeftDown();
        qtest::LeftUp();
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(102, out.result);
}

TEST_F(FlatMenuInput, FirstReleaseOutsideIsIgnoredToo) {
    qtest::InputThread press([&] {
        RECT r;
        GetWindowRect(host.Handle(), &r);
        qtest::MoveMouse(r.left + 50, r.bottom - 30);
        qtest::LeftDown();
    });
    press.Join();
    ASSERT_TRUE(qtest::WaitFor([] { return (GetKeyState(VK_LBUTTON) & 0x8000) != 0; }));
    qtest::ModalOutcome out = fmtest::TrackDriven(menu, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(menu));
        qtest::LeftUp();
        ASSERT_TRUE(fmtest::StillShownAfterInput(menu))
            << "the first release outside closed the menu";
        ClickOutside();
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
}

TEST_F(FlatMenuInput, RightClickWithoutContextMenuOrNotifyWindowShowsAMessage) {
    qtest::MessageBoxWatcher watcher("CFlatPopupMenu::ButtonDown");
    qtest::ModalOutcome out = fmtest::TrackDriven(menu, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(menu));
        fmtest::HoverEntry(menu, kAlpha);
        qtest::RightDown();
        qtest::RightUp();
        ASSERT_TRUE(watcher.WaitForCount(1));
        ASSERT_TRUE(fmtest::StillShownAfterInput(menu)) << "the menu stays open";
        fmtest::HoverEntry(menu, kBeta);
        qtest::LeftDown();
        qtest::LeftUp();
    });
    ASSERT_EQ(1u, watcher.Texts().size());
    EXPECT_EQ("RButtonDown signaled but no context menu found", watcher.Texts()[0]);
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(102, out.result);
}

namespace {
struct Notification {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Notification> g_notifications;

LRESULT CALLBACK NotifyProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_USER + 1 || m == WM_USER + 2) g_notifications.push_back({m, wp, lp});
    return DefWindowProcA(w, m, wp, lp);
}
} // namespace

TEST_F(FlatMenuInput, RightClickPostsClickPointAndMenuToTheNotifyWindow) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = NotifyProc;
    wc.hInstance = Instance();
    wc.lpszClassName = "FlatMenuNotifyTest";
    RegisterClassA(&wc);
    HWND notify = CreateWindowExA(0, "FlatMenuNotifyTest", "", WS_POPUP, 0, 0, 1, 1, nullptr,
                                  nullptr, Instance(), nullptr);
    ASSERT_NE(nullptr, notify);
    g_notifications.clear();
    POINT clicked = {};
    qtest::ModalOutcome out = fmtest::TrackDriven(
        menu, kMenuX, kMenuY,
        [&] {
            ASSERT_TRUE(qtest::WaitShown(menu));
            fmtest::HoverEntry(menu, kBeta);
            GetCursorPos(&clicked);
            qtest::RightDown();
            qtest::RightUp();
            ASSERT_TRUE(fmtest::StillShownAfterInput(menu)) << "the menu stays open";
            ClickOutside();
        },
        notify);
    qtest::PumpMessages();
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
    ASSERT_EQ(2u, g_notifications.size());
    EXPECT_EQ(static_cast<UINT>(WM_USER + 1), g_notifications[0].message);
    EXPECT_EQ(reinterpret_cast<WPARAM>(notify), g_notifications[0].wParam);
    EXPECT_EQ(clicked.x, static_cast<short>(LOWORD(g_notifications[0].lParam)));
    EXPECT_EQ(clicked.y, static_cast<short>(HIWORD(g_notifications[0].lParam)));
    EXPECT_EQ(static_cast<UINT>(WM_USER + 2), g_notifications[1].message);
    EXPECT_EQ(reinterpret_cast<WPARAM>(notify), g_notifications[1].wParam);
    EXPECT_EQ(reinterpret_cast<LPARAM>(&menu), g_notifications[1].lParam);
    DestroyWindow(notify);
}

namespace {
// Sends characters to the menu window from the input thread; each one is
// handled when SendMessage returns.
void Type(const CFlatPopupMenu& menu, const char* keys) {
    for (const char* k = keys; *k; ++k)
        SendMessageA(menu.Window(), WM_CHAR, static_cast<BYTE>(*k), 1);
}
} // namespace

TEST(FlatMenuMnemonic, FirstAmpersandOfSelectableEntriesAndFirstMatchWins) {
    qtest::HostWindow host;
    CFlatPopupMenu child, menu;
    menu.Create(Instance(), fpmNoBitmap, host.Handle(), nullptr, nullptr, nullptr);
    child.Create(Instance(), fpmNoBitmap, host.Handle(), nullptr, nullptr, nullptr);
    child.AppendItem(0, "Inner", 99, -1);
    menu.AppendItem(fpmDisabled, "&Disabled", 1, -1);
    menu.AppendItem(fpmGrayed, "&Grayed", 2, -1);
    menu.AppendItem(fpmSeparator, "&Separator", 3, -1);
    menu.AppendItem(0, "A&b&c", 4, -1);
    menu.AppendItem(0, "&Zulu", 5, -1);
    menu.AppendItem(0, "&zeta", 6, -1);
    menu.AppendItem(0, "Trail&", 7, -1);
    menu.AppendPopup(0, "&Opens", &child, -1, 88);
    menu.AppendItem(0, "&Null id", 0, -1);

    // Skipped entries, a second "&" and a trailing "&" match nothing.
    qtest::ModalOutcome out = fmtest::TrackDriven(menu, 500, 200, [&] {
        ASSERT_TRUE(qtest::WaitShown(menu));
        Type(menu, "dgsclx&");
        ASSERT_NE(nullptr, menu.Window()) << "a skipped entry was chosen";
        Type(menu, "Z");
    });
    EXPECT_FALSE(out.rescued) << "Track did not return after the mnemonic";
    EXPECT_EQ(5, out.result) << "upper case matches, and the first of two matches wins";

    out = fmtest::TrackDriven(menu, 500, 200, [&] {
        ASSERT_TRUE(qtest::WaitShown(menu));
        Type(menu, "B");
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(4, out.result);

    out = fmtest::TrackDriven(menu, 500, 200, [&] {
        ASSERT_TRUE(qtest::WaitShown(menu));
        Type(menu, "o");
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(88, out.result) << "an entry with a submenu is chosen with its own id";
    EXPECT_EQ(nullptr, child.Window());

    out = fmtest::TrackDriven(menu, 500, 200, [&] {
        ASSERT_TRUE(qtest::WaitShown(menu));
        Type(menu, "n");
    });
    EXPECT_FALSE(out.rescued) << "an entry with id 0 closes the tree";
    EXPECT_EQ(0, out.result);
}

TEST(FlatMenuTrackFailure, WindowCreationFailureShowsAMessageAndReturnsZero) {
    // An owner that no longer exists makes the popup's creation fail.
    HWND gone = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, Instance(),
                                nullptr);
    DestroyWindow(gone);
    CFlatPopupMenu menu;
    menu.Create(Instance(), fpmNoBitmap, gone, nullptr, nullptr, nullptr);
    menu.AppendItem(0, "Entry", 1, -1);
    qtest::MessageBoxWatcher watcher("CFlatPopupMenu::Track");
    int context = 77;
    {
        qtest::Watchdog watchdog("the failed Track");
        EXPECT_EQ(0, menu.Track(100, 100, nullptr, true, false, &context));
    }
    ASSERT_TRUE(watcher.WaitForCount(1));
    EXPECT_EQ("Popup window creation failed", watcher.Texts()[0]);
    EXPECT_EQ(77, context) << "the context result is not touched";
    EXPECT_EQ(nullptr, menu.Window());
}

TEST_F(FlatMenuInput, QuitMessageClosesTheMenuAndEndsTheLoop) {
    qtest::ModalOutcome out = fmtest::TrackDriven(menu, kMenuX, kMenuY, [&] {
        if (qtest::WaitShown(menu)) PostThreadMessageA(thread, WM_QUIT, 0, 0);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
    EXPECT_EQ(nullptr, menu.Window());
    EXPECT_EQ(nullptr, GetCapture()) << "the capture is given back";
}
