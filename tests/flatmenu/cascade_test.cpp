#include <gtest/gtest.h>
#include <stdlib.h>
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
    DWORD elapsed = 0;
    fmtest::TrackOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        if (!fmtest::WaitShown(root)) return;
        EXPECT_TRUE(fmtest::HoverEntry(root, kSub));
        const DWORD start = GetTickCount();
        Sleep(250);
        const bool early = child.Window() != nullptr;
        if (GetTickCount() - start < 350) {
            EXPECT_FALSE(early) << "opened before the delay";
        }
        EXPECT_TRUE(fmtest::WaitShown(child, 3000));
        elapsed = GetTickCount() - start;
        EXPECT_EQ(root.X() + root.Width() - 3, child.X());
        EXPECT_EQ(root.Y() + root.Item(kSub)->top - 3, child.Y())
            << "the first child entry is level with its parent entry";
        EXPECT_EQ(2, root.CaptureState());
        EXPECT_EQ(1, child.CaptureState());
        EXPECT_TRUE(fmtest::HoverEntry(child, kInner));
        Click();
        fmtest::WaitGone(root, 2000);
    });
    EXPECT_GE(elapsed, 350u);
    EXPECT_LT(elapsed, 2500u);
    EXPECT_FALSE(out.rescued) << "nested loops did not end by themselves";
    EXPECT_LT(out.msAfterSteps, 1000);
    EXPECT_EQ(11, out.result) << "a child's choice is reported by the root";
    EXPECT_EQ(nullptr, child.Window());
    EXPECT_EQ(0, child.CaptureState());
    EXPECT_EQ(0, root.CaptureState());
}

TEST_F(FlatMenuCascade, LeftPressOpensAtOnceAndItsReleaseChoosesNothing) {
    DWORD pressToOpen = 0;
    fmtest::TrackOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        if (!fmtest::WaitShown(root)) return;
        EXPECT_TRUE(fmtest::HoverEntry(root, kSub));
        const DWORD start = GetTickCount();
        qtest::LeftDown();
        EXPECT_TRUE(fmtest::WaitShown(child, 3000));
        pressToOpen = GetTickCount() - start;
        qtest::LeftUp();
        Sleep(200);
        EXPECT_NE(nullptr, root.Window()) << "the release on a submenu entry chose it";
        EXPECT_NE(nullptr, child.Window());
        ClickOutside();
        fmtest::WaitGone(root, 2000);
    });
    EXPECT_LT(pressToOpen, 350u) << "opened by the delay, not the press";
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
}

TEST_F(FlatMenuCascade, AnotherEntryClosesTheOpenSubmenuAndStopsThePendingDelay) {
    fmtest::TrackOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        if (!fmtest::WaitShown(root)) return;
        fmtest::HoverEntry(root, kSub);
        qtest::LeftDown();
        qtest::LeftUp();
        EXPECT_TRUE(fmtest::WaitShown(child));
        EXPECT_TRUE(fmtest::HoverEntry(root, kPlain));
        EXPECT_TRUE(fmtest::WaitGone(child, 1000)) << "the old entry's submenu stayed open";

        // Pass over an entry with a submenu without resting there.
        EXPECT_TRUE(fmtest::HoverEntry(root, kOtherSub));
        EXPECT_TRUE(fmtest::HoverEntry(root, kLeaf));
        Sleep(800);
        EXPECT_EQ(nullptr, other.Window()) << "the delay kept running after the pointer left";
        ClickOutside();
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
}

TEST_F(FlatMenuCascade, CaptureFollowsThePointerAcrossTheTree) {
    fmtest::TrackOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        if (!fmtest::WaitShown(root)) return;
        EXPECT_EQ(root.Window(), fmtest::CaptureOf(thread));
        fmtest::HoverEntry(root, kSub);
        EXPECT_TRUE(fmtest::WaitShown(child, 3000));
        fmtest::MoveToEntry(child, kInner);
        EXPECT_TRUE(
            qtest::PollUntil([&] { return fmtest::CaptureOf(thread) == child.Window(); }, 1000));
        EXPECT_EQ(2, child.CaptureState());
        EXPECT_EQ(1, root.CaptureState());
        EXPECT_EQ(kSub, root.HotIndex()) << "the parent keeps its hot entry";
        // The hand-over move is not used for hot tracking; the next one is.
        EXPECT_TRUE(fmtest::HoverEntry(child, kInner));

        fmtest::MoveToEntry(root, kSub, 20);
        EXPECT_TRUE(
            qtest::PollUntil([&] { return fmtest::CaptureOf(thread) == root.Window(); }, 1000));
        EXPECT_EQ(1, child.CaptureState());
        EXPECT_EQ(2, root.CaptureState());
        EXPECT_NE(nullptr, child.Window()) << "back on the same entry, the submenu stays";

        // Into the grandchild, then straight out of the tree from there.
        EXPECT_TRUE(fmtest::HoverEntry(child, kDeeper));
        EXPECT_TRUE(fmtest::WaitShown(grandchild, 3000));
        EXPECT_TRUE(
            qtest::PollUntil([&] { return fmtest::CaptureOf(thread) == child.Window(); }, 1000));
        qtest::MoveMouse(kOutside.x, kOutside.y);
        EXPECT_TRUE(qtest::PollUntil([&] { return child.HotIndex() == -1; }, 1000));
        EXPECT_TRUE(fmtest::WaitGone(grandchild, 1000)) << "leaving closes the open submenu";
        EXPECT_NE(nullptr, child.Window());
        ClickOutside();
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
    EXPECT_TRUE(fmtest::MenuWindows().empty());
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
    ASSERT_TRUE(qtest::PollUntil([&] { return foreign != nullptr; }, 3000));

    fmtest::TrackOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        if (!fmtest::WaitShown(root)) return;
        fmtest::MoveToEntry(*foreign, 0);
        fmtest::MoveToEntry(*foreign, 0, 40);
        Sleep(200);
        EXPECT_EQ(root.Window(), fmtest::CaptureOf(thread)) << "the capture left the tree";
        EXPECT_EQ(2, root.CaptureState());
        EXPECT_EQ(1, foreign->CaptureState());
        ClickOutside();
    });
    stop = 1;
    owner.join();
    EXPECT_FALSE(out.rescued) << "the click outside did not reach the tree";
    EXPECT_EQ(0, out.result);
}

TEST_F(FlatMenuCascade, ThreeLevelsUnwindOnAChoiceAndTheTreeCanBeTrackedAgain) {
    fmtest::TrackOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        if (!fmtest::WaitShown(root)) return;
        fmtest::HoverEntry(root, kSub);
        Click();
        if (!fmtest::WaitShown(child)) return;
        fmtest::MoveToEntry(child, kDeeper);
        fmtest::HoverEntry(child, kDeeper);
        Click();
        if (!fmtest::WaitShown(grandchild)) return;
        fmtest::MoveToEntry(grandchild, 0);
        fmtest::HoverEntry(grandchild, 0);
        Click();
        fmtest::WaitGone(root, 2000);
    });
    EXPECT_FALSE(out.rescued) << "the loops did not unwind by themselves";
    EXPECT_LT(out.msAfterSteps, 1000);
    EXPECT_EQ(21, out.result);
    EXPECT_TRUE(fmtest::MenuWindows().empty());
    for (CFlatPopupMenu* m : {&root, &child, &grandchild}) {
        EXPECT_EQ(nullptr, m->Window());
        EXPECT_EQ(0, m->CaptureState());
    }

    out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        if (!fmtest::WaitShown(root)) return;
        EXPECT_EQ(-1, root.HotIndex()) << "tracking again starts without a hot entry";
        fmtest::HoverEntry(root, kLeaf);
        Click();
        fmtest::WaitGone(root, 2000);
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
    fmtest::TrackOutcome out = fmtest::TrackDriven(iconRoot, kMenuX, kMenuY, [&] {
        if (!fmtest::WaitShown(iconRoot)) return;
        fmtest::HoverEntry(iconRoot, 2);
        Click();
        if (!fmtest::WaitShown(iconChild)) return;
        fmtest::HoverEntry(iconChild, 0);
        Sleep(200);
        if (const char* path = getenv("QUORIL_FLATMENU_SHOT")) saved = fmtest::SaveScreen(path);
        ClickOutside();
    });
    EXPECT_TRUE(saved);
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
    DeleteObject(strip);
}
