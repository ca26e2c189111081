// A stored menu too tall for the screen, through WBPress as the host calls
// it: the wheel, the bands and the keys reach its last item, which starts;
// the context menu of a scrolled entry edits that entry's record; a tall
// submenu scrolls too; and a work area smaller than the screen holds it all.
#include <stdio.h>
#include "flatmenu/flat_menu_layout.h"
#include "resources/resource_ids.h"
#include "tests/press/press_fixture.h"
#include "tests/scrolling/scroll_test_support.h"
#include "tests/support/flat_menus.h"
#include "tests/support/snapshot.h"
#include "tests/support/test_support.h"

using namespace presstest;
using namespace scrolltest;
using qtest::GlideTo;
using qtest::Snapshot;
using qtest::WindowRect;

namespace {
void Settle() {
    EXPECT_TRUE(qtest::SyncInput()) << "the menus' thread did not take the input";
}

bool WaitPaintedHot(HWND menu, int top) {
    return qtest::WaitFor(
        [&] { return qtest::RowBarHasColour(menu, top, GetSysColor(COLOR_HIGHLIGHT)); });
}
} // namespace

namespace {
const int kItems = 60;
// Client rows of a scrolled popup: the bands and the frame take this much at
// the top and at the bottom.
const int kBandEdge = MenuGeometry().frame + MenuGeometry().scrollBandHeight;

std::string ItemName(int k) {
    char name[32];
    snprintf(name, sizeof name, "Item %02d", k);
    return name;
}

std::string ItemArgs(int k) {
    char args[32];
    snprintf(args, sizeof args, "item%02d", k);
    return args;
}

// Stores `count` items under `path`: "Item 01" to "Item NN", each starting
// the probe with "itemNN", at positions `first` on.
void StoreItems(const std::string& path, int count, int first = 1) {
    for (int k = 1; k <= count; ++k)
        StoreRecord(path, ItemName(k),
                    ProbePath() + "," + ItemArgs(k) + ",,,0,0," + std::to_string(first + k - 1) +
                        ",0");
}

// Right-clicks the row at `row` of the only open menu and chooses `command`
// from the context menu that opens.
void ChooseFromContextMenu(POINT row, ContextEntry command) {
    GlideTo(row.x, row.y);
    qtest::RightDown();
    qtest::RightUp();
    HWND context = WaitForPopups(2);
    if (!context) return;
    const POINT q = ContextPoint(context, command);
    GlideTo(q.x, q.y);
    const RECT c = WindowRect(context);
    if (!WaitPaintedHot(context, q.y - c.top - kEntryHeight / 2)) {
        ADD_FAILURE() << "the context menu's entry under the pointer is not hot";
        qtest::PressKey(VK_ESCAPE);
        return;
    }
    qtest::ClickHere();
}

class PressScroll : public PressTest {
  protected:
    void SetUp() override {
        PressTest::SetUp();
        qtest::ParkPointer();
    }
    // Presses with `steps` playing the user; WBPress's result. No key and no
    // wheel message reaches the host while a menu is open.
    int PressDriven(const std::function<void()>& steps) {
        const qtest::ModalOutcome out = Press(host.Handle(), steps);
        EXPECT_FALSE(out.rescued);
        EXPECT_EQ(0, out.hostKeyMessages) << "a key reached the host";
        EXPECT_EQ(0, out.hostWheelMessages) << "a wheel message reached the host";
        return out.result;
    }
    HWND Menus(size_t count) { return qtest::WaitForMenus(count); }
    std::string ProbeArgs(size_t line) const {
        std::vector<std::string> lines = ProbeLines();
        if (line >= lines.size()) return "<none>";
        return lines[line].substr(0, lines[line].find('|'));
    }
    // Screen point in the row of item k (of `items`, after a title and its
    // line) of a popup scrolled to its end: the last item is then the last
    // whole row above the bottom band.
    static POINT EndRowPoint(HWND popup, int k, int items = kItems) {
        const RECT r = WindowRect(popup);
        const int rows = (r.bottom - r.top - 2 * kBandEdge) / kEntryHeight;
        const int top = kBandEdge + (rows - 1 - (items - k)) * kEntryHeight;
        return POINT{r.left + 40, r.top + top + kEntryHeight / 2};
    }
    // Screen point in a row of a popup that shows from its top.
    static POINT TopRowPoint(HWND popup, int k) {
        const RECT r = WindowRect(popup);
        const int top = kBandEdge + kEntryHeight + kSeparatorHeight + (k - 1) * kEntryHeight;
        return POINT{r.left + 40, r.top + top + kEntryHeight / 2};
    }
    static RECT BottomBand(HWND popup) {
        const RECT r = WindowRect(popup);
        const int w = r.right - r.left, h = r.bottom - r.top;
        return RECT{1, h - kBandEdge, w - 1, h - 1};
    }
    static RECT TopBand(HWND popup) {
        const RECT r = WindowRect(popup);
        return RECT{1, 1, r.right - r.left - 1, kBandEdge};
    }
    // The bands' arrows, one colour each besides the menu's.
    static bool BandsShow(HWND popup, COLORREF top, COLORREF bottom) {
        const Snapshot shot(popup);
        const COLORREF menu = GetSysColor(COLOR_MENU);
        const std::map<COLORREF, int> t = shot.Colours(TopBand(popup));
        const std::map<COLORREF, int> b = shot.Colours(BottomBand(popup));
        return t.size() == 2 && t.count(menu) && t.count(top) && b.size() == 2 && b.count(menu) &&
               b.count(bottom);
    }
    static bool WaitAtTheEnd(HWND popup) {
        return qtest::WaitFor(
            [&] {
                return BandsShow(popup, GetSysColor(COLOR_MENUTEXT), GetSysColor(COLOR_GRAYTEXT));
            },
            20000);
    }

    qtest::HostWindow host;
};
} // namespace

TEST_F(PressScroll, TheWheelBringsTheLastItemIntoViewAndAClickStartsIt) {
    StoreItems("", kItems);
    const int result = PressDriven([&] {
        HWND root = Menus(1);
        if (!root) return;
        const RECT r = WindowRect(root), work = CurrentWorkArea();
        EXPECT_EQ(work.top, r.top);
        EXPECT_EQ(work.bottom, r.bottom) << "the work area's full height";
        EXPECT_TRUE(qtest::WaitFor([&] {
            return BandsShow(root, GetSysColor(COLOR_GRAYTEXT), GetSysColor(COLOR_MENUTEXT));
        })) << "at the top: the top band grayed, the bottom one active";
        const POINT p = TopRowPoint(root, 5);
        GlideTo(p.x, p.y);
        qtest::TurnWheel(-2 * kItems);
        Settle();
        EXPECT_TRUE(WaitAtTheEnd(root));
        const POINT last = EndRowPoint(root, kItems);
        GlideTo(last.x, last.y);
        qtest::ClickHere();
    });
    EXPECT_EQ(1, result);
    ASSERT_TRUE(WaitForProbeLines(1)) << "nothing was started";
    EXPECT_EQ("args=" + ItemArgs(kItems), ProbeArgs(0));
}

TEST_F(PressScroll, EndAndEnterStartTheLastItem) {
    StoreItems("", kItems);
    const int result = PressDriven([&] {
        HWND root = Menus(1);
        if (!root) return;
        qtest::PressKey(VK_END);
        Settle();
        EXPECT_TRUE(WaitAtTheEnd(root));
        EXPECT_TRUE(WaitPaintedHot(root, EndRowPoint(root, kItems).y - WindowRect(root).top -
                                             kEntryHeight / 2))
            << "the last item is hot in the last row";
        qtest::PressKey(VK_RETURN);
    });
    EXPECT_EQ(1, result);
    ASSERT_TRUE(WaitForProbeLines(1)) << "nothing was started";
    EXPECT_EQ("args=" + ItemArgs(kItems), ProbeArgs(0));
}

TEST_F(PressScroll, RestingOnTheBottomBandScrollsToTheLastItemWhichAClickStarts) {
    StoreItems("", kItems);
    const int result = PressDriven([&] {
        HWND root = Menus(1);
        if (!root) return;
        const RECT r = WindowRect(root);
        const RECT band = BottomBand(root);
        GlideTo(r.left + (band.left + band.right) / 2, r.top + (band.top + band.bottom) / 2);
        EXPECT_TRUE(WaitAtTheEnd(root)) << "the band did not scroll to the end";
        qtest::ClickHere(); // on the band: nothing
        Settle();
        EXPECT_EQ(1u, qtest::MenuWindows().size()) << "a click on a band keeps the menu open";
        const POINT last = EndRowPoint(root, kItems);
        GlideTo(last.x, last.y);
        qtest::ClickHere();
    });
    EXPECT_EQ(1, result);
    ASSERT_TRUE(WaitForProbeLines(1)) << "nothing was started";
    EXPECT_EQ("args=" + ItemArgs(kItems), ProbeArgs(0));
    EXPECT_EQ(1u, ProbeLines().size()) << "the click on the band started nothing";
}

TEST_F(PressScroll, DeleteOnAScrolledEntryRemovesThatItem) {
    StoreItems("", kItems);
    const int result = PressDriven([&] {
        HWND root = Menus(1);
        if (!root) return;
        qtest::PressKey(VK_END);
        Settle();
        if (!WaitAtTheEnd(root)) return;
        ChooseFromContextMenu(EndRowPoint(root, 45), kDelete);
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ("<missing>", StoredRecord("", ItemName(45)));
    EXPECT_EQ(ProbePath() + "," + ItemArgs(44) + ",,,0,0,44,0", StoredRecord("", ItemName(44)));
    EXPECT_EQ(ProbePath() + "," + ItemArgs(46) + ",,,0,0,45,0", StoredRecord("", ItemName(46)))
        << "the items after it move up";
    EXPECT_TRUE(ProbeLines().empty());
}

TEST_F(PressScroll, PropertiesOnAScrolledEntryShowThatItem) {
    StoreItems("", kItems);
    std::string shownName, shownParameters;
    const int result = PressDriven([&] {
        HWND root = Menus(1);
        if (!root) return;
        const POINT p = TopRowPoint(root, 5);
        GlideTo(p.x, p.y);
        qtest::TurnWheel(-2 * kItems);
        Settle();
        if (!WaitAtTheEnd(root)) return;
        ChooseFromContextMenu(EndRowPoint(root, 50), kProperties);
        HWND dialog = WaitForDialog("Menu Item Properties");
        if (!dialog) return;
        shownName = ControlText(dialog, IDC_NAME);
        shownParameters = ControlText(dialog, IDC_PARAMETERS);
        PressCancel(dialog);
        qtest::WaitUntilGone(dialog);
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(ItemName(50), shownName);
    EXPECT_EQ(ItemArgs(50), shownParameters);
    EXPECT_TRUE(ProbeLines().empty()) << "nothing was started";
    EXPECT_EQ(ProbePath() + "," + ItemArgs(50) + ",,,0,0,50,0", StoredRecord("", ItemName(50)))
        << "a cancelled dialog leaves the record";
}

TEST_F(PressScroll, ATallSubmenuScrollsAndItsLastItemStarts) {
    StoreRecord("", "First", ProbePath() + ",first,,,0,0,1,0");
    StoreRecord("Programs", "", ",,,,0,0,2,0");
    StoreItems("Programs", kItems);
    const int result = PressDriven([&] {
        if (!Menus(1)) return;
        qtest::TypeChar('p');      // finds Programs first (its name starts with p) ...
        qtest::PressKey(VK_RIGHT); // ... and Right opens it
        HWND programs = Menus(2);
        if (!programs) return;
        const RECT r = WindowRect(programs), work = CurrentWorkArea();
        EXPECT_EQ(work.top, r.top);
        EXPECT_EQ(work.bottom, r.bottom);
        const POINT p = TopRowPoint(programs, 5);
        GlideTo(p.x, p.y);
        qtest::TurnWheel(-2 * kItems);
        Settle();
        EXPECT_TRUE(WaitAtTheEnd(programs));
        const POINT last = EndRowPoint(programs, kItems);
        GlideTo(last.x, last.y);
        qtest::ClickHere();
    });
    EXPECT_EQ(1, result);
    ASSERT_TRUE(WaitForProbeLines(1)) << "nothing was started";
    EXPECT_EQ("args=" + ItemArgs(kItems), ProbeArgs(0));
}

TEST_F(PressScroll, TheScrolledMenuIsDrawnCleanlyBetweenItsBands) {
    StoreItems("", kItems);
    const COLORREF menu = GetSysColor(COLOR_MENU), text = GetSysColor(COLOR_MENUTEXT);
    const int result = PressDriven([&] {
        HWND root = Menus(1);
        if (!root) return;
        const POINT p = TopRowPoint(root, 5);
        GlideTo(p.x, p.y);
        qtest::TurnWheel(-3);
        Settle();
        qtest::ParkPointer();
        EXPECT_TRUE(qtest::WaitFor([&] { return BandsShow(root, text, text); }))
            << "in the middle: both bands active, their arrows in the text colour";
        const Snapshot shot(root);
        shot.Save(qtest::ProgramDirectory() + "scrolled-menu.bmp");
        // Three notches of three rows: title, line and seven items are above.
        const int firstItem = 8;
        const int rows = (shot.Height() - 2 * kBandEdge) / kEntryHeight;
        for (int row = 0; row < rows; ++row) {
            const int top = kBandEdge + row * kEntryHeight;
            const RECT bar = {3, top, shot.Width() - 2, top + kEntryHeight};
            EXPECT_GT(shot.CountOtherThan(bar, menu), 0)
                << "row " << row << " of item " << firstItem + row << " is drawn";
        }
        const RECT gap = {1, kBandEdge + rows * kEntryHeight, shot.Width() - 1,
                          shot.Height() - kBandEdge};
        EXPECT_EQ(0, shot.CountOtherThan(gap, menu)) << "no half-drawn row above the bottom band";
        EXPECT_EQ(0, shot.Colours(TopBand(root)).count(GetSysColor(COLOR_HIGHLIGHT)));
        qtest::PressKey(VK_ESCAPE);
    });
    EXPECT_EQ(1, result);
    EXPECT_TRUE(ProbeLines().empty());
}

TEST_F(PressScroll, AWorkAreaSmallerThanTheScreenHoldsTheWholeMenu) {
    StoreItems("", kItems);
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    // Taskbars at the left and the top, over the press point, and at the bottom.
    const RECT work = {kPressX + 50, kPressY + 20, w, h - 40};
    int result = 0;
    {
        WorkAreaChange taskbars(work);
        ASSERT_TRUE(taskbars.Changed());
        result = PressDriven([&] {
            HWND root = Menus(1);
            if (!root) return;
            const RECT r = WindowRect(root);
            EXPECT_EQ(work.left, r.left);
            EXPECT_EQ(work.top, r.top);
            EXPECT_EQ(work.bottom, r.bottom);
            qtest::PressKey(VK_END);
            Settle();
            EXPECT_TRUE(WaitAtTheEnd(root));
            qtest::PressKey(VK_RETURN);
        });
    }
    const RECT now = CurrentWorkArea();
    EXPECT_EQ(h, now.bottom) << "the work area is restored";
    EXPECT_EQ(1, result);
    ASSERT_TRUE(WaitForProbeLines(1)) << "nothing was started";
    EXPECT_EQ("args=" + ItemArgs(kItems), ProbeArgs(0));
}
