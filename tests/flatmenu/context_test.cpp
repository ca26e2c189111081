#include <gtest/gtest.h>
#include <atomic>
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
        return qtest::WaitShown(ctx);
    }
    // Clicks an entry once it is hot, at the point hovered.
    void Choose(const CFlatPopupMenu& menu, size_t entry) {
        ASSERT_TRUE(fmtest::HoverEntry(menu, entry)) << "entry " << entry << " did not get hot";
        const POINT at = fmtest::EntryPoint(menu, entry);
        qtest::ClickCarryingPosition(at.x, at.y);
    }
    qtest::HostWindow host;
    CFlatPopupMenu ctx, root, child;
    const DWORD thread = GetCurrentThreadId();
};
} // namespace

TEST_F(FlatMenuContext, ContextMenuAtTheCursorAndItsChoiceEndsTheTreeWithBothIds) {
    POINT cursor = {};
    qtest::ModalOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(root));
        fmtest::HoverEntry(root, kAlpha);
        GetCursorPos(&cursor);
        ASSERT_TRUE(RightClickForContext());
        EXPECT_EQ(cursor.x, fmtest::Origin(ctx).x);
        EXPECT_EQ(cursor.y, fmtest::Origin(ctx).y);
        EXPECT_NE(ctx.Window(), qtest::CaptureOf(thread))
            << "the context menu does not take the capture";
        Choose(ctx, kDelete);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(101, out.result);
    EXPECT_EQ(40003, out.contextCommand);
    EXPECT_TRUE(qtest::MenuWindows().empty());
    EXPECT_EQ(nullptr, ctx.Window());
}

TEST_F(FlatMenuContext, ContextMenuClosedWithoutAChoiceEndsTheTreeWithZero) {
    qtest::ModalOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(root));
        fmtest::HoverEntry(root, kAlpha);
        ASSERT_TRUE(RightClickForContext());
        fmtest::HoverEntry(ctx, kOpen); // the context menu takes the capture
        qtest::ClickCarryingPosition(kOutside.x, kOutside.y);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
    EXPECT_EQ(0, out.contextCommand);
    EXPECT_TRUE(qtest::MenuWindows().empty());

    // Clicked outside before the pointer ever reached the context menu.
    out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(root));
        fmtest::HoverEntry(root, kAlpha);
        ASSERT_TRUE(RightClickForContext());
        qtest::ClickCarryingPosition(kOutside.x, kOutside.y);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
    EXPECT_EQ(0, out.contextCommand);
    EXPECT_TRUE(qtest::MenuWindows().empty());
}

TEST_F(FlatMenuContext, HotSeparatorOrZeroIdIsReportedAsMinusOne) {
    for (RootEntry entry : {kSeparator, kZeroId}) {
        qtest::ModalOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
            ASSERT_TRUE(qtest::WaitShown(root));
            fmtest::MoveToEntry(root, entry, 30, entry == kSeparator ? 2 : 10);
            ASSERT_TRUE(qtest::SyncInput());
            ASSERT_EQ(entry, root.Rows().HotIndex());
            ASSERT_TRUE(RightClickForContext());
            Choose(ctx, kOpen);
        });
        EXPECT_FALSE(out.rescued) << "entry " << entry;
        EXPECT_EQ(-1, out.result) << "entry " << entry;
        EXPECT_EQ(40004, out.contextCommand) << "entry " << entry;
    }
}

TEST_F(FlatMenuContext, RightClickWithoutAHotEntryDoesNothing) {
    qtest::ModalOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(root));
        fmtest::MoveToEntry(root, kAlpha, 30, 0); // an entry's top row hits nothing
        qtest::RightDown();
        qtest::RightUp();
        ASSERT_TRUE(fmtest::StillShownAfterInput(root));
        EXPECT_EQ(nullptr, ctx.Window()) << "a context menu opened without a hot entry";
        Choose(root, kAlpha);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(101, out.result);
    EXPECT_EQ(0, out.contextCommand);
}

TEST_F(FlatMenuContext, RightClickInASubmenuReportsTheSubmenuEntry) {
    qtest::ModalOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(root));
        fmtest::HoverEntry(root, kSub);
        qtest::LeftDown();
        qtest::LeftUp();
        ASSERT_TRUE(qtest::WaitShown(child));
        fmtest::HoverEntry(child, 0);
        ASSERT_TRUE(RightClickForContext());

        // While the context menu is up the rest of the tree stands still, but
        // the capture still follows the pointer.
        fmtest::MoveToEntry(root, kAlpha);
        EXPECT_TRUE(qtest::SyncInput());
        EXPECT_EQ(root.Window(), qtest::CaptureOf(thread));
        fmtest::MoveToEntry(root, kAlpha, 34);
        EXPECT_TRUE(qtest::SyncInput());
        EXPECT_EQ(kSub, root.Rows().HotIndex()) << "the highlight moved under the context menu";
        EXPECT_NE(nullptr, child.Window()) << "the submenu was closed under the context menu";
        Choose(ctx, kCancel);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(201, out.result);
    EXPECT_EQ(40010, out.contextCommand);
    EXPECT_TRUE(qtest::MenuWindows().empty());
}

TEST_F(FlatMenuContext, RightClickStopsAPendingSubmenuDelay) {
    std::atomic<bool> timerCame(false);
    qtest::MessageWatch watch([&](const MSG& msg) {
        if (msg.message == WM_TIMER && msg.hwnd == root.Window()) timerCame = true;
    });
    qtest::ModalOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(root));
        // Move and right click are queued together: input is taken before
        // timers, so the click comes well inside the 400 ms delay.
        ASSERT_TRUE(qtest::OnUiThread([&] {
            fmtest::MoveToEntry(root, kSub);
            qtest::RightDown();
            qtest::RightUp();
        }));
        ASSERT_TRUE(qtest::WaitShown(ctx));
        EXPECT_EQ(kSub, root.Rows().HotIndex());
        EXPECT_EQ(nullptr, child.Window());
        // A timer started now comes after the delay would have.
        EXPECT_TRUE(qtest::WaitPastTimers(fmtest::kSubmenuDelayMs));
        EXPECT_FALSE(timerCame) << "the delay kept running under the context menu";
        EXPECT_EQ(nullptr, child.Window()) << "a submenu opened under the context menu";
        Choose(ctx, kDelete);
    });
    EXPECT_FALSE(out.rescued) << "the tree did not close after the context choice";
    EXPECT_EQ(-1, out.result) << "the submenu entry has id 0";
    EXPECT_EQ(40003, out.contextCommand);
    EXPECT_TRUE(qtest::MenuWindows().empty());
}

TEST_F(FlatMenuContext, RightClickInsideTheContextMenuShowsTheMessage) {
    qtest::MessageBoxWatcher watcher("CFlatPopupMenu::ButtonDown");
    qtest::ModalOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(root));
        fmtest::HoverEntry(root, kAlpha);
        ASSERT_TRUE(RightClickForContext());
        fmtest::HoverEntry(ctx, kOpen);
        qtest::RightDown();
        qtest::RightUp();
        ASSERT_TRUE(watcher.WaitForCount(1));
        ASSERT_TRUE(fmtest::StillShownAfterInput(ctx)) << "the context menu stays open";
        Choose(ctx, kOpen);
    });
    ASSERT_EQ(1u, watcher.Texts().size());
    EXPECT_EQ("RButtonDown signaled but no context menu found", watcher.Texts()[0]);
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(101, out.result);
    EXPECT_EQ(40004, out.contextCommand);
}
