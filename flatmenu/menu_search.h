// Type to find in a tree's root: every entry of the tree that can be chosen
// is a candidate; a typed text picks the candidates it matches, which then
// stand in for the root's own entries below its title, after a search row.
// The root's own entries are kept meanwhile and come back when the text is
// gone.
#pragma once
#include <string>
#include <vector>
#include "flatmenu/menu_rows.h"

#define QUORIL_NO_MATCH_TEXT "No items match"

class MenuSearch {
  public:
    // The candidates, added in menu order (depth first, by position):
    // `entry` as its own menu holds it, the strips its icon is in (null for
    // the root's own), and the names of the submenus holding it.
    void AddCandidate(const FlatMenuItem& entry, const MenuStrips* strips,
                      const std::wstring& path);
    bool HasCandidates() const { return !m_candidates.empty(); }
    void ForgetCandidates() { m_candidates.clear(); }

    // Whether results stand in for the root's own entries.
    bool Active() const { return m_active; }
    const std::wstring& Text() const { return m_text; }
    // Keeps the root's own entries and starts with no text.
    void Begin(const MenuRows& rows);
    void Type(wchar_t character);
    // Takes the last character off (a surrogate pair whole); false when the
    // text was empty.
    bool EraseLast();
    // The rows while searching: the root's title and its line as they were,
    // the search row, then the results, or one disabled "No items match".
    void ShowResults(MenuRows& rows) const;
    // The root's own entries again, none hot; the search ends.
    void End(MenuRows& rows);

    // The candidates the text matches, by number, in the order shown.
    std::vector<int> Matches() const;
    // The row of the search row in ShowResults.
    int SearchRow() const { return m_headerRows; }

  private:
    struct Candidate {
        FlatMenuItem result;     // the row a result shows
        std::wstring name;       // folded, as it reads
        std::wstring targetName; // folded
    };
    std::vector<Candidate> m_candidates;
    std::vector<FlatMenuItem> m_ownEntries;
    int m_headerRows = 0; // the title and its line
    bool m_active = false;
    std::wstring m_text;
};
