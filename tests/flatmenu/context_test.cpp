#include <gtest/gtest.h>
#include "tests/flatmenu/flatmenu_test_util.h"

using fmtest::Instance;

namespace {
const int kMenuX = 400, kMenuY = 200;
const POINT kOutside = {1150, 950};

enum RootEntry { kAlpha, kSeparator, kSub, kZeroId };
enum ContextEntry { kOpen, kDelete, kContextSeparator, kCancel };

// root (context menu ctx): Alpha, separator, Sub > (Inner), Zero id
class FlatMenuContext : public ::testing::Test {
  protected:
    void SetUp() override {
        qtest::ReleaseAllButtons();
        qtest::MoveMouse(kOutside.x, kOutside.y);
        HWND owner = host.Handle();
        ASSERT_TRUE(ctx.Create(Instance(), fpmNoBitmap, owner, nullptr, nullptr, nullptr));
        ctx.AppendItem(0, "&Open", 40004, -1);
        ctx.AppendItem(0, "&Delete", 40003, -1);
        ctx.AppendItem(fpmSeparator, nullptr, 0, -1);
        ctx.AppendItem(0, "&Cancel", 40010, -1);
        // The context menu is set by Create before children are appended.
        ASSERT_TRUE(root.Create(Instance(), fpmNoBitmap, owner, nullptr, nullptr, &ctx));
        ASSERT_TRUE(child.Create(Instance(), fpmNoBitmap, owner, nullptr, nullptr, nullptr));
        child.AppendItem(0, "Inner", 201, -1);
        root.AppendItem(0, "Alpha", 101, -1);
        root.AppendItem(fpmSeparator, nullptr, 0, -1);
        root.AppendPopup(0, "Sub", &child, -1, 0);
        root.AppendItem(0, "Zero id", 0, -1);
    }
    // Right-clicks where the pointer is and waits for the context menu.
    bool RightClickForContext() {
        qtest::RightDown();
        qtest::RightUp();
        return fmtest::WaitShown(ctx, 2000);
    }
    void Choose(const CFlatPopupMenu& menu, size_t entry) {
        fmtest::HoverEntry(menu, entry);
        qtest::LeftDown();
        qtest::LeftUp();
        fmtest::WaitGone(root, 2000);
    }
    qtest::HostWindow host;
    CFlatPopupMenu ctx, root, child;
    const DWORD thread = GetCurrentThreadId();
};
} // namespace

TEST_F(FlatMenuContext, ContextMenuAtTheCursorAndItsChoiceEndsTheTreeWithBothIds) {
    POINT cursor = {};
    fmtest::TrackOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        if (!fmtest::WaitShown(root)) return;
        fmtest::HoverEntry(root, kAlpha);
        GetCursorPos(&cursor);
        if (!RightClickForContext()) return;
        EXPECT_EQ(cursor.x, ctx.X());
        EXPECT_EQ(cursor.y, ctx.Y());
        EXPECT_EQ(1, ctx.CaptureState()) << "the context menu does not take the capture";
        Choose(ctx, kDelete);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_LT(out.msAfterSteps, 1000);
    EXPECT_EQ(101, out.result);
    EXPECT_EQ(40003, out.contextCommand);
    EXPECT_TRUE(fmtest::MenuWindows().empty());
    EXPECT_EQ(nullptr, ctx.Window());
}

TEST_F(FlatMenuContext, ContextMenuClosedWithoutAChoiceEndsTheTreeWithZero) {
    fmtest::TrackOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        if (!fmtest::WaitShown(root)) return;
        fmtest::HoverEntry(root, kAlpha);
        if (!RightClickForContext()) return;
        fmtest::HoverEntry(ctx, kOpen); // the context menu takes the capture
        qtest::ClickAt(kOutside.x, kOutside.y);
        fmtest::WaitGone(root, 2000);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
    EXPECT_EQ(0, out.contextCommand);
    EXPECT_TRUE(fmtest::MenuWindows().empty());

    // Clicked outside before the pointer ever reached the context menu.
    out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        if (!fmtest::WaitShown(root)) return;
        fmtest::HoverEntry(root, kAlpha);
        if (!RightClickForContext()) return;
        qtest::ClickAt(kOutside.x, kOutside.y);
        fmtest::WaitGone(root, 2000);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
    EXPECT_EQ(0, out.contextCommand);
    EXPECT_TRUE(fmtest::MenuWindows().empty());
}

TEST_F(FlatMenuContext, HotSeparatorOrZeroIdIsReportedAsMinusOne) {
    for (RootEntry entry : {kSeparator, kZeroId}) {
        fmtest::TrackOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
            if (!fmtest::WaitShown(root)) return;
            fmtest::MoveToEntry(root, entry, 30, entry == kSeparator ? 2 : 10);
            if (!qtest::PollUntil([&] { return root.HotIndex() == entry; }, 1000)) return;
            if (!RightClickForContext()) return;
            Choose(ctx, kOpen);
        });
        EXPECT_FALSE(out.rescued) << "entry " << entry;
        EXPECT_EQ(-1, out.result) << "entry " << entry;
        EXPECT_EQ(40004, out.contextCommand) << "entry " << entry;
    }
}

TEST_F(FlatMenuContext, RightClickWithoutAHotEntryDoesNothing) {
    fmtest::TrackOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        if (!fmtest::WaitShown(root)) return;
        fmtest::MoveToEntry(root, kAlpha, 30, 0); // an entry's top row hits nothing
        qtest::RightDown();
        qtest::RightUp();
        Sleep(300);
        EXPECT_EQ(nullptr, ctx.Window()) << "a context menu opened without a hot entry";
        EXPECT_NE(nullptr, root.Window());
        Choose(root, kAlpha);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(101, out.result);
    EXPECT_EQ(0, out.contextCommand);
}

TEST_F(FlatMenuContext, RightClickInASubmenuReportsTheSubmenuEntry) {
    fmtest::TrackOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        if (!fmtest::WaitShown(root)) return;
        fmtest::HoverEntry(root, kSub);
        qtest::LeftDown();
        qtest::LeftUp();
        if (!fmtest::WaitShown(child)) return;
        fmtest::HoverEntry(child, 0);
        if (!RightClickForContext()) return;

        // While the context menu is up the rest of the tree stands still, but
        // the capture still follows the pointer.
        fmtest::MoveToEntry(root, kAlpha);
        EXPECT_TRUE(
            qtest::PollUntil([&] { return fmtest::CaptureOf(thread) == root.Window(); }, 1000));
        fmtest::MoveToEntry(root, kAlpha, 34);
        Sleep(150);
        EXPECT_EQ(kSub, root.HotIndex()) << "the highlight moved under the context menu";
        EXPECT_NE(nullptr, child.Window()) << "the submenu was closed under the context menu";
        Choose(ctx, kCancel);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(201, out.result);
    EXPECT_EQ(40010, out.contextCommand);
    EXPECT_TRUE(fmtest::MenuWindows().empty());
}

TEST_F(FlatMenuContext, RightClickStopsAPendingSubmenuDelay) {
    fmtest::TrackOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        if (!fmtest::WaitShown(root)) return;
        fmtest::HoverEntry(root, kSub);
        if (!RightClickForContext()) return; // well inside the 400 ms delay
        EXPECT_EQ(nullptr, child.Window());
        Sleep(900);
        EXPECT_EQ(nullptr, child.Window()) << "a submenu opened under the context menu";
        Choose(ctx, kDelete);
    });
    EXPECT_FALSE(out.rescued) << "the tree did not close after the context choice";
    EXPECT_LT(out.msAfterSteps, 1000);
    EXPECT_EQ(-1, out.result) << "the submenu entry has id 0";
    EXPECT_EQ(40003, out.contextCommand);
    EXPECT_TRUE(fmtest::MenuWindows().empty());
}

TEST_F(FlatMenuContext, RightClickInsideTheContextMenuShowsTheMessage) {
    qtest::MessageBoxWatcher watcher("CFlatPopupMenu::ButtonDown");
    fmtest::TrackOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        if (!fmtest::WaitShown(root)) return;
        fmtest::HoverEntry(root, kAlpha);
        if (!RightClickForContext()) return;
        fmtest::HoverEntry(ctx, kOpen);
        qtest::RightDown();
        qtest::RightUp();
        EXPECT_TRUE(watcher.WaitForCount(1, 3000));
        Sleep(100);
        EXPECT_NE(nullptr, ctx.Window()) << "the context menu stays open";
        Choose(ctx, kOpen);
    });
    ASSERT_EQ(1u, watcher.Texts().size());
    EXPECT_EQ("RButtonDown signaled but no context menu found", watcher.Texts()[0]);
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(101, out.result);
    EXPECT_EQ(40004, out.contextCommand);
}
