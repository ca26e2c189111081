// What a typed text finds, with no window: the groups and their order, case
// and accents, the rows a search shows, and taking text back.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "flatmenu/menu_search.h"
#include "flatmenu/search_match.h"

namespace {
FlatMenuItem Entry(const char* text, int commandId, const char* targetName = "") {
    FlatMenuItem item;
    item.text = text;
    item.commandId = commandId;
    item.targetName = targetName;
    return item;
}

// The command ids of what `text` finds among `entries`, in the order shown.
std::vector<int> Found(const std::vector<FlatMenuItem>& entries, const std::wstring& text) {
    MenuSearch search;
    for (const FlatMenuItem& entry : entries)
        search.AddCandidate(entry, nullptr, L"");
    MenuRows rows;
    search.Begin(rows);
    for (wchar_t c : text)
        search.Type(c);
    std::vector<int> ids;
    for (int i : search.Matches())
        ids.push_back(entries[i].commandId);
    return ids;
}
} // namespace

TEST(SearchMatch, GroupsComeInOrderAndMenuOrderHoldsWithinEach) {
    const std::vector<FlatMenuItem> entries = {
        Entry("Keynote", 1),            // holds "note"
        Entry("Big Note", 2),           // a later word starts with it
        Entry("Notepad", 3),            // starts with it
        Entry("Editor", 4, "note"),     // its target's file name starts with it
        Entry("Notes", 5),              // starts with it, later in the menu
        Entry("Calculator", 6, "calc"), // nothing
        Entry("Sticky-notes", 7),       // a word after a hyphen
        Entry("Denote", 8),             // holds it
    };
    EXPECT_EQ((std::vector<int>{3, 5, 2, 7, 1, 8, 4}), Found(entries, L"note"));
}

TEST(SearchMatch, CaseAccentsAndMnemonicMarkersDoNotCount) {
    const std::vector<FlatMenuItem> entries = {Entry("Caf\xE9 Au Lait", 1), Entry("&Notepad", 2),
                                               Entry("\xC9"
                                                     "diteur",
                                                     3)};
    EXPECT_EQ(std::vector<int>{1}, Found(entries, L"CAFE"));
    EXPECT_EQ(std::vector<int>{1}, Found(entries, L"caf\u00E9"));
    EXPECT_EQ(std::vector<int>{1}, Found(entries, L"au l"));
    EXPECT_EQ(std::vector<int>{2}, Found(entries, L"notep")) << "the & is not part of the name";
    EXPECT_EQ(std::vector<int>{3}, Found(entries, L"edit"));
    EXPECT_EQ(std::vector<int>{3}, Found(entries, L"\u00C9DIT"));
    EXPECT_EQ(std::vector<int>{}, Found(entries, L"\u03A9"))
        << "beyond the code page: matched as typed";
    EXPECT_EQ(L"ecole", FoldForSearch(L"\u00C9cole"));
}

TEST(SearchMatch, TheTargetCountsOnlyByTheStartOfItsFileName) {
    const std::vector<FlatMenuItem> entries = {Entry("Editor", 1, "notepad"),
                                               Entry("Writer", 2, "wordpad")};
    EXPECT_EQ(std::vector<int>{1}, Found(entries, L"note"));
    EXPECT_EQ(std::vector<int>{}, Found(entries, L"pad")) << "not anywhere in the file name";
}

TEST(MenuSearchRows, ResultsFollowTheTitleAndTheSearchRowAndTheOwnEntriesComeBack) {
    MenuRows rows;
    FlatMenuItem title = Entry("Quoril 2.0", 0);
    title.flags = fpmDisabled | fpmBold;
    FlatMenuItem line;
    line.flags = fpmSeparator;
    rows.Append(title);
    rows.Append(line);
    rows.Append(Entry("&Alpha", 1));
    rows.Append(Entry("Tools", 2));
    MenuSearch search;
    search.AddCandidate(*rows.Item(2), nullptr, L"");
    search.AddCandidate(*rows.Item(3), nullptr, L"");
    search.AddCandidate(Entry("Games", 3), nullptr, L"Tools");
    search.Begin(rows);
    search.Type(L'a');
    search.ShowResults(rows);
    ASSERT_EQ(5, rows.Count()) << "\"Tools\" holds no a";
    EXPECT_EQ("Quoril 2.0", rows.Item(0)->text);
    EXPECT_TRUE(rows.Item(1)->flags & fpmSeparator);
    EXPECT_EQ(fpmSearchField, rows.Item(2)->flags);
    EXPECT_EQ(L"a", rows.Item(2)->fieldText);
    EXPECT_EQ(2, search.SearchRow());
    EXPECT_EQ("&Alpha", rows.Item(3)->text);
    EXPECT_EQ("Games", rows.Item(4)->text);
    EXPECT_EQ(L"Tools", rows.Item(4)->detail);
    EXPECT_EQ(3, rows.NextChoosable(-1, 1)) << "the search row is never hot";
    EXPECT_EQ(3, rows.NextChoosable(4, 1)) << "moving wraps among the results";

    search.Type(L'x');
    search.ShowResults(rows);
    ASSERT_EQ(4, rows.Count());
    EXPECT_EQ(QUORIL_NO_MATCH_TEXT, rows.Item(3)->text);
    EXPECT_EQ(-1, rows.NextChoosable(-1, 1)) << "nothing to choose";

    search.End(rows);
    EXPECT_FALSE(search.Active());
    ASSERT_EQ(4, rows.Count());
    EXPECT_EQ("Tools", rows.Item(3)->text);
}

TEST(MenuSearchRows, BackspaceTakesOffOneCharacterOrAWholeSurrogatePair) {
    MenuSearch search;
    MenuRows rows;
    search.Begin(rows);
    for (wchar_t c : std::wstring(L"a\xD83D\xDE00"
                                  L"b"))
        search.Type(c);
    EXPECT_TRUE(search.EraseLast());
    EXPECT_EQ(L"a\xD83D\xDE00", search.Text());
    EXPECT_TRUE(search.EraseLast());
    EXPECT_EQ(L"a", search.Text());
    EXPECT_TRUE(search.EraseLast());
    EXPECT_FALSE(search.EraseLast()) << "nothing left to take";
}
