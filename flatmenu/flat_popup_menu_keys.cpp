// CFlatPopupMenu: the keyboard. Menus are shown without activation, so the
// host's window keeps the keyboard focus and every key is queued for it.
// While a tree is tracked, the innermost running Track loop takes the
// thread's key messages and hands them to the innermost open menu instead,
// which carries out what the rows decide for the key.
#include "flatmenu/flat_menu_layout.h"
#include "flatmenu/flat_popup_menu.h"

using namespace fpmlayout;

bool CFlatPopupMenu::IsKeyMessage(UINT message) {
    return message >= WM_KEYFIRST && message <= WM_KEYLAST;
}

void CFlatPopupMenu::TakeKeyMessage(MSG& msg) {
    Tree().pointerAtKey.Remember(msg.pt);
    CFlatPopupMenu* menu = InnermostOpenMenu();
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        if (msg.message == WM_KEYDOWN && menu->SearchesByTyping() && menu->SearchKey(msg.wParam))
            break;
        // A key the menu uses acts here, untranslated, so that it acts once.
        // Any other key is translated: a letter then arrives as WM_CHAR.
        const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        const MenuKeyDecision decision =
            DecideKey(msg.wParam, shift, menu->m_rows, menu->m_parent != nullptr);
        if (decision.action == MenuKeyAction::NotAMenuKey) {
            TranslateMessage(&msg);
        } else {
            menu->CarryOut(decision);
        }
        break;
    }
    case WM_CHAR: {
        const wchar_t typed = static_cast<wchar_t>(msg.wParam);
        if (menu->SearchesByTyping() && menu->TypeToFind(typed)) break;
        menu->CarryOut(DecideCharacter(CodePageCharacter(typed), menu->m_rows));
        break;
    }
    case WM_SYSCHAR: {
        // Alt with a key is no text: in the root it only takes a mnemonic.
        const BYTE typed = CodePageCharacter(static_cast<wchar_t>(msg.wParam));
        if (menu->SearchesByTyping() && MnemonicEntry(menu->m_rows, LowerCaseChar(typed)) == -1)
            break;
        menu->CarryOut(DecideCharacter(typed, menu->m_rows));
        break;
    }
    default: // releases and dead characters are swallowed
        break;
    }
}

CFlatPopupMenu* CFlatPopupMenu::InnermostOpenMenu() {
    CFlatPopupMenu* menu = Root();
    CFlatPopupMenu* context = menu->m_contextMenu;
    if (menu->m_tree.contextMenuOpen && context && context->m_window) return context;
    for (;;) {
        CFlatPopupMenu* open = nullptr;
        for (const FlatMenuItem& item : menu->m_rows.Items()) {
            if (item.child && item.child != menu && item.child->m_window) {
                open = item.child;
                break;
            }
        }
        if (!open) return menu;
        menu = open;
    }
}

void CFlatPopupMenu::CarryOut(const MenuKeyDecision& decision) {
    switch (decision.action) {
    case MenuKeyAction::NotAMenuKey:
    case MenuKeyAction::Nothing:
        break;
    case MenuKeyAction::MoveHot:
        MoveHotByKeyboard(decision.index);
        break;
    case MenuKeyAction::OpenSubmenu:
        if (decision.index != -1) MoveHotByKeyboard(decision.index);
        OpenSubmenuOfHotEntry(true);
        break;
    case MenuKeyAction::Choose:
        if (decision.index != -1) MoveHotByKeyboard(decision.index);
        Finish(decision.command, 0); // as a left release on the entry
        break;
    case MenuKeyAction::CloseSubmenu:
        CloseSubmenuByKeyboard();
        break;
    case MenuKeyAction::CloseTree:
        CloseTreeWithoutChoice();
        break;
    case MenuKeyAction::OpenContextMenu:
        OpenContextMenuByKeyboard();
        break;
    }
}

void CFlatPopupMenu::CloseSubmenuByKeyboard() {
    CFlatPopupMenu* parent = Opener();
    if (!parent) return;
    const bool heldCapture = m_captureState == kHoldsCapture;
    if (m_window) DestroyWindow(m_window);
    // The capture stays with the tree, so that a click outside still closes it.
    if (heldCapture && parent->m_window) {
        SetCapture(parent->m_window);
        parent->m_captureState = kHoldsCapture;
    }
}

void CFlatPopupMenu::OpenContextMenuByKeyboard() {
    const FlatMenuItem* hot = m_rows.Item(m_rows.HotIndex());
    if (!hot || !m_window) return;
    const MenuGeometry& geometry = m_rows.Geometry();
    POINT at = {geometry.contextKeyX, hot->top + geometry.contextKeyY};
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
