#include "flatmenu/menu_keys.h"
#include <vector>
#include "flatmenu/flat_menu_layout.h"

using fpmlayout::LowerCaseChar;

namespace {
MenuKeyDecision Decision(MenuKeyAction action, int index = -1, int command = 0) {
    MenuKeyDecision decision;
    decision.action = action;
    decision.index = index;
    decision.command = command;
    return decision;
}

MenuKeyDecision MoveHotTo(int index) {
    return index == -1 ? Decision(MenuKeyAction::Nothing) : Decision(MenuKeyAction::MoveHot, index);
}

// Enter on entry `index` (-1: the hot entry as it is): a submenu opens, an
// entry with a command is chosen, as a left release would choose it.
MenuKeyDecision Enter(const FlatMenuItem& item, int index) {
    if (item.child) return Decision(MenuKeyAction::OpenSubmenu, index);
    if (item.commandId != 0) return Decision(MenuKeyAction::Choose, index, item.commandId);
    return index == -1 ? Decision(MenuKeyAction::Nothing) : MoveHotTo(index);
}

MenuKeyDecision ContextMenuFor(const MenuRows& rows) {
    return rows.HotIndex() == -1 ? Decision(MenuKeyAction::Nothing)
                                 : Decision(MenuKeyAction::OpenContextMenu);
}

// An entry's first letter, lower-cased, past a leading "&"; 0 for none.
BYTE FirstLetter(const std::string& text) {
    const size_t at = (!text.empty() && text[0] == '&') ? 1 : 0;
    return at < text.size() ? LowerCaseChar(static_cast<BYTE>(text[at])) : 0;
}
} // namespace

bool operator==(const MenuKeyDecision& a, const MenuKeyDecision& b) {
    return a.action == b.action && a.index == b.index && a.command == b.command;
}

MenuKeyDecision DecideKey(WPARAM virtualKey, bool shiftDown, const MenuRows& rows, bool hasParent) {
    const FlatMenuItem* hot = rows.Item(rows.HotIndex());
    switch (virtualKey) {
    case VK_DOWN:
        return MoveHotTo(rows.NextChoosable(rows.HotIndex(), 1));
    case VK_UP:
        return MoveHotTo(rows.NextChoosable(rows.HotIndex(), -1));
    case VK_HOME:
        return MoveHotTo(rows.NextChoosable(-1, 1));
    case VK_END:
        return MoveHotTo(rows.NextChoosable(-1, -1));
    case VK_RIGHT:
        return hot && hot->child ? Decision(MenuKeyAction::OpenSubmenu)
                                 : Decision(MenuKeyAction::Nothing);
    case VK_RETURN:
        return hot ? Enter(*hot, -1) : Decision(MenuKeyAction::Nothing);
    case VK_LEFT:
        return Decision(hasParent ? MenuKeyAction::CloseSubmenu : MenuKeyAction::Nothing);
    case VK_ESCAPE:
        // A submenu closes alone; the root or the context menu, like a click
        // outside, closes the tree with no choice.
        return Decision(hasParent ? MenuKeyAction::CloseSubmenu : MenuKeyAction::CloseTree);
    case VK_APPS:
        return ContextMenuFor(rows);
    case VK_F10:
        return shiftDown ? ContextMenuFor(rows) : Decision(MenuKeyAction::NotAMenuKey);
    default:
        return Decision(MenuKeyAction::NotAMenuKey);
    }
}

BYTE CodePageCharacter(wchar_t typed) {
    if (typed < 0x80) return static_cast<BYTE>(typed);
    char converted[4] = {};
    BOOL defaulted = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &typed, 1, converted,
                                           sizeof converted, nullptr, &defaulted);
    return length == 1 && !defaulted ? static_cast<BYTE>(converted[0]) : 0;
}

int MnemonicEntry(const MenuRows& rows, BYTE typed) {
    for (int i = 0; i < rows.Count(); ++i) {
        const FlatMenuItem& item = *rows.Item(i);
        if (item.flags & (fpmSeparator | fpmDisabled | fpmGrayed)) continue;
        // Only the first "&" marks a mnemonic.
        const size_t amp = item.text.find('&');
        if (amp == std::string::npos || amp + 1 >= item.text.size()) continue;
        if (LowerCaseChar(static_cast<BYTE>(item.text[amp + 1])) == typed) return i;
    }
    return -1;
}

MenuKeyDecision DecideCharacter(BYTE character, const MenuRows& rows) {
    if (character < 0x20) return Decision(MenuKeyAction::Nothing); // Enter, Esc and Tab are keys
    const BYTE typed = LowerCaseChar(character);
    const int mnemonic = MnemonicEntry(rows, typed);
    if (mnemonic != -1) {
        const FlatMenuItem& item = *rows.Item(mnemonic);
        if (item.child) return Decision(MenuKeyAction::OpenSubmenu, mnemonic);
        return Decision(MenuKeyAction::Choose, -1, item.commandId);
    }

    std::vector<int> matches;
    for (int i = 0; i < rows.Count(); ++i) {
        if (rows.IsChoosable(i) && FirstLetter(rows.Item(i)->text) == typed) matches.push_back(i);
    }
    if (matches.empty()) return Decision(MenuKeyAction::Nothing);
    if (matches.size() == 1) return Enter(*rows.Item(matches.front()), matches.front());
    // Several: each press moves on to the next of them, cycling.
    for (int index : matches) {
        if (index > rows.HotIndex()) return MoveHotTo(index);
    }
    return MoveHotTo(matches.front());
}
