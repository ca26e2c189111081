// CFlatPopupMenu: type to find. While a tree's root is its innermost open
// menu, text typed into it searches the whole tree: the results stand in for
// the root's own entries, below its title and a search row, and act as the
// entries they show do in their own menus (the same command ids, the same
// submenus, the same context menu).
#include <algorithm>
#include "flatmenu/flat_menu_layout.h"
#include "flatmenu/flat_popup_menu.h"
#include "flatmenu/search_match.h"

using namespace fpmlayout;

namespace {
const wchar_t kPathSeparator[] = L" \u203A "; // "Tools › Games"

bool IsText(wchar_t character) {
    return character >= 0x20 && character != 0x7F;
}
} // namespace

bool CFlatPopupMenu::SetItemSearchFacts(unsigned key, bool byIndex, bool searchable,
                                        const char* targetName) {
    FlatMenuItem* item = m_rows.Find(key, byIndex);
    if (!item) return false;
    item->searchable = searchable;
    item->targetName = targetName ? targetName : "";
    return true;
}

bool CFlatPopupMenu::SearchesByTyping() const {
    // The tree's own root (not the context menu, tracked without the
    // capture), shown, with no context menu open.
    return !m_parent && m_opensTree && m_window && !m_tree.contextMenuOpen;
}

bool CFlatPopupMenu::TypeToFind(wchar_t character) {
    if (!IsText(character)) return false;
    if (!m_search.Active()) {
        // The root's own mnemonics keep choosing at once.
        const BYTE inCodePage = CodePageCharacter(character);
        if (inCodePage && MnemonicEntry(m_rows, LowerCaseChar(inCodePage)) != -1) return false;
        if (character == L' ') return true; // no search starts with a space
        if (!m_search.HasCandidates()) {
            std::vector<const CFlatPopupMenu*> visited;
            CollectCandidates(*this, std::wstring(), &visited);
        }
        m_search.Begin(m_rows);
    }
    m_search.Type(character);
    ShowSearchResults();
    return true;
}

bool CFlatPopupMenu::SearchKey(WPARAM virtualKey) {
    if (!m_search.Active()) return false;
    switch (virtualKey) {
    case VK_BACK:
        m_search.EraseLast();
        if (m_search.Text().empty()) {
            EndSearch();
        } else {
            ShowSearchResults();
        }
        return true;
    case VK_ESCAPE: // the text goes; the menu stays open
        EndSearch();
        return true;
    default:
        return false;
    }
}

void CFlatPopupMenu::CollectCandidates(const CFlatPopupMenu& menu, const std::wstring& path,
                                       std::vector<const CFlatPopupMenu*>* visited) {
    visited->push_back(&menu);
    const MenuStrips* strips = &menu == this ? nullptr : &menu.m_palette.Strips();
    const MenuRows& rows = menu.m_rows;
    for (int i = 0; i < rows.Count(); ++i) {
        const FlatMenuItem& entry = *rows.Item(i);
        // Titles, separators, placeholders and entries that cannot be chosen
        // or have no name are not found.
        if (!rows.IsChoosable(i) || !entry.searchable) continue;
        if (entry.commandId == 0 && !entry.child) continue;
        const std::wstring name = ReadableWideText(entry.text);
        if (name.empty()) continue;
        m_search.AddCandidate(entry, strips, path);
        const CFlatPopupMenu* child = entry.child;
        if (child && std::find(visited->begin(), visited->end(), child) == visited->end())
            CollectCandidates(*child, path.empty() ? name : path + kPathSeparator + name, visited);
    }
}

void CFlatPopupMenu::CloseSubmenusOfRows() {
    KillTimer(m_window, kSubmenuTimer);
    for (const FlatMenuItem& item : m_rows.Items()) {
        if (item.child && item.child != this && item.child->m_window)
            DestroyWindow(item.child->m_window);
    }
}

void CFlatPopupMenu::ShowSearchResults() {
    CloseSubmenusOfRows();
    m_search.ShowResults(m_rows);
    LayOutAgain();
    const int searchRow = m_search.SearchRow() + 1;
    Announce(EVENT_OBJECT_REORDER);
    Announce(EVENT_OBJECT_VALUECHANGE, searchRow);
    const int first = m_rows.NextChoosable(-1, 1);
    if (first != -1) {
        SetHotEntry(first, false);
    } else {
        Announce(EVENT_OBJECT_FOCUS, searchRow);
    }
}

void CFlatPopupMenu::EndSearch() {
    CloseSubmenusOfRows();
    m_search.End(m_rows);
    LayOutAgain();
    Announce(EVENT_OBJECT_REORDER);
}
