// A menu taller than the work area takes the work area's height and scrolls:
// by resting on its bands, by the wheel and by the keys, and everything
// that finds entries follows the scrolled rows.
#include "tests/scrolling/tall_menu_fixture.h"
#include "tests/support/test_support.h"

using namespace keytest;
using namespace scrolltest;

namespace {
const COLORREF kMenuColour = GetSysColor(COLOR_MENU);
const int kArrowPixels = 1 + 3 + 5 + 7;

RECT TopBand(const CFlatPopupMenu& menu) {
    return RECT{1, 1, menu.Rows().Width() - 1, menu.Rows().RowAreaTop()};
}

RECT BottomBand(const CFlatPopupMenu& menu) {
    const RECT r = WindowRect(menu.Window());
    return RECT{1, menu.Rows().RowAreaBottom(), menu.Rows().Width() - 1, r.bottom - r.top - 1};
}

// A band holds the menu's colour and an arrow of one other colour.
bool BandShowsArrowIn(const Snapshot& shot, const RECT& band, COLORREF arrow) {
    const std::map<COLORREF, int> colours = shot.Colours(band);
    auto found = colours.find(arrow);
    return colours.size() == 2 && colours.count(kMenuColour) && found != colours.end() &&
           found->second == kArrowPixels;
}

// Waits until the bands show the arrows of a menu that can scroll up (or
// not) and down (or not).
bool WaitBands(const CFlatPopupMenu& menu, bool up, bool down) {
    const COLORREF active = GetSysColor(COLOR_MENUTEXT), grayed = GetSysColor(COLOR_GRAYTEXT);
    return WaitFor([&] {
        Snapshot shot(menu.Window());
        return BandShowsArrowIn(shot, TopBand(menu), up ? active : grayed) &&
               BandShowsArrowIn(shot, BottomBand(menu), down ? active : grayed);
    });
}

// The entry whose row holds the client row y.
int EntryAtRow(const CFlatPopupMenu& menu, int y) {
    for (int i = 0; i < menu.Rows().Count(); ++i) {
        const FlatMenuItem* item = menu.Rows().Item(i);
        if (item->top < y && y < item->top + item->height) return i;
    }
    return -1;
}
} // namespace

TEST_F(TallMenus, ItTakesTheWorkAreasHeightWithAGrayedTopBandAndAnActiveBottomBand) {
    const RECT work = CurrentWorkArea();
    Outcome out = Run([&] {
        if (!WaitShown(root)) return;
        const RECT r = WindowRect(root.Window());
        EXPECT_EQ(kRootX, r.left);
        EXPECT_EQ(work.top, r.top);
        EXPECT_EQ(work.bottom, r.bottom);
        EXPECT_TRUE(root.Rows().Scrolls());
        EXPECT_EQ(0, root.Rows().FirstRow());
        EXPECT_TRUE(WaitBands(root, false, true)) << "top band grayed, bottom band active";

        // Rows start below the top band; none shows in part.
        EXPECT_EQ(root.Rows().RowAreaTop(), root.Rows().Item(0)->top)
            << "the title is the first row";
        const int last = LastShown(root);
        EXPECT_LT(last, RootIndex(kEntries));
        if (last < 10) {
            ADD_FAILURE() << "too few rows show: " << last;
            Tap(VK_ESCAPE);
            return;
        }
        Snapshot shot(root.Window());
        const int lastBottom = root.Rows().Item(last)->top + root.Rows().Item(last)->height;
        EXPECT_EQ(0, shot.CountOtherThan(
                         RECT{1, lastBottom, root.Rows().Width() - 1, root.Rows().RowAreaBottom()},
                         kMenuColour))
            << "below the last whole row, nothing of the next one is drawn";
        const int textTop = root.Rows().Item(last)->top;
        EXPECT_GT(shot.CountOtherThan(RECT{25, textTop, root.Rows().Width() - 10, lastBottom},
                                      kMenuColour),
                  0)
            << "the last whole row is drawn";
        shot.Save(ProgramDirectory() + "scrolled-menu-top.bmp");
        Tap(VK_ESCAPE);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
}

TEST_F(TallMenus, TheWheelScrollsRowsANotchToTheLastEntryWhichAClickChooses) {
    const int rows = RowsPerNotch();
    Outcome out = Run([&] {
        if (!WaitShown(root)) return;
        const POINT p = RowPoint(root, RootIndex(10));
        GlideTo(p.x, p.y);
        TurnWheel(-1);
        Settle();
        EXPECT_EQ(rows, root.Rows().FirstRow());
        const RECT r = WindowRect(root.Window());
        EXPECT_EQ(EntryAtRow(root, p.y - r.top), root.Rows().HotIndex())
            << "the entry now under the pointer is hot";

        TurnWheel(-2 * kEntries);
        Settle();
        EXPECT_TRUE(Shown(root, RootIndex(kEntries))) << "the last entry shows";
        const int end = root.Rows().FirstRow();
        TurnWheel(-1);
        Settle();
        EXPECT_EQ(end, root.Rows().FirstRow()) << "never past the end";
        EXPECT_TRUE(WaitBands(root, true, false)) << "top band active, bottom band grayed";

        TurnWheel(1);
        Settle();
        EXPECT_EQ(end - rows, root.Rows().FirstRow()) << "away from the user, back up";
        EXPECT_TRUE(WaitBands(root, true, true));
        TurnWheel(-1);
        Settle();
        const POINT q = RowPoint(root, RootIndex(kEntries));
        GlideTo(q.x, q.y);
        LeftClick();
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(ItemId(kEntries), out.result);
    EXPECT_EQ(0, wheels.WhileMenuShown()) << "no wheel message reached the host";
    EXPECT_EQ(0, out.hostKeyMessages);
}

TEST_F(TallMenus, TheWheelNeverScrollsAMenuThatFitsNorAnythingAwayFromTheMenus) {
    Outcome out = Run([&] {
        if (!WaitShown(root)) return;
        Tap(VK_END);
        Tap(VK_UP);
        Tap(VK_UP);
        Tap(VK_UP);
        ExpectHot(root, RootIndex(kLateEntry));
        Tap(VK_RIGHT);
        if (!WaitShown(late)) return;
        const int rootFirst = root.Rows().FirstRow();
        const int lateTop = late.Rows().Item(0)->top;
        const POINT p = RowPoint(late, 1);
        GlideTo(p.x, p.y);
        TurnWheel(-3);
        TurnWheel(2);
        Settle();
        EXPECT_FALSE(late.Rows().Scrolls());
        EXPECT_EQ(lateTop, late.Rows().Item(0)->top) << "the short submenu did not move";
        EXPECT_EQ(rootFirst, root.Rows().FirstRow()) << "nor its parent, away from the pointer";
        EXPECT_EQ(1, late.Rows().HotIndex());

        ParkPointer();
        TurnWheel(5);
        Settle();
        EXPECT_EQ(rootFirst, root.Rows().FirstRow()) << "a wheel away from every menu scrolls none";
        EXPECT_NE(nullptr, late.Window());
        Tap(VK_ESCAPE);
        Tap(VK_ESCAPE);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
    EXPECT_EQ(0, wheels.WhileMenuShown());
}

TEST_F(TallMenus, RestingOnABandScrollsRowByRowToTheEndAndAClickOnItChoosesNothing) {
    Outcome out = Run([&] {
        if (!WaitShown(root)) return;
        const int last = RootIndex(kEntries);
        POINT band = BottomBandPoint(root);
        GlideTo(band.x, band.y);
        std::vector<int> seen;
        EXPECT_TRUE(WaitFor(
            [&] {
                seen.push_back(root.Rows().FirstRow());
                return Shown(root, last);
            },
            20000))
            << "the bottom band did not scroll to the end";
        for (size_t i = 1; i < seen.size(); ++i)
            EXPECT_LE(seen[i - 1], seen[i]) << "the bottom band only scrolls down";
        EXPECT_EQ(-1, root.Rows().HotIndex()) << "nothing is hot on a band";
        EXPECT_TRUE(WaitBands(root, true, false));

        LeftClick();
        Settle();
        EXPECT_NE(nullptr, root.Window()) << "a click on a band keeps the menu open";
        EXPECT_EQ(-1, root.Rows().HotIndex());

        band = TopBandPoint(root);
        GlideTo(band.x, band.y);
        EXPECT_TRUE(WaitFor([&] { return root.Rows().FirstRow() == 0; }, 20000))
            << "the top band did not scroll back to the top";
        LeftClick();
        Settle();
        EXPECT_NE(nullptr, root.Window());
        EXPECT_TRUE(WaitBands(root, false, true));

        band = BottomBandPoint(root);
        GlideTo(band.x, band.y);
        WaitFor([&] { return Shown(root, last); }, 20000);
        const POINT p = RowPoint(root, last);
        GlideTo(p.x, p.y);
        LeftClick();
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(ItemId(kEntries), out.result);
}

TEST_F(TallMenus, EndHomeAndTheArrowsAtTheEndsReachEveryEntry) {
    Outcome out = Run([&] {
        if (!WaitShown(root)) return;
        const int first = RootIndex(1), last = RootIndex(kEntries);
        Tap(VK_END);
        ExpectHot(root, last);
        EXPECT_GT(root.Rows().FirstRow(), 0);
        Tap(VK_HOME);
        ExpectHot(root, first);
        EXPECT_EQ(0, root.Rows().FirstRow()) << "the title shows again";
        Tap(VK_UP); // from the top, around to the end
        ExpectHot(root, last);
        Tap(VK_DOWN); // from the end, around to the top
        ExpectHot(root, first);
        EXPECT_EQ(0, root.Rows().FirstRow());

        // Down from the last row that shows scrolls the next one into view.
        const int lastShown = LastShown(root);
        for (int i = first; i < lastShown; ++i)
            Tap(VK_DOWN);
        ExpectHot(root, lastShown);
        EXPECT_EQ(0, root.Rows().FirstRow());
        Tap(VK_DOWN);
        ExpectHot(root, lastShown + 1);
        EXPECT_GT(root.Rows().FirstRow(), 0);
        EXPECT_EQ(lastShown + 1, LastShown(root)) << "scrolled just far enough";

        Tap(VK_END);
        Tap(VK_RETURN);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(ItemId(kEntries), out.result);
    EXPECT_EQ(0, out.hostKeyMessages);
}

TEST_F(TallMenus, KeysUnderARestingPointerKeepTheirChoiceAsTheMenuScrolls) {
    Outcome out = Run([&] {
        if (!WaitShown(root)) return;
        const POINT p = RowPoint(root, RootIndex(10));
        GlideTo(p.x, p.y);
        Settle();
        EXPECT_EQ(RootIndex(10), root.Rows().HotIndex());
        Tap(VK_END);
        ExpectHot(root, RootIndex(kEntries));
        Tap(VK_UP);
        ExpectHot(root, RootIndex(kEntries - 1));
        // A real move gives the mouse the lead again.
        GlideTo(p.x, p.y + 1);
        Settle();
        const RECT r = WindowRect(root.Window());
        EXPECT_EQ(EntryAtRow(root, p.y + 1 - r.top), root.Rows().HotIndex());
        Tap(VK_ESCAPE);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
}

TEST_F(TallMenus, AnEntryUnderABandIsNeverHot) {
    Outcome out = Run([&] {
        if (!WaitShown(root)) return;
        POINT p = RowPoint(root, RootIndex(20));
        GlideTo(p.x, p.y);
        TurnWheel(-4);
        Settle();
        EXPECT_GT(root.Rows().FirstRow(), 0);
        // Just above the first row lies the entry before it, hidden under the band.
        const RECT r = WindowRect(root.Window());
        GlideTo(p.x, r.top + root.Rows().RowAreaTop() - 2);
        Settle();
        EXPECT_EQ(-1, root.Rows().HotIndex()) << "the top band";
        p = RowPoint(root, RootIndex(20));
        GlideTo(p.x, p.y);
        Settle();
        EXPECT_NE(-1, root.Rows().HotIndex());
        GlideTo(p.x, r.top + root.Rows().RowAreaBottom() + 1);
        Settle();
        EXPECT_EQ(-1, root.Rows().HotIndex()) << "the bottom band";
        ParkPointer();
        Tap(VK_ESCAPE);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
}

TEST_F(TallMenus, ASubmenuOfAScrolledMenuOpensLevelWithItsEntrysRow) {
    Outcome out = Run([&] {
        if (!WaitShown(root)) return;
        Tap(VK_END);
        Settle();
        const int lateIndex = RootIndex(kLateEntry);
        EXPECT_TRUE(Shown(root, lateIndex));
        const POINT p = RowPoint(root, lateIndex);
        GlideTo(p.x, p.y);
        qtest::LeftDown();
        qtest::LeftUp();
        if (!WaitShown(late)) return;
        EXPECT_EQ(WindowRect(root.Window()).left + root.Rows().Width() - 3,
                  WindowRect(late.Window()).left);
        EXPECT_EQ(WindowRect(root.Window()).top + root.Rows().Item(lateIndex)->top - 3,
                  WindowRect(late.Window()).top)
            << "its first entry level with the visible row of its entry";
        const POINT q = RowPoint(late, 1);
        GlideTo(q.x, p.y);
        GlideTo(q.x, q.y);
        LeftClick();
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(kLateTwoId, out.result);
}

TEST_F(TallMenus, ATallSubmenuFillsTheWorkAreaAndScrollsOnItsOwn) {
    const RECT work = CurrentWorkArea();
    Outcome out = Run([&] {
        if (!WaitShown(root)) return;
        const POINT p = RowPoint(root, RootIndex(kProgramsEntry));
        GlideTo(p.x, p.y);
        qtest::LeftDown();
        qtest::LeftUp();
        if (!WaitShown(programs)) return;
        const RECT r = WindowRect(programs.Window());
        EXPECT_TRUE(programs.Rows().Scrolls());
        EXPECT_EQ(work.top, r.top);
        EXPECT_EQ(work.bottom, r.bottom);
        EXPECT_EQ(WindowRect(root.Window()).left + root.Rows().Width() - 3, r.left);

        const POINT q = RowPoint(programs, RootIndex(10));
        GlideTo(q.x, p.y);
        GlideTo(q.x, q.y);
        TurnWheel(-2 * kEntries);
        Settle();
        EXPECT_TRUE(Shown(programs, RootIndex(kEntries)));
        EXPECT_EQ(0, root.Rows().FirstRow()) << "the parent did not scroll";
        EXPECT_EQ(RootIndex(kProgramsEntry), root.Rows().HotIndex());
        Tap(VK_HOME);
        ExpectHot(programs, RootIndex(1));
        EXPECT_EQ(0, programs.Rows().FirstRow());
        Tap(VK_END);
        ExpectHot(programs, RootIndex(kEntries));
        const POINT last = RowPoint(programs, RootIndex(kEntries));
        GlideTo(last.x, last.y);
        LeftClick();
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(ProgramId(kEntries), out.result);
    EXPECT_EQ(0, wheels.WhileMenuShown());
}

TEST_F(TallMenus, TheContextMenuOpensAtTheVisibleRowOfTheEntryItActsOn) {
    Outcome out = Run([&] {
        if (!WaitShown(root)) return;
        Tap(VK_END);
        for (int i = 0; i < 10; ++i)
            Tap(VK_UP);
        const int index = RootIndex(kEntries - 10);
        ExpectHot(root, index);
        Tap(VK_APPS);
        if (!WaitShown(context)) return;
        EXPECT_EQ(WindowRect(root.Window()).left + 8, WindowRect(context.Window()).left);
        EXPECT_EQ(WindowRect(root.Window()).top + root.Rows().Item(index)->top + 4,
                  WindowRect(context.Window()).top);
        Type('p');
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(ItemId(kEntries - 10), out.result);
    EXPECT_EQ(kPropertiesCmd, out.contextCommand);
}

TEST_F(TallMenus, ARightClickOnAScrolledEntryActsOnThatEntry) {
    Outcome out = Run([&] {
        if (!WaitShown(root)) return;
        const POINT p = RowPoint(root, RootIndex(10));
        GlideTo(p.x, p.y);
        TurnWheel(-10);
        Settle();
        const int index = RootIndex(45);
        EXPECT_TRUE(Shown(root, index));
        const POINT q = RowPoint(root, index);
        GlideTo(q.x, q.y - 1);
        GlideTo(q.x, q.y);
        qtest::RightDown();
        qtest::RightUp();
        if (!WaitShown(context)) return;
        const POINT d = RowPoint(context, kDelete);
        GlideTo(d.x, d.y);
        LeftClick();
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(ItemId(45), out.result);
    EXPECT_EQ(kDeleteCmd, out.contextCommand);
}
