// Menus are placed within the work area of their monitor, all four of its
// edges: with taskbars at the left and the top, a menu asked for over them
// moves right and down into the work area, and a tall menu takes the work
// area's height. The work area is made smaller than the screen here, as
// taskbars make it, and restored afterwards.
#include <gtest/gtest.h>
#include <string>
#include "flatmenu/flat_popup_menu.h"
#include "tests/scrolling/scroll_test_support.h"
#include "tests/support/test_support.h"

using namespace scrolltest;

namespace {
class TaskbarWorkArea : public ::testing::Test {
  protected:
    void SetUp() override {
        screenWidth = GetSystemMetrics(SM_CXSCREEN);
        screenHeight = GetSystemMetrics(SM_CYSCREEN);
        original = CurrentWorkArea();
        work = RECT{60, 40, screenWidth - 30, screenHeight - 50};
    }
    void TearDown() override {
        const RECT now = CurrentWorkArea();
        EXPECT_TRUE(EqualRect(&now, &original)) << "the work area was not restored";
    }
    // A menu of `entries` entries (and a title), created on the host.
    void Fill(CFlatPopupMenu& menu, int entries, CFlatPopupMenu* context = nullptr) {
        ASSERT_TRUE(menu.Create(GetModuleHandleA(nullptr), fpmNoBitmap, host.Handle(), nullptr,
                                nullptr, context));
        menu.AppendItem(fpmDisabled | fpmBold, "Title", 0, -1);
        menu.AppendItem(fpmSeparator, nullptr, 0, -1);
        for (int i = 1; i <= entries; ++i)
            menu.AppendItem(0, "Entry", i, -1);
    }
    // A label at least `pixels` wide in the menu's font.
    static std::string LabelAtLeast(const CFlatPopupMenu& menu, int pixels) {
        HDC ic = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
        HGDIOBJ old = SelectObject(ic, menu.Palette().NormalFont());
        std::string text = "W";
        SIZE extent = {};
        while (GetTextExtentPoint32A(ic, text.c_str(), static_cast<int>(text.size()), &extent) &&
               extent.cx < pixels)
            text += "W";
        SelectObject(ic, old);
        DeleteDC(ic);
        return text;
    }
    static RECT Placed(const CFlatPopupMenu& menu) {
        RECT r = {};
        GetWindowRect(menu.Window(), &r);
        return r;
    }

    qtest::HostWindow host;
    int screenWidth = 0, screenHeight = 0;
    RECT original = {}, work = {};
};
} // namespace

TEST_F(TaskbarWorkArea, AMenuAskedForOverATaskbarMovesIntoTheWorkArea) {
    WorkAreaChange taskbars(work);
    ASSERT_TRUE(taskbars.Changed());
    CFlatPopupMenu menu;
    Fill(menu, 3);
    menu.Track(10, 5, nullptr, false, true, nullptr); // over both taskbars
    RECT r = Placed(menu);
    EXPECT_EQ(work.left, r.left);
    EXPECT_EQ(work.top, r.top);
    EXPECT_EQ(3 + 19 + 5 + 3 * 19 + 2, r.bottom - r.top) << "a menu that fits keeps its size";
    DestroyWindow(menu.Window());

    menu.Track(screenWidth - 5, screenHeight - 5, nullptr, false, true, nullptr);
    r = Placed(menu);
    EXPECT_EQ(work.right, r.right);
    EXPECT_EQ(work.bottom, r.bottom);
    DestroyWindow(menu.Window());

    menu.Track(200, 300, nullptr, false, true, nullptr); // fits where it is asked for
    r = Placed(menu);
    EXPECT_EQ(200, r.left);
    EXPECT_EQ(300, r.top);
}

TEST_F(TaskbarWorkArea, ATallMenuAndItsTallSubmenuTakeTheWorkAreasHeight) {
    WorkAreaChange taskbars(work);
    ASSERT_TRUE(taskbars.Changed());
    CFlatPopupMenu root, child;
    Fill(root, 0);
    Fill(child, 80);
    root.AppendPopup(0, "Programs", &child, -1, 500);
    for (int i = 1; i <= 80; ++i)
        root.AppendItem(0, "Entry", i, -1);
    root.Track(10, 5, nullptr, false, true, nullptr);
    const RECT r = Placed(root);
    EXPECT_TRUE(root.Rows().Scrolls());
    EXPECT_EQ(work.left, r.left);
    EXPECT_EQ(work.top, r.top);
    EXPECT_EQ(work.bottom, r.bottom);

    child.Track(0, r.top + root.Rows().Item(2)->top - 3, nullptr, false, true, nullptr);
    const RECT c = Placed(child);
    EXPECT_TRUE(child.Rows().Scrolls());
    EXPECT_EQ(r.left + root.Rows().Width() - 3, c.left);
    EXPECT_EQ(work.top, c.top);
    EXPECT_EQ(work.bottom, c.bottom);
}

TEST_F(TaskbarWorkArea, AWideSubmenuAtTheRightEdgeOpensLeftButNotOverTheLeftTaskbar) {
    WorkAreaChange taskbars(work);
    ASSERT_TRUE(taskbars.Changed());
    CFlatPopupMenu root, child;
    Fill(root, 2);
    Fill(child, 2);
    const int workWidth = work.right - work.left;
    child.AppendItem(0, LabelAtLeast(child, workWidth * 6 / 10).c_str(), 9, -1);
    root.AppendPopup(0, LabelAtLeast(root, workWidth / 2).c_str(), &child, -1, 500);
    root.Track(work.left + 20, 100, nullptr, false, true, nullptr);
    child.Track(0, 120, nullptr, false, true, nullptr);
    const int rootX = Placed(root).left;
    ASSERT_GT(rootX + root.Rows().Width() - 3 + child.Rows().Width(), work.right)
        << "no room on the right";
    ASSERT_LT(rootX - child.Rows().Width() + 3, work.left) << "nor on the left";
    EXPECT_EQ(work.left, Placed(child).left) << "on the left, as far as the work area goes";
}

TEST_F(TaskbarWorkArea, TheContextMenuStaysInTheWorkAreaToo) {
    WorkAreaChange taskbars(work);
    ASSERT_TRUE(taskbars.Changed());
    CFlatPopupMenu context;
    Fill(context, 4);
    context.Track(screenWidth - 2, screenHeight - 2, nullptr, false, true, nullptr);
    RECT r = Placed(context);
    EXPECT_EQ(work.right, r.right);
    EXPECT_EQ(work.bottom, r.bottom);
    DestroyWindow(context.Window());
    context.Track(20, 20, nullptr, false, true, nullptr);
    r = Placed(context);
    EXPECT_EQ(work.left, r.left);
    EXPECT_EQ(work.top, r.top);
}
