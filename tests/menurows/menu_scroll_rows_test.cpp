// The rows of a menu taller than its window: which show between the bands,
// how far they scroll and what lies under a point while they do. No window
// is involved.
#include <gtest/gtest.h>
#include "flatmenu/menu_rows.h"

namespace {
const int kWindowHeight = 126; // rows between 13 and 113: five entries of 19

MenuRows Plain(int entries) {
    MenuRows rows;
    FlatMenuItem item;
    item.text = "Entry";
    for (int i = 0; i < entries; ++i) {
        item.commandId = i + 1;
        rows.Append(item);
    }
    rows.Measure([](const FlatMenuItem&) { return 60; });
    return rows;
}

MenuRows Scrolled(int entries) {
    MenuRows rows = Plain(entries);
    rows.SetUpView(true, kWindowHeight);
    return rows;
}
} // namespace

TEST(MenuRowsScroll, AScrollingMenuShowsWholeRowsBetweenItsBands) {
    const MenuRows rows = Scrolled(30);
    EXPECT_TRUE(rows.Scrolls());
    EXPECT_EQ(0, rows.FirstRow());
    EXPECT_EQ(13, rows.RowAreaTop()) << "below the frame and the top band";
    EXPECT_EQ(113, rows.RowAreaBottom()) << "above the bottom band and the frame";
    EXPECT_EQ(13, rows.Item(0)->top) << "the first row starts at the row area";
    EXPECT_EQ(4, rows.LastRowShown());
    EXPECT_TRUE(rows.RowShown(4));
    EXPECT_FALSE(rows.RowShown(5)) << "a row that fits in part does not show";
    const RowRect area = rows.RowArea();
    EXPECT_EQ(1, area.left);
    EXPECT_EQ(rows.Width() - 1, area.right);
    EXPECT_EQ(13, area.top);
    EXPECT_EQ(113, area.bottom);
}

TEST(MenuRowsScroll, AMenuThatFitsShowsEveryRowWhereMeasured) {
    MenuRows rows = Plain(4);
    rows.SetUpView(false, 3 + 4 * 19 + 2);
    EXPECT_FALSE(rows.Scrolls());
    EXPECT_EQ(3, rows.Item(0)->top);
    EXPECT_EQ(3, rows.LastRowShown());
    EXPECT_TRUE(rows.RowShown(3));
    EXPECT_FALSE(rows.CanScroll(1));
    EXPECT_FALSE(rows.CanScroll(-1));
    EXPECT_EQ(0, rows.ScrollBandAt(rows.Width() / 2, 5)) << "no bands";
}

TEST(MenuRowsScroll, ItScrollsUntilTheLastEntryShowsAndNoFurther) {
    MenuRows rows = Scrolled(30);
    EXPECT_EQ(25, rows.LastFirstRow());
    EXPECT_FALSE(rows.CanScroll(-1));
    EXPECT_TRUE(rows.CanScroll(1));

    rows.ShowFrom(99);
    EXPECT_EQ(25, rows.FirstRow()) << "clamped to the last first row";
    EXPECT_EQ(29, rows.LastRowShown());
    EXPECT_EQ(13, rows.Item(25)->top);
    EXPECT_EQ(13 - 19, rows.Item(24)->top) << "rows above the view lie above it";
    EXPECT_TRUE(rows.CanScroll(-1));
    EXPECT_FALSE(rows.CanScroll(1));

    rows.ShowFrom(-3);
    EXPECT_EQ(0, rows.FirstRow());
    EXPECT_EQ(7, rows.ClampFirstRow(7));
}

TEST(MenuRowsScroll, AHotEntryScrolledOutOfViewStopsBeingHot) {
    MenuRows rows = Scrolled(30);
    rows.SetHotIndex(7);
    EXPECT_FALSE(rows.ShowFrom(5)) << "entry 7 still shows";
    EXPECT_EQ(7, rows.HotIndex());
    EXPECT_TRUE(rows.ShowFrom(8));
    EXPECT_EQ(-1, rows.HotIndex());
    EXPECT_FALSE(rows.ShowFrom(0)) << "nothing was hot";
}

TEST(MenuRowsScroll, OnlyRowsThatShowCanBeHit) {
    MenuRows rows = Scrolled(30);
    rows.ShowFrom(5); // entries 5 to 9 show, 5 from y 13
    const RowRect client = {0, 0, rows.Width(), kWindowHeight};
    struct Case {
        int y, expected;
        const char* what;
    } cases[] = {
        {12, -1, "the top band, over a row hidden under it"},
        {13, -1, "the first row's top row"},
        {14, 5, "the first row that shows"},
        {107, 9, "the last row that shows whole"},
        {112, -1, "a row that shows in part"},
        {113, -1, "the bottom band"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, rows.HitTest(30, c.y, client)) << c.what;
}

TEST(MenuRowsScroll, TheBandsLieInsideTheFrameAboveAndBelowTheRows) {
    const MenuRows rows = Scrolled(30);
    const int mid = rows.Width() / 2;
    struct Case {
        int x, y, expected;
        const char* what;
    } cases[] = {
        {mid, 1, -1, "the top band's first row"},
        {mid, 12, -1, "its last row"},
        {mid, 0, 0, "the frame"},
        {mid, 13, 0, "the rows"},
        {mid, 112, 0, "the rows' last pixel row"},
        {mid, 113, 1, "the bottom band"},
        {mid, 124, 1, "its last row"},
        {mid, 125, 0, "the frame below"},
        {0, 5, 0, "the left frame"},
        {1, 5, -1, "just inside it"},
        {rows.Width() - 1, 5, 0, "the right frame"},
        {rows.Width() - 2, 120, 1, "just inside it"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, rows.ScrollBandAt(c.x, c.y)) << c.what;
}

TEST(MenuRowsScroll, AnEntryOutOfViewIsShownFromTheRowThatBringsItIn) {
    MenuRows rows = Scrolled(30);
    rows.ShowFrom(5);
    EXPECT_EQ(5, rows.FirstRowShowing(7)) << "shown already: the view stays";
    EXPECT_EQ(2, rows.FirstRowShowing(2)) << "above: it becomes the first row";
    EXPECT_EQ(0, rows.FirstRowShowing(0));
    EXPECT_EQ(16, rows.FirstRowShowing(20)) << "below: it becomes the last row";
    EXPECT_EQ(25, rows.FirstRowShowing(29)) << "the last entry: the menu's end shows";
}

TEST(MenuRowsScroll, TheFirstEntryToChooseBringsInTheMenusTop) {
    MenuRows rows;
    FlatMenuItem title;
    title.text = "Title";
    title.flags = fpmDisabled | fpmBold;
    FlatMenuItem line;
    line.flags = fpmSeparator;
    rows.Append(title);
    rows.Append(line);
    for (int i = 0; i < 30; ++i) {
        FlatMenuItem entry;
        entry.text = "Entry";
        entry.commandId = i + 1;
        rows.Append(entry);
    }
    rows.Measure([](const FlatMenuItem&) { return 60; });
    rows.SetUpView(true, kWindowHeight);
    rows.ShowFrom(10);
    EXPECT_EQ(0, rows.FirstRowShowing(2)) << "title and line show with the first entry";
    EXPECT_EQ(3, rows.FirstRowShowing(3));
}

TEST(MenuRowsScroll, TheWheelMovesTheFirstRowByNotchesOfRowsOrPages) {
    MenuRows rows = Scrolled(30);
    rows.ShowFrom(10);
    EXPECT_EQ(13, rows.FirstRowAfterWheel(-1, 3, false)) << "towards the user: down";
    EXPECT_EQ(7, rows.FirstRowAfterWheel(1, 3, false)) << "away from the user: up";
    EXPECT_EQ(0, rows.FirstRowAfterWheel(5, 3, false)) << "not above the top";
    EXPECT_EQ(30, rows.FirstRowAfterWheel(-20, 3, false)) << "within the entries";
    EXPECT_EQ(0, rows.FirstRowAfterWheel(1, 1000, false)) << "at most every entry a notch";
    EXPECT_EQ(15, rows.FirstRowAfterWheel(-1, 0, true)) << "a page: the rows that show";
}
