#include "flatmenu/menu_search.h"
#include <array>
#include "flatmenu/search_match.h"

namespace {
bool IsTitle(const FlatMenuItem& entry) {
    return (entry.flags & fpmDisabled) && (entry.flags & fpmBold) && !(entry.flags & fpmSeparator);
}

bool IsLowSurrogate(wchar_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}
bool IsHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
} // namespace

void MenuSearch::AddCandidate(const FlatMenuItem& entry, const MenuStrips* strips,
                              const std::wstring& path) {
    Candidate candidate;
    candidate.result = entry;
    candidate.result.flags = 0; // shown plain, whatever its own menu does with it
    candidate.result.strips = strips;
    candidate.result.detail = path;
    candidate.name = FoldForSearch(ReadableWideText(entry.text));
    candidate.targetName = FoldForSearch(WideFromCodePage(entry.targetName));
    m_candidates.push_back(std::move(candidate));
}

void MenuSearch::Begin(const MenuRows& rows) {
    m_ownEntries = rows.Items();
    // A titled root keeps its title and the line below it.
    m_headerRows = 0;
    if (!m_ownEntries.empty() && IsTitle(m_ownEntries[0])) {
        m_headerRows = 1;
        if (m_ownEntries.size() > 1 && (m_ownEntries[1].flags & fpmSeparator)) m_headerRows = 2;
    }
    m_text.clear();
    m_active = true;
}

void MenuSearch::Type(wchar_t character) {
    m_text += character;
}

bool MenuSearch::EraseLast() {
    if (m_text.empty()) return false;
    const bool pair = m_text.size() >= 2 && IsLowSurrogate(m_text.back()) &&
                      IsHighSurrogate(m_text[m_text.size() - 2]);
    m_text.erase(m_text.size() - (pair ? 2 : 1));
    return true;
}

std::vector<int> MenuSearch::Matches() const {
    const std::wstring text = FoldForSearch(m_text);
    std::array<std::vector<int>, 4> groups;
    for (int i = 0; i < static_cast<int>(m_candidates.size()); ++i) {
        const Candidate& c = m_candidates[i];
        const MatchGroup group = MatchFolded(c.name, c.targetName, text);
        if (group != MatchGroup::None) groups[static_cast<int>(group)].push_back(i);
    }
    std::vector<int> order;
    for (const std::vector<int>& group : groups)
        order.insert(order.end(), group.begin(), group.end());
    return order;
}

void MenuSearch::ShowResults(MenuRows& rows) const {
    rows.Clear();
    for (int i = 0; i < m_headerRows; ++i)
        rows.Append(m_ownEntries[i]);
    FlatMenuItem field;
    field.flags = fpmSearchField;
    field.fieldText = m_text;
    rows.Append(field);
    const std::vector<int> matches = Matches();
    for (int i : matches)
        rows.Append(m_candidates[i].result);
    if (matches.empty()) {
        FlatMenuItem none;
        none.flags = fpmDisabled | fpmGrayed;
        none.text = QUORIL_NO_MATCH_TEXT;
        rows.Append(none);
    }
}

void MenuSearch::End(MenuRows& rows) {
    rows.Clear();
    for (const FlatMenuItem& entry : m_ownEntries)
        rows.Append(entry);
    m_ownEntries.clear();
    m_text.clear();
    m_active = false;
}
