// A menu taller than the work area takes the work area's height and scrolls:
// by resting on its bands, by the wheel and by the keys, and everything
// that finds entries follows the scrolled rows. What keys and the wheel do is
// written as tables of steps: an input, then the innermost menu and its hot
// entry.
#include "tests/scrolling/tall_menu_fixture.h"

using namespace scrolltest;
using qtest::Char;
using qtest::kAnyRow;
using qtest::kClosed;
using qtest::Key;
using qtest::kNoHot;
using qtest::MoveTo;
using qtest::Opened;
using qtest::Snapshot;
using qtest::Step;
using qtest::Wheel;
using qtest::WindowRect;

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
    return qtest::WaitFor([&] {
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
    qtest::ModalOutcome out = Run([&] {
        if (!qtest::WaitShown(root)) return;
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
            qtest::PressKey(VK_ESCAPE);
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
        shot.Save(qtest::ProgramDirectory() + "scrolled-menu-top.bmp");
        qtest::PressKey(VK_ESCAPE);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
}

TEST_F(TallMenus, TheWheelScrollsRowsANotchToTheLastEntryWhichAClickChooses) {
    const int rows = qtest::RowsPerNotch();
    POINT p = {};
    int end = -1;
    const qtest::ModalOutcome out = RunTable({
        {Opened(), kRootMenu, kNoHot},
        {MoveTo("entry 10",
                [&] {
                    p = RowPoint(root, RootIndex(10));
                    return p;
                }),
         kRootMenu, RootIndex(10)},
        {Wheel(-1), kRootMenu, kAnyRow,
         [&] {
             EXPECT_EQ(rows, root.Rows().FirstRow());
             const RECT r = WindowRect(root.Window());
             EXPECT_EQ(EntryAtRow(root, p.y - r.top), root.Rows().HotIndex())
                 << "the entry now under the pointer is hot";
         }},
        {Wheel(-2 * kEntries), kRootMenu, kAnyRow,
         [&] {
             EXPECT_TRUE(qtest::RowShown(root, RootIndex(kEntries))) << "the last entry shows";
             end = root.Rows().FirstRow();
         }},
        {Wheel(-1), kRootMenu, kAnyRow,
         [&] {
             EXPECT_EQ(end, root.Rows().FirstRow()) << "never past the end";
             EXPECT_TRUE(WaitBands(root, true, false)) << "top band active, bottom band grayed";
         }},
        {Wheel(1), kRootMenu, kAnyRow,
         [&] {
             EXPECT_EQ(end - rows, root.Rows().FirstRow()) << "away from the user, back up";
             EXPECT_TRUE(WaitBands(root, true, true));
         }},
        {Wheel(-1), kRootMenu, kAnyRow},
        {MoveTo("the last entry", [&] { return RowPoint(root, RootIndex(kEntries)); }), kRootMenu,
         RootIndex(kEntries)},
        {qtest::LeftClick(), kClosed, kNoHot},
    });
    EXPECT_EQ(ItemId(kEntries), out.result);
}

TEST_F(TallMenus, TheWheelNeverScrollsAMenuThatFitsNorAnythingAwayFromTheMenus) {
    const int lateIndex = RootIndex(kLateEntry);
    int rootFirst = -1, lateTop = -1;
    const qtest::ModalOutcome out = RunTable({
        {Opened(), kRootMenu, kNoHot},
        {Key(VK_END), kRootMenu, RootIndex(kEntries)},
        {Key(VK_UP), kRootMenu, RootIndex(kEntries - 1)},
        {Key(VK_UP), kRootMenu, RootIndex(kEntries - 2)},
        {Key(VK_UP), kRootMenu, lateIndex},
        {Key(VK_RIGHT), kLateMenu, 0,
         [&] {
             rootFirst = root.Rows().FirstRow();
             lateTop = late.Rows().Item(0)->top;
         }},
        {MoveTo("Late two", [&] { return RowPoint(late, 1); }), kLateMenu, 1},
        {Wheel(-3), kLateMenu, 1},
        {Wheel(2), kLateMenu, 1,
         [&] {
             EXPECT_FALSE(late.Rows().Scrolls());
             EXPECT_EQ(lateTop, late.Rows().Item(0)->top) << "the short submenu did not move";
             EXPECT_EQ(rootFirst, root.Rows().FirstRow())
                 << "nor its parent, away from the pointer";
         }},
        {MoveTo("a corner away from every menu",
                [] {
                    return POINT{GetSystemMetrics(SM_CXSCREEN) - 20,
                                 GetSystemMetrics(SM_CYSCREEN) - 20};
                }),
         kLateMenu, kAnyRow},
        {Wheel(5), kLateMenu, kAnyRow,
         [&] {
             EXPECT_EQ(rootFirst, root.Rows().FirstRow())
                 << "a wheel away from every menu scrolls none";
         }},
        {Key(VK_ESCAPE), kRootMenu, lateIndex},
        {Key(VK_ESCAPE), kClosed, kNoHot},
    });
    EXPECT_EQ(0, out.result);
}

TEST_F(TallMenus, RestingOnABandScrollsRowByRowToTheEndAndAClickOnItChoosesNothing) {
    qtest::ModalOutcome out = Run([&] {
        if (!qtest::WaitShown(root)) return;
        const int last = RootIndex(kEntries);
        POINT band = BottomBandPoint(root);
        qtest::GlideTo(band.x, band.y);
        std::vector<int> seen;
        EXPECT_TRUE(qtest::WaitFor(
            [&] {
                seen.push_back(root.Rows().FirstRow());
                return qtest::RowShown(root, last);
            },
            20000))
            << "the bottom band did not scroll to the end";
        for (size_t i = 1; i < seen.size(); ++i)
            EXPECT_LE(seen[i - 1], seen[i]) << "the bottom band only scrolls down";
        EXPECT_EQ(-1, root.Rows().HotIndex()) << "nothing is hot on a band";
        EXPECT_TRUE(WaitBands(root, true, false));

        qtest::ClickHere();
        EXPECT_TRUE(qtest::SyncInput());
        EXPECT_NE(nullptr, root.Window()) << "a click on a band keeps the menu open";
        EXPECT_EQ(-1, root.Rows().HotIndex());

        band = TopBandPoint(root);
        qtest::GlideTo(band.x, band.y);
        EXPECT_TRUE(qtest::WaitFor([&] { return root.Rows().FirstRow() == 0; }, 20000))
            << "the top band did not scroll back to the top";
        qtest::ClickHere();
        EXPECT_TRUE(qtest::SyncInput());
        EXPECT_NE(nullptr, root.Window());
        EXPECT_TRUE(WaitBands(root, false, true));

        band = BottomBandPoint(root);
        qtest::GlideTo(band.x, band.y);
        qtest::WaitFor([&] { return qtest::RowShown(root, last); }, 20000);
        const POINT p = RowPoint(root, last);
        qtest::GlideTo(p.x, p.y);
        qtest::ClickHere();
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(ItemId(kEntries), out.result);
}

TEST_F(TallMenus, EndHomeAndTheArrowsAtTheEndsReachEveryEntry) {
    const int first = RootIndex(1), last = RootIndex(kEntries);
    const std::vector<Step> ends = {
        {Opened(), kRootMenu, kNoHot},
        {Key(VK_END), kRootMenu, last, [&] { EXPECT_GT(root.Rows().FirstRow(), 0); }},
        {Key(VK_HOME), kRootMenu, first,
         [&] { EXPECT_EQ(0, root.Rows().FirstRow()) << "the title shows again"; }},
        {Key(VK_UP), kRootMenu, last},   // from the top, around to the end
        {Key(VK_DOWN), kRootMenu, first, // from the end, around to the top
         [&] { EXPECT_EQ(0, root.Rows().FirstRow()); }},
    };
    const qtest::ModalOutcome out = RunTable(ends, [&] {
        // Down from the last row that shows scrolls the next one into view.
        const int lastShown = LastShown(root);
        std::vector<Step> down;
        for (int i = first + 1; i < lastShown; ++i)
            down.push_back({Key(VK_DOWN), kRootMenu, i});
        down.push_back(
            {Key(VK_DOWN), kRootMenu, lastShown, [&] { EXPECT_EQ(0, root.Rows().FirstRow()); }});
        down.push_back({Key(VK_DOWN), kRootMenu, lastShown + 1, [&] {
                            EXPECT_GT(root.Rows().FirstRow(), 0);
                            EXPECT_EQ(lastShown + 1, LastShown(root)) << "scrolled just far enough";
                        }});
        down.push_back({Key(VK_END), kRootMenu, last});
        down.push_back({Key(VK_RETURN), kClosed, kNoHot});
        qtest::RunSteps(view, down);
    });
    EXPECT_EQ(ItemId(kEntries), out.result);
}

TEST_F(TallMenus, KeysUnderARestingPointerKeepTheirChoiceAsTheMenuScrolls) {
    POINT p = {};
    const qtest::ModalOutcome out = RunTable({
        {Opened(), kRootMenu, kNoHot},
        {MoveTo("entry 10",
                [&] {
                    p = RowPoint(root, RootIndex(10));
                    return p;
                }),
         kRootMenu, RootIndex(10)},
        {Key(VK_END), kRootMenu, RootIndex(kEntries)},
        {Key(VK_UP), kRootMenu, RootIndex(kEntries - 1)},
        // A real move gives the mouse the lead again.
        {MoveTo("a pixel below where it rests",
                [&] {
                    return POINT{p.x, p.y + 1};
                }),
         kRootMenu, kAnyRow,
         [&] {
             const RECT r = WindowRect(root.Window());
             EXPECT_EQ(EntryAtRow(root, p.y + 1 - r.top), root.Rows().HotIndex());
         }},
        {Key(VK_ESCAPE), kClosed, kNoHot},
    });
    EXPECT_EQ(0, out.result);
}

TEST_F(TallMenus, AnEntryUnderABandIsNeverHot) {
    POINT p = {};
    const qtest::ModalOutcome out = RunTable({
        {Opened(), kRootMenu, kNoHot},
        {MoveTo("entry 20",
                [&] {
                    p = RowPoint(root, RootIndex(20));
                    return p;
                }),
         kRootMenu, RootIndex(20)},
        {Wheel(-4), kRootMenu, kAnyRow, [&] { EXPECT_GT(root.Rows().FirstRow(), 0); }},
        // Just above the first row lies the entry before it, hidden under the band.
        {MoveTo("the top band, over a hidden entry",
                [&] {
                    return POINT{p.x, WindowRect(root.Window()).top + root.Rows().RowAreaTop() - 2};
                }),
         kRootMenu, kNoHot},
        {MoveTo("entry 20 as it shows now", [&] { return RowPoint(root, RootIndex(20)); }),
         kRootMenu, kAnyRow, [&] { EXPECT_NE(-1, root.Rows().HotIndex()); }},
        {MoveTo(
             "the bottom band, over a hidden entry",
             [&] {
                 return POINT{p.x, WindowRect(root.Window()).top + root.Rows().RowAreaBottom() + 1};
             }),
         kRootMenu, kNoHot},
        {MoveTo("a corner away from every menu",
                [] {
                    return POINT{GetSystemMetrics(SM_CXSCREEN) - 20,
                                 GetSystemMetrics(SM_CYSCREEN) - 20};
                }),
         kRootMenu, kAnyRow},
        {Key(VK_ESCAPE), kClosed, kNoHot},
    });
    EXPECT_EQ(0, out.result);
}

TEST_F(TallMenus, ASubmenuOfAScrolledMenuOpensLevelWithItsEntrysRow) {
    qtest::ModalOutcome out = Run([&] {
        if (!qtest::WaitShown(root)) return;
        qtest::PressKey(VK_END);
        EXPECT_TRUE(qtest::SyncInput());
        const int lateIndex = RootIndex(kLateEntry);
        EXPECT_TRUE(qtest::RowShown(root, lateIndex));
        const POINT p = RowPoint(root, lateIndex);
        qtest::GlideTo(p.x, p.y);
        qtest::LeftDown();
        qtest::LeftUp();
        if (!qtest::WaitShown(late)) return;
        EXPECT_EQ(WindowRect(root.Window()).left + root.Rows().Width() - 3,
                  WindowRect(late.Window()).left);
        EXPECT_EQ(WindowRect(root.Window()).top + root.Rows().Item(lateIndex)->top - 3,
                  WindowRect(late.Window()).top)
            << "its first entry level with the visible row of its entry";
        const POINT q = RowPoint(late, 1);
        qtest::GlideTo(q.x, p.y);
        qtest::GlideTo(q.x, q.y);
        qtest::ClickHere();
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(kLateTwoId, out.result);
}

TEST_F(TallMenus, ATallSubmenuFillsTheWorkAreaAndScrollsOnItsOwn) {
    const RECT work = CurrentWorkArea();
    qtest::ModalOutcome out = Run([&] {
        if (!qtest::WaitShown(root)) return;
        const POINT p = RowPoint(root, RootIndex(kProgramsEntry));
        qtest::GlideTo(p.x, p.y);
        qtest::LeftDown();
        qtest::LeftUp();
        if (!qtest::WaitShown(programs)) return;
        const RECT r = WindowRect(programs.Window());
        EXPECT_TRUE(programs.Rows().Scrolls());
        EXPECT_EQ(work.top, r.top);
        EXPECT_EQ(work.bottom, r.bottom);
        EXPECT_EQ(WindowRect(root.Window()).left + root.Rows().Width() - 3, r.left);

        const POINT q = RowPoint(programs, RootIndex(10));
        qtest::GlideTo(q.x, p.y);
        qtest::GlideTo(q.x, q.y);
        qtest::TurnWheel(-2 * kEntries);
        EXPECT_TRUE(qtest::SyncInput());
        EXPECT_TRUE(qtest::RowShown(programs, RootIndex(kEntries)));
        EXPECT_EQ(0, root.Rows().FirstRow()) << "the parent did not scroll";
        EXPECT_EQ(RootIndex(kProgramsEntry), root.Rows().HotIndex());
        qtest::PressKey(VK_HOME);
        ExpectHot(programs, RootIndex(1));
        EXPECT_EQ(0, programs.Rows().FirstRow());
        qtest::PressKey(VK_END);
        ExpectHot(programs, RootIndex(kEntries));
        const POINT last = RowPoint(programs, RootIndex(kEntries));
        qtest::GlideTo(last.x, last.y);
        qtest::ClickHere();
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(ProgramId(kEntries), out.result);
    EXPECT_EQ(0, out.hostWheelMessages);
}

TEST_F(TallMenus, TheContextMenuOpensAtTheVisibleRowOfTheEntryItActsOn) {
    const int index = RootIndex(kEntries - 10);
    std::vector<Step> steps = {{Opened(), kRootMenu, kNoHot},
                               {Key(VK_END), kRootMenu, RootIndex(kEntries)}};
    for (int k = kEntries - 1; k >= kEntries - 10; --k)
        steps.push_back({Key(VK_UP), kRootMenu, RootIndex(k)});
    steps.push_back({Key(VK_APPS), kContextMenu, kOpen, [&] {
                         EXPECT_EQ(WindowRect(root.Window()).left + 8,
                                   WindowRect(context.Window()).left);
                         EXPECT_EQ(WindowRect(root.Window()).top + root.Rows().Item(index)->top + 4,
                                   WindowRect(context.Window()).top);
                     }});
    steps.push_back({Char('p'), kClosed, kNoHot});
    const qtest::ModalOutcome out = RunTable(steps);
    EXPECT_EQ(ItemId(kEntries - 10), out.result);
    EXPECT_EQ(kPropertiesCmd, out.contextCommand);
}

TEST_F(TallMenus, ARightClickOnAScrolledEntryActsOnThatEntry) {
    qtest::ModalOutcome out = Run([&] {
        if (!qtest::WaitShown(root)) return;
        const POINT p = RowPoint(root, RootIndex(10));
        qtest::GlideTo(p.x, p.y);
        qtest::TurnWheel(-10);
        EXPECT_TRUE(qtest::SyncInput());
        const int index = RootIndex(45);
        EXPECT_TRUE(qtest::RowShown(root, index));
        const POINT q = RowPoint(root, index);
        qtest::GlideTo(q.x, q.y - 1);
        qtest::GlideTo(q.x, q.y);
        qtest::RightDown();
        qtest::RightUp();
        if (!qtest::WaitShown(context)) return;
        const POINT d = RowPoint(context, kDelete);
        qtest::GlideTo(d.x, d.y);
        qtest::ClickHere();
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(ItemId(45), out.result);
    EXPECT_EQ(kDeleteCmd, out.contextCommand);
}

TEST_F(TallMenus, ATallListOfSearchResultsScrollsByKeysAndTheWheel) {
    const int firstResult = 3,
              lastResult = firstResult + kEntries; // after the title, line, search row
    const RECT work = CurrentWorkArea();
    const qtest::ModalOutcome out = RunTable(
        {{Opened(), kRootMenu, kNoHot},
         // "&Programs" and its sixty entries hold "gram".
         {qtest::Text("gram", L"gram"), kRootMenu, firstResult,
          [&] {
              EXPECT_EQ(lastResult + 1, root.Rows().Count());
              EXPECT_TRUE(root.Rows().Scrolls()) << "61 results do not fit";
              EXPECT_EQ(work.bottom - work.top, qtest::WindowRect(root.Window()).bottom -
                                                    qtest::WindowRect(root.Window()).top);
              EXPECT_EQ(nullptr, programs.Window()) << "no submenu opened";
          }},
         {Key(VK_END), kRootMenu, lastResult,
          [&] {
              EXPECT_TRUE(qtest::RowShown(root, lastResult)) << "scrolled to the last result";
              EXPECT_EQ("Program 60", root.Rows().Item(lastResult)->text);
              EXPECT_TRUE(L"Programs" == root.Rows().Item(lastResult)->detail);
          }},
         {Key(VK_HOME), kRootMenu, firstResult,
          [&] { EXPECT_EQ(0, root.Rows().FirstRow()) << "back at the top"; }},
         {MoveTo("the results", [&] { return RowPoint(root, firstResult + 5); }), kRootMenu,
          firstResult + 5},
         {Wheel(-1), kRootMenu, kAnyRow,
          [&] { EXPECT_LT(0, root.Rows().FirstRow()) << "the wheel scrolls the results"; }},
         {Key(VK_ESCAPE), kRootMenu, kNoHot,
          [&] { EXPECT_EQ(RootIndex(kEntries) + 1, root.Rows().Count()) << "the own entries"; }},
         {Key(VK_ESCAPE), kClosed, kNoHot}});
    EXPECT_EQ(0, out.result);
}
