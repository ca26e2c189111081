// The rows of a menu that fits: measuring, hitting and moving between the
// entries that can be chosen. No window is involved.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "flatmenu/menu_rows.h"

namespace {
FlatMenuItem Entry(const char* text, int flags = 0, int commandId = 1) {
    FlatMenuItem item;
    item.text = text;
    item.flags = flags;
    item.commandId = commandId;
    return item;
}

FlatMenuItem Separator() {
    return Entry("", fpmSeparator, 0);
}

// Text is 7 pixels a character, 9 in bold.
int TextWidth(const FlatMenuItem& item) {
    return static_cast<int>(item.text.size()) * ((item.flags & fpmBold) ? 9 : 7);
}

MenuRows Measured(const std::vector<FlatMenuItem>& items) {
    MenuRows rows;
    for (const FlatMenuItem& item : items)
        rows.Append(item);
    rows.Measure(TextWidth);
    return rows;
}

// Index:  0 title    1 line    2 Alpha   3 Bravo (grayed)   4 Charlie
//         5 line     6 Delta (disabled)   7 Echo
std::vector<FlatMenuItem> TitledMenu() {
    return {Entry("Title", fpmDisabled | fpmBold, 0),
            Separator(),
            Entry("Alpha", 0, 101),
            Entry("Bravo", fpmGrayed, 102),
            Entry("Charlie", 0, 103),
            Separator(),
            Entry("Delta", fpmDisabled, 104),
            Entry("Echo", 0, 0)};
}
} // namespace

TEST(MenuRowsMeasure, EntriesStackFromTheTopMarginAndTheWidestTextSetsTheWidth) {
    std::vector<std::string> asked;
    MenuRows rows;
    for (const FlatMenuItem& item : TitledMenu())
        rows.Append(item);
    const int height = rows.Measure([&](const FlatMenuItem& item) {
        asked.push_back(item.text);
        return TextWidth(item);
    });
    const int tops[] = {3, 22, 27, 46, 65, 84, 89, 108};
    const int heights[] = {19, 5, 19, 19, 19, 5, 19, 19};
    ASSERT_EQ(8, rows.Count());
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(tops[i], rows.Item(i)->top) << "entry " << i;
        EXPECT_EQ(heights[i], rows.Item(i)->height) << "entry " << i;
    }
    EXPECT_EQ(127, height) << "the bottom of the last entry";
    EXPECT_EQ(7 * 7 + 46, rows.Width()) << "Charlie is wider than the bold title";
    EXPECT_EQ((std::vector<std::string>{"Title", "Alpha", "Bravo", "Charlie", "Delta", "Echo"}),
              asked)
        << "separators are not measured";
}

TEST(MenuRowsMeasure, EmptyAndSeparatorOnlyMenusAre46Wide) {
    MenuRows empty;
    EXPECT_EQ(3, empty.Measure(TextWidth));
    EXPECT_EQ(46, empty.Width());

    const MenuRows lines = Measured({Separator(), Separator(), Separator()});
    EXPECT_EQ(46, lines.Width());
    EXPECT_EQ(13, lines.Item(2)->top);
}

TEST(MenuRowsMeasure, ABoldLabelMeasuredBoldCanSetTheWidth) {
    const MenuRows rows = Measured({Entry("Wide label"), Entry("Wide label", fpmBold)});
    EXPECT_EQ(10 * 9 + 46, rows.Width());
}

TEST(MenuRowsMeasure, RowBoundsSpanTheMenusWidth) {
    const MenuRows rows = Measured(TitledMenu());
    const RowRect alpha = rows.RowBounds(2);
    EXPECT_EQ(0, alpha.left);
    EXPECT_EQ(27, alpha.top);
    EXPECT_EQ(rows.Width(), alpha.right);
    EXPECT_EQ(46, alpha.bottom);
    const RowRect none = rows.RowBounds(8);
    EXPECT_EQ(none.top, none.bottom) << "no entry, no rectangle";
}

TEST(MenuRowsList, FindsByPositionOrFirstCommandId) {
    MenuRows rows = Measured({Entry("A", 0, 9), Entry("B", 0, 9), Entry("C", 0, 4)});
    EXPECT_EQ("B", rows.Find(1, true)->text);
    EXPECT_EQ(nullptr, rows.Find(3, true));
    EXPECT_EQ("A", rows.Find(9, false)->text) << "the first of two with the id";
    EXPECT_EQ(nullptr, rows.Find(5, false));
    EXPECT_EQ(nullptr, rows.Item(-1));
    EXPECT_EQ(nullptr, rows.Item(3));

    rows.SetHotIndex(1);
    rows.Clear();
    EXPECT_EQ(0, rows.Count());
    EXPECT_EQ(-1, rows.HotIndex()) << "no entries, none hot";
    EXPECT_EQ(nullptr, rows.Find(0, true));
}

TEST(MenuRowsHit, PointsAtTheEdgesOfRowsAndOfTheMenu) {
    MenuRows rows = Measured(TitledMenu());
    const RowRect client = {0, 0, rows.Width(), 127 + 2};
    struct Case {
        int x, y, expected;
        const char* what;
    } cases[] = {
        {30, 28, 2, "just below Alpha's top"},
        {30, 27, -1, "Alpha's top row belongs to no entry"},
        {30, 45, 2, "Alpha's last row"},
        {30, 46, -1, "Bravo's top row"},
        {30, 47, 3, "a grayed entry is hit"},
        {30, 23, 1, "a separator is hit"},
        {30, 90, -1, "a disabled entry is never hit"},
        {30, 10, -1, "the disabled title"},
        {2, 30, -1, "x 2 lies in the dead band"},
        {3, 30, 2, "x 3 is inside"},
        {30, 2, -1, "y 2 lies in the dead band"},
        {client.right, 30, 2, "the right edge is inside"},
        {client.right + 1, 30, -1, "past the right edge"},
        {30, 127, -1, "the bottom margin holds no entry"},
        {30, 126, 7, "Echo's last row"},
        {30, client.bottom + 1, -1, "below the menu"},
        {-5, -5, -1, "above and left of the menu"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, rows.HitTest(c.x, c.y, client)) << c.what;
}

TEST(MenuRowsHit, InsideForAClickIsPastTheDeadBandAndWithinTheClient) {
    const RowRect client = {0, 0, 100, 50};
    const MenuRows rows; // at 96 DPI
    EXPECT_TRUE(rows.Inside(3, 3, client));
    EXPECT_TRUE(rows.Inside(100, 50, client));
    EXPECT_FALSE(rows.Inside(2, 20, client));
    EXPECT_FALSE(rows.Inside(20, 2, client));
    EXPECT_FALSE(rows.Inside(101, 20, client));
    EXPECT_FALSE(rows.Inside(20, 51, client));
}

TEST(MenuRowsChoosing, OnlyPlainEntriesCanBeChosenByTheKeys) {
    const MenuRows rows = Measured(TitledMenu());
    const bool expected[] = {false, false, true, false, true, false, false, true};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(expected[i], rows.IsChoosable(i)) << "entry " << i;
    EXPECT_FALSE(rows.IsChoosable(-1));
    EXPECT_FALSE(rows.IsChoosable(8));
}

TEST(MenuRowsChoosing, NextChoosableSkipsAndWrapsAround) {
    const MenuRows rows = Measured(TitledMenu());
    struct Case {
        int from, step, expected;
        const char* what;
    } cases[] = {
        {-1, 1, 2, "from none, down: the first"},
        {-1, -1, 7, "from none, up: the last"},
        {2, 1, 4, "past a grayed entry"},
        {4, 1, 7, "past a separator and a disabled entry"},
        {7, 1, 2, "from the last, down: wraps to the first"},
        {2, -1, 7, "from the first, up: wraps to the last"},
        {3, 1, 4, "from a grayed entry the mouse made hot"},
        {1, -1, 7, "from a separator, up past the title: wraps"},
        {99, 1, 2, "from no such entry: as from none"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, rows.NextChoosable(c.from, c.step)) << c.what;

    const MenuRows nothing = Measured({Entry("Title", fpmDisabled, 0), Separator()});
    EXPECT_EQ(-1, nothing.NextChoosable(-1, 1));
    EXPECT_EQ(-1, nothing.NextChoosable(0, -1));
    EXPECT_EQ(-1, MenuRows().NextChoosable(-1, 1));
    const MenuRows single = Measured({Entry("Only")});
    EXPECT_EQ(0, single.NextChoosable(0, 1)) << "the only entry follows itself";
}

TEST(MenuRowsChoosing, TheHotCommandIsMinusOneWithoutAnEntryOrAnId) {
    MenuRows rows = Measured(TitledMenu());
    EXPECT_EQ(-1, rows.HotCommand()) << "nothing hot";
    rows.SetHotIndex(4);
    EXPECT_EQ(103, rows.HotCommand());
    rows.SetHotIndex(7);
    EXPECT_EQ(-1, rows.HotCommand()) << "id 0";
    rows.SetHotIndex(1);
    EXPECT_EQ(-1, rows.HotCommand()) << "a hot separator";
}
