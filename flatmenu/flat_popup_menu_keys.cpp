// CFlatPopupMenu: the keyboard. Menus are shown without activation, so the
// host's window keeps the keyboard focus and every key is queued for it.
// While a tree is tracked, the innermost running Track loop takes the
// thread's key messages and hands them to the innermost open menu instead.
#include "flatmenu/flat_menu_layout.h"
#include "flatmenu/flat_popup_menu.h"
#include "flatmenu/pointer_at_key.h"
#include <vector>

using namespace fpmlayout;

namespace {
// Where Shift+F10 and the context-menu key open the context menu: on the hot
// entry's row, a little inside its left edge and just below its top.
const int kContextKeyX = 8;
const int kContextKeyY = 4;

// An entry's first letter, lower-cased, past a leading "&"; 0 for none.
BYTE FirstLetter(const std::string& text) {
    const size_t at = (!text.empty() && text[0] == '&') ? 1 : 0;
    return at < text.size() ? LowerCaseChar(static_cast<BYTE>(text[at])) : 0;
}
} // namespace

bool CFlatPopupMenu::IsKeyMessage(UINT message) {
    return message >= WM_KEYFIRST && message <= WM_KEYLAST;
}

void CFlatPopupMenu::TakeKeyMessage(MSG& msg) {
    RememberPointerAtKey(msg.pt);
    CFlatPopupMenu* menu = InnermostOpenMenu();
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        // A key the menu uses acts here, untranslated, so that it acts once.
        // Any other key is translated: a letter then arrives as WM_CHAR.
        if (!menu->KeyDown(msg.wParam)) TranslateMessage(&msg);
        break;
    case WM_CHAR:
    case WM_SYSCHAR:
        menu->LetterTyped(static_cast<BYTE>(msg.wParam & 0xFF));
        break;
    default: // releases and dead characters are swallowed
        break;
    }
}

CFlatPopupMenu* CFlatPopupMenu::InnermostOpenMenu() {
    CFlatPopupMenu* menu = Root();
    CFlatPopupMenu* context = menu->m_contextMenu;
    if (menu->m_contextMenuOpen && context && context->m_window) return context;
    for (;;) {
        CFlatPopupMenu* open = nullptr;
        for (const FlatMenuItem& item : menu->m_items) {
            if (item.child && item.child != menu && item.child->m_window) {
                open = item.child;
                break;
            }
        }
        if (!open) return menu;
        menu = open;
    }
}

bool CFlatPopupMenu::KeyDown(WPARAM virtualKey) {
    switch (virtualKey) {
    case VK_DOWN:
        MoveHotByKeyboard(NextChoosable(m_hotIndex, 1));
        return true;
    case VK_UP:
        MoveHotByKeyboard(NextChoosable(m_hotIndex, -1));
        return true;
    case VK_HOME:
        MoveHotByKeyboard(NextChoosable(-1, 1));
        return true;
    case VK_END:
        MoveHotByKeyboard(NextChoosable(-1, -1));
        return true;
    case VK_RIGHT:
        OpenSubmenuOfHotEntry(true);
        return true;
    case VK_RETURN:
        ChooseHotEntryByKeyboard();
        return true;
    case VK_LEFT:
        if (m_parent) CloseSubmenuByKeyboard();
        return true;
    case VK_ESCAPE:
        // A submenu closes alone; the root or the context menu, like a click
        // outside, closes the tree with no choice.
        if (m_parent) {
            CloseSubmenuByKeyboard();
        } else {
            CloseTreeWithoutChoice();
        }
        return true;
    case VK_APPS:
        OpenContextMenuByKeyboard();
        return true;
    case VK_F10:
        if (!(GetKeyState(VK_SHIFT) & 0x8000)) return false;
        OpenContextMenuByKeyboard();
        return true;
    default:
        return false;
    }
}

void CFlatPopupMenu::LetterTyped(BYTE character) {
    if (character < 0x20) return; // Enter, Esc and Tab act as keys, not letters
    const BYTE typed = LowerCaseChar(character);
    const int mnemonic = MnemonicEntry(typed);
    if (mnemonic != -1) {
        if (m_items[mnemonic].child) {
            MoveHotByKeyboard(mnemonic);
            OpenSubmenuOfHotEntry(true);
        } else {
            Finish(m_items[mnemonic].commandId, 0);
        }
        return;
    }

    std::vector<int> matches;
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (IsChoosable(static_cast<int>(i)) && FirstLetter(m_items[i].text) == typed)
            matches.push_back(static_cast<int>(i));
    }
    if (matches.empty()) return;
    if (matches.size() == 1) {
        MoveHotByKeyboard(matches.front());
        ChooseHotEntryByKeyboard();
        return;
    }
    // Several: each press moves on to the next of them, cycling.
    int next = matches.front();
    for (int index : matches) {
        if (index > m_hotIndex) {
            next = index;
            break;
        }
    }
    MoveHotByKeyboard(next);
}

void CFlatPopupMenu::ChooseHotEntryByKeyboard() {
    if (m_hotIndex == -1) return;
    const FlatMenuItem& item = m_items[m_hotIndex];
    if (item.child) {
        OpenSubmenuOfHotEntry(true);
    } else if (item.commandId != 0) {
        Finish(item.commandId, 0); // as a left release on the entry
    }
}

void CFlatPopupMenu::CloseSubmenuByKeyboard() {
    CFlatPopupMenu* parent = m_parent;
    const bool heldCapture = m_captureState == fpmHoldsCapture;
    if (m_window) DestroyWindow(m_window);
    // The capture stays with the tree, so that a click outside still closes it.
    if (heldCapture && parent->m_window) {
        SetCapture(parent->m_window);
        parent->m_captureState = fpmHoldsCapture;
    }
}

void CFlatPopupMenu::OpenContextMenuByKeyboard() {
    if (m_hotIndex == -1 || !m_window) return;
    POINT at = {kContextKeyX, m_items[m_hotIndex].top + kContextKeyY};
    ClientToScreen(m_window, &at);
    // As a right click on the hot entry; a menu without a context menu or a
    // window to notify (the context menu itself) has no use for the key.
    if (m_contextMenu && m_contextMenu != this) {
        TrackContextMenu(at, true);
    } else if (m_notifyWindow) {
        NotifyRightClick(at);
    }
}

void CFlatPopupMenu::MoveHotByKeyboard(int index) {
    if (index == -1) return;
    // A band would scroll the entry the key chose out of view again.
    StopBandScrolling();
    SetHotEntry(index, false);
}

bool CFlatPopupMenu::IsChoosable(int index) const {
    return index >= 0 && index < static_cast<int>(m_items.size()) &&
           !(m_items[index].flags & (fpmSeparator | fpmDisabled | fpmGrayed));
}

int CFlatPopupMenu::NextChoosable(int from, int step) const {
    const int count = static_cast<int>(m_items.size());
    // From no entry, the first step lands on the first or the last entry.
    int index = (from < 0 || from >= count) ? (step > 0 ? -1 : count) : from;
    for (int tried = 0; tried < count; ++tried) {
        index = (index + step + count) % count;
        if (IsChoosable(index)) return index;
    }
    return -1;
}
