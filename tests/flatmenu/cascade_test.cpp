#include <gtest/gtest.h>
#include <stdlib.h>
#include <atomic>
#include <thread>
#include "tests/flatmenu/flatmenu_test_util.h"

using fmtest::Instance;

namespace {
const int kMenuX = 400, kMenuY = 200;
const POINT kOutside = {1150, 950};

enum RootEntry { kPlain, kSub, kOtherSub, kLeaf };
enum ChildEntry { kInner, kDeeper };

// root: Plain, Sub > (Inner, Deeper > (Deep leaf)), Other sub > (Other inner), Leaf
class FlatMenuCascade : public ::testing::Test {
  protected:
    void SetUp() override {
        qtest::ReleaseAllButtons();
        qtest::MoveMouse(kOutside.x, kOutside.y);
        HWND owner = host.Handle();
        for (CFlatPopupMenu* m : {&root, &child, &grandchild, &other})
            ASSERT_TRUE(m->Create(Instance(), fpmNoBitmap, owner, nullptr, nullptr, nullptr));
        grandchild.AppendItem(0, "Deep leaf", 21, -1);
        child.AppendItem(0, "Inner", 11, -1);
        child.AppendPopup(0, "Deeper", &grandchild, -1, 12);
        other.AppendItem(0, "Other inner", 31, -1);
        root.AppendItem(0, "Plain", 1, -1);
        root.AppendPopup(0, "Sub", &child, -1, 2);
        root.AppendPopup(0, "Other sub", &other, -1, 0);
        root.AppendItem(0, "Leaf", 3, -1);
    }
    qtest::HostWindow host;
    CFlatPopupMenu root, child, grandchild, other;
    const DWORD thread = GetCurrentThreadId();
};

void ClickOutside() {
    qtest::ClickAt(kOutside.x, kOutside.y);
}
void Click() {
    qtest::LeftDown();
    qtest::LeftUp();
}
} // namespace

TEST_F(FlatMenuCascade, RestingOpensTheSubmenuAfterTheDelayBesideItsEntry) {
    // Seen by the tracking thread as it takes each message: when the move
    // that made the entry hot came, when the delay's timer came, and whether
    // the submenu was still closed then.
    DWORD hotMoveAt = 0, timerAt = 0;
    bool closedAtTimer = false;
    qtest::MessageWatch watch([&](const MSG& msg) {
        if (msg.message == WM_MOUSEMOVE && msg.hwnd == root.Window() &&
            root.Rows().HotIndex() != kSub)
            hotMoveAt = GetTickCount();
        if (msg.message == WM_TIMER && msg.hwnd == root.Window() && !timerAt) {
            timerAt = GetTickCount();
            closedAtTimer = child.Window() == nullptr;
        }
    });
    qtest::ModalOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(root));
        EXPECT_TRUE(fmtest::HoverEntry(root, kSub));
        ASSERT_TRUE(qtest::WaitShown(child));
        EXPECT_EQ(fmtest::Origin(root).x + root.Rows().Width() - 3, fmtest::Origin(child).x);
        EXPECT_EQ(fmtest::Origin(root).y + root.Rows().Item(kSub)->top - 3, fmtest::Origin(child).y)
            << "the first child entry is level with its parent entry";
        EXPECT_EQ(root.Window(), qtest::CaptureOf(thread));
        EXPECT_NE(child.Window(), qtest::CaptureOf(thread));
        EXPECT_TRUE(fmtest::HoverEntry(child, kInner));
        Click();
    });
    EXPECT_TRUE(closedAtTimer) << "the submenu opened before its delay ran out";
    // The move was taken before the timer was set; 1 ms for the rounding of
    // the two clock readings.
    EXPECT_GE(static_cast<int>(timerAt - hotMoveAt), fmtest::kSubmenuDelayMs - 1)
        << "the delay's timer came too early";
    EXPECT_FALSE(out.rescued) << "nested loops did not end by themselves";
    EXPECT_EQ(11, out.result) << "a child's choice is reported by the root";
    EXPECT_EQ(nullptr, child.Window());
    EXPECT_EQ(nullptr, root.Window());
    EXPECT_EQ(nullptr, GetCapture()) << "the capture is given back";
}

TEST_F(FlatMenuCascade, LeftPressOpensAtOnceAndItsReleaseChoosesNothing) {
    // A delay's timer that came while the submenu was still closed would have
    // opened it, not the press.
    std::atomic<bool> openedByTimer(false);
    qtest::MessageWatch watch([&](const MSG& msg) {
        if (msg.message == WM_TIMER && msg.hwnd == root.Window() && !child.Window())
            openedByTimer = true;
    });
    qtest::ModalOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(root));
        // Move and press are queued together: input is taken before timers,
        // so the press comes well inside the delay, however slow the machine.
        long pressed = 0;
        ASSERT_TRUE(qtest::OnUiThread([&] {
            fmtest::MoveToEntry(root, kSub);
            qtest::LeftDown();
            pressed = qtest::SendMarker();
        }));
        ASSERT_TRUE(qtest::WaitForMarker(pressed));
        EXPECT_EQ(kSub, root.Rows().HotIndex());
        EXPECT_TRUE(qtest::WaitShown(child));
        qtest::LeftUp();
        ASSERT_TRUE(fmtest::StillShownAfterInput(root))
            << "the release on a submenu entry chose it";
        EXPECT_NE(nullptr, child.Window());
        ClickOutside();
    });
    EXPECT_FALSE(openedByTimer) << "opened by the delay, not the press";
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
}

TEST_F(FlatMenuCascade, AnotherEntryClosesTheOpenSubmenuAndStopsThePendingDelay) {
    std::atomic<bool> timerCame(false);
    qtest::MessageWatch watch([&](const MSG& msg) {
        if (msg.message == WM_TIMER && msg.hwnd == root.Window()) timerCame = true;
    });
    qtest::ModalOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(root));
        fmtest::HoverEntry(root, kSub);
        qtest::LeftDown();
        qtest::LeftUp();
        EXPECT_TRUE(qtest::WaitShown(child));
        EXPECT_TRUE(fmtest::HoverEntry(root, kPlain));
        EXPECT_TRUE(qtest::WaitGone(child)) << "the old entry's submenu stayed open";

        // Pass over an entry with a submenu without resting there: both moves
        // are queued at once (a marker between them keeps them apart), so no
        // timer can come between them.
        timerCame = false;
        long passed = 0;
        ASSERT_TRUE(qtest::OnUiThread([&] {
            fmtest::MoveToEntry(root, kOtherSub);
            qtest::SendMarker();
            fmtest::MoveToEntry(root, kLeaf);
            passed = qtest::SendMarker();
        }));
        ASSERT_TRUE(qtest::WaitForMarker(passed));
        EXPECT_EQ(kLeaf, root.Rows().HotIndex());
        // A timer started now comes after the delay would have.
        EXPECT_TRUE(qtest::WaitPastTimers(fmtest::kSubmenuDelayMs));
        EXPECT_FALSE(timerCame) << "the delay kept running after the pointer left";
        EXPECT_EQ(nullptr, other.Window());
        ClickOutside();
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
}

TEST_F(FlatMenuCascade, CaptureFollowsThePointerAcrossTheTree) {
    qtest::ModalOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(root));
        EXPECT_EQ(root.Window(), qtest::CaptureOf(thread));
        fmtest::HoverEntry(root, kSub);
        EXPECT_TRUE(qtest::WaitShown(child));
        fmtest::MoveToEntry(child, kInner);
        EXPECT_TRUE(qtest::SyncInput());
        EXPECT_EQ(child.Window(), qtest::CaptureOf(thread));
        EXPECT_EQ(kSub, root.Rows().HotIndex()) << "the parent keeps its hot entry";
        // The hand-over move is not used for hot tracking; the next one is.
        EXPECT_TRUE(fmtest::HoverEntry(child, kInner));

        fmtest::MoveToEntry(root, kSub, 20);
        EXPECT_TRUE(qtest::SyncInput());
        EXPECT_EQ(root.Window(), qtest::CaptureOf(thread));
        EXPECT_NE(nullptr, child.Window()) << "back on the same entry, the submenu stays";

        // Into the grandchild, then straight out of the tree from there.
        EXPECT_TRUE(fmtest::HoverEntry(child, kDeeper));
        EXPECT_TRUE(qtest::WaitShown(grandchild));
        EXPECT_EQ(child.Window(), qtest::CaptureOf(thread));
        qtest::MoveMouse(kOutside.x, kOutside.y);
        EXPECT_TRUE(qtest::SyncInput());
        EXPECT_EQ(-1, child.Rows().HotIndex());
        EXPECT_TRUE(qtest::WaitGone(grandchild)) << "leaving closes the open submenu";
        EXPECT_NE(nullptr, child.Window());
        ClickOutside();
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
    EXPECT_TRUE(qtest::MenuWindows().empty());
}

TEST_F(FlatMenuCascade, CaptureIsNotHandedToAMenuOfAnotherThread) {
    // A menu shown and pumped by a thread of its own, beside the tree.
    volatile LONG stop = 0;
    CFlatPopupMenu* volatile foreign = nullptr;
    std::thread owner([&] {
        CFlatPopupMenu menu;
        menu.Create(Instance(), fpmNoBitmap, nullptr, nullptr, nullptr, nullptr);
        menu.AppendItem(0, "Foreign entry", 7, -1);
        menu.Track(800, 200, nullptr, false, true, nullptr);
        foreign = &menu;
        while (!stop) {
            qtest::PumpMessages();
            Sleep(5);
        }
        foreign = nullptr;
    });
    const bool shown = qtest::WaitFor([&] { return foreign != nullptr; });
    qtest::ModalOutcome out;
    if (shown) {
        out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
            ASSERT_TRUE(qtest::WaitShown(root));
            fmtest::MoveToEntry(*foreign, 0);
            fmtest::MoveToEntry(*foreign, 0, 40);
            EXPECT_TRUE(qtest::SyncInput());
            EXPECT_EQ(root.Window(), qtest::CaptureOf(thread)) << "the capture left the tree";
            const DWORD foreignThread = GetWindowThreadProcessId(foreign->Window(), nullptr);
            EXPECT_NE(foreign->Window(), qtest::CaptureOf(foreignThread));
            ClickOutside();
        });
    }
    stop = 1;
    owner.join();
    ASSERT_TRUE(shown) << "the other thread's menu did not show";
    EXPECT_FALSE(out.rescued) << "the click outside did not reach the tree";
    EXPECT_EQ(0, out.result);
}

TEST_F(FlatMenuCascade, ThreeLevelsUnwindOnAChoiceAndTheTreeCanBeTrackedAgain) {
    qtest::ModalOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(root));
        fmtest::HoverEntry(root, kSub);
        Click();
        ASSERT_TRUE(qtest::WaitShown(child));
        fmtest::MoveToEntry(child, kDeeper);
        fmtest::HoverEntry(child, kDeeper);
        Click();
        ASSERT_TRUE(qtest::WaitShown(grandchild));
        fmtest::MoveToEntry(grandchild, 0);
        fmtest::HoverEntry(grandchild, 0);
        Click();
    });
    EXPECT_FALSE(out.rescued) << "the loops did not unwind by themselves";
    EXPECT_EQ(21, out.result);
    EXPECT_TRUE(qtest::MenuWindows().empty());
    for (CFlatPopupMenu* m : {&root, &child, &grandchild}) {
        EXPECT_EQ(nullptr, m->Window());
    }
    EXPECT_EQ(nullptr, GetCapture()) << "the capture is given back";

    out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(root));
        EXPECT_EQ(-1, root.Rows().HotIndex()) << "tracking again starts without a hot entry";
        fmtest::HoverEntry(root, kLeaf);
        Click();
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(3, out.result);
}

TEST_F(FlatMenuCascade, ScreenshotOfACascadedTreeWithIcons) {
    // Icons through a colour key; saved when a path is given, for a look.
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    HBITMAP strip = fmtest::MakeStrip({RGB(220, 40, 40), RGB(40, 160, 40), RGB(40, 80, 220)});
    for (int i = 0; i < 3; ++i) {
        RECT corner = {i * cx + cx / 2, cy / 2, (i + 1) * cx, cy};
        fmtest::FillBitmapRect(strip, corner, RGB(255, 0, 255));
    }
    CFlatPopupMenu iconRoot, iconChild;
    iconRoot.Create(Instance(), fpmUserBitmap, host.Handle(), strip, nullptr, nullptr);
    iconChild.Create(Instance(), fpmUserBitmap, host.Handle(), strip, nullptr, nullptr);
    iconChild.AppendItem(0, "&Notepad", 11, 0);
    iconChild.AppendItem(fpmSeparator, nullptr, 0, -1);
    iconChild.AppendItem(fpmGrayed, "Grayed entry", 12, 1);
    iconRoot.AppendItem(fpmDisabled | fpmBold, "Quoril 2.0", 0, -1);
    iconRoot.AppendItem(0, "&Calculator", 1, 2);
    iconRoot.AppendPopup(0, "&Tools", &iconChild, 1, 0);
    iconRoot.AppendItem(0, "No icon", 3, -1);
    bool saved = true;
    qtest::ModalOutcome out = fmtest::TrackDriven(iconRoot, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(iconRoot));
        fmtest::HoverEntry(iconRoot, 2);
        Click();
        ASSERT_TRUE(qtest::WaitShown(iconChild));
        fmtest::HoverEntry(iconChild, 0);
        // Both menus have painted what they show.
        EXPECT_TRUE(qtest::OnUiThread([&] {
            UpdateWindow(iconRoot.Window());
            UpdateWindow(iconChild.Window());
        }));
        if (const char* path = getenv("QUORIL_FLATMENU_SHOT")) saved = qtest::Snapshot(nullptr).Save(path);
        ClickOutside();
    });
    EXPECT_TRUE(saved);
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
    DeleteObject(strip);
}
