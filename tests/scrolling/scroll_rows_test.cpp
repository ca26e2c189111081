// Which rows of a scrolling menu show between its bands: whole entries only,
// from the first row on, and how far the menu can scroll.
#include <gtest/gtest.h>
#include <vector>
#include "flatmenu/scroll_rows.h"

namespace {
// A titled menu: title (19), its line (5), then `entries` ordinary entries
// with a separator (5) after every tenth.
std::vector<FlatMenuItem> TitledMenu(int entries) {
    std::vector<FlatMenuItem> items;
    FlatMenuItem entry;
    entry.height = 19;
    FlatMenuItem line;
    line.height = 5;
    line.flags = fpmSeparator;
    items.push_back(entry);
    items.push_back(line);
    for (int i = 1; i <= entries; ++i) {
        items.push_back(entry);
        if (i % 10 == 0 && i < entries) items.push_back(line);
    }
    return items;
}

std::vector<FlatMenuItem> PlainMenu(int entries) {
    FlatMenuItem entry;
    entry.height = 19;
    return std::vector<FlatMenuItem>(entries, entry);
}
} // namespace

TEST(ScrollRows, RowsAreLaidOutFromTheFirstRowOnAndAboveIt) {
    std::vector<FlatMenuItem> items = TitledMenu(12);
    LayOutRowsFrom(items, 0, 13);
    EXPECT_EQ(13, items[0].top);
    EXPECT_EQ(32, items[1].top);
    EXPECT_EQ(37, items[2].top);
    EXPECT_EQ(37 + 10 * 19, items[12].top) << "the separator after the tenth entry";
    EXPECT_EQ(37 + 10 * 19 + 5, items[13].top);

    LayOutRowsFrom(items, 3, 13);
    EXPECT_EQ(13, items[3].top);
    EXPECT_EQ(13 - 19, items[2].top);
    EXPECT_EQ(13 - 19 - 5, items[1].top);
    EXPECT_EQ(13 - 19 - 5 - 19, items[0].top) << "rows above the view lie above it";
    EXPECT_EQ(13 + 19, items[4].top);
}

TEST(ScrollRows, OnlyEntriesThatFitWholeAreShown) {
    const std::vector<FlatMenuItem> items = PlainMenu(60);
    EXPECT_EQ(4, LastRowShown(items, 0, 100)) << "five rows of 19 fit into 100, not six";
    EXPECT_EQ(4, LastRowShown(items, 0, 95));
    EXPECT_EQ(3, LastRowShown(items, 0, 94));
    EXPECT_EQ(24, LastRowShown(items, 20, 100));
    EXPECT_EQ(59, LastRowShown(items, 57, 100)) << "the menu ends first";
    EXPECT_EQ(9, LastRowShown(items, 10, 18)) << "not even the first row fits";

    const std::vector<FlatMenuItem> titled = TitledMenu(30);
    // Title, line and entries 1 to 10 are 24 + 190 high; the next line fits
    // into 219, the entry after it does not.
    EXPECT_EQ(12, LastRowShown(titled, 0, 219));
    EXPECT_EQ(11, LastRowShown(titled, 0, 218));
}

TEST(ScrollRows, TheMenuScrollsUntilItsLastEntryShows) {
    EXPECT_EQ(55, LastFirstRow(PlainMenu(60), 100));
    EXPECT_EQ(55, LastFirstRow(PlainMenu(60), 113));
    EXPECT_EQ(54, LastFirstRow(PlainMenu(60), 114));
    EXPECT_EQ(0, LastFirstRow(PlainMenu(5), 100)) << "a menu that fits does not scroll";
    EXPECT_EQ(0, LastFirstRow(std::vector<FlatMenuItem>(), 100));
    EXPECT_EQ(59, LastFirstRow(PlainMenu(60), 10)) << "no row fits: the last one at least";

    const std::vector<FlatMenuItem> titled = TitledMenu(30);
    const int last = static_cast<int>(titled.size()) - 1;
    EXPECT_EQ(last, LastRowShown(titled, LastFirstRow(titled, 300), 300));
    EXPECT_EQ(last - 1, LastRowShown(titled, LastFirstRow(titled, 300) - 1, 300));
}

TEST(ScrollRows, AnEntryBelowTheViewBecomesItsLastRow) {
    const std::vector<FlatMenuItem> items = PlainMenu(60);
    EXPECT_EQ(26, FirstRowEndingWith(items, 30, 100));
    EXPECT_EQ(30, LastRowShown(items, FirstRowEndingWith(items, 30, 100), 100));
    EXPECT_EQ(0, FirstRowEndingWith(items, 2, 100)) << "near the top: from the top";
    EXPECT_EQ(0, FirstRowEndingWith(items, 99, 100)) << "no such entry";
    EXPECT_EQ(0, FirstRowEndingWith(items, -1, 100));
}
