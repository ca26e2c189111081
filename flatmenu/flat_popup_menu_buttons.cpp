// CFlatPopupMenu: mouse buttons and characters typed into a menu window, the
// context menu, and the clean-up of the tree around a destroyed window.
#include "flatmenu/flat_menu_layout.h"
#include "flatmenu/flat_popup_menu.h"

using namespace fpmlayout;

namespace {
const UINT kNotifyClickPoint = WM_USER + 1;
const UINT kNotifyClickedMenu = WM_USER + 2;
} // namespace

void CFlatPopupMenu::ButtonDown(HWND window, int x, int y, bool left) {
    RECT client;
    GetClientRect(window, &client);
    if (CancelIfOutside(window, client, x, y)) return;
    // A click on a scroll band chooses nothing and keeps the menu open.
    const FlatMenuItem* hot = m_rows.Item(m_rows.HotIndex());
    if (!hot || m_rows.ScrollBandAt(x, y) != 0) return;

    if (left) {
        // A press opens the hot entry's submenu at once; it never chooses.
        CFlatPopupMenu* child = hot->child;
        if (child && child->m_captureState == kNotShown) OpenHotSubmenu(window, kSubmenuTimer);
        return;
    }

    POINT screen = {x, y};
    ClientToScreen(window, &screen);
    if (m_contextMenu && m_contextMenu != this) {
        TrackContextMenu(screen, false);
    } else if (m_notifyWindow) {
        NotifyRightClick(screen);
    } else {
        MessageBoxA(nullptr, "RButtonDown signaled but no context menu found",
                    "CFlatPopupMenu::ButtonDown", MB_OK);
    }
}

void CFlatPopupMenu::TrackContextMenu(POINT screen, bool fromKeyboard) {
    CFlatPopupMenu* root = Root();
    // A pending submenu delay anywhere in the tree would otherwise open a
    // submenu inside the context menu's loop, and a scrolling menu would
    // move the right-clicked entry away.
    root->StopMenuTimers();
    root->m_tree.contextMenuOpen = true;
    // The context menu is a tree of its own, tracked for this one: a pointer
    // resting since a key stays at rest there too.
    m_contextMenu->m_tree.pointerAtKey = root->m_tree.pointerAtKey;
    m_contextMenu->m_openedByKeyboard = fromKeyboard;
    int contextCommand = m_contextMenu->Track(screen.x, screen.y, nullptr, true, true, nullptr);
    if (contextCommand != 0) Finish(HotCommand(), contextCommand);
    root->m_tree.contextMenuOpen = false;
    if (root->m_window) DestroyWindow(root->m_window);
}

void CFlatPopupMenu::NotifyRightClick(POINT screen) {
    PostMessageA(m_notifyWindow, kNotifyClickPoint, reinterpret_cast<WPARAM>(m_notifyWindow),
                 MAKELPARAM(screen.x, screen.y));
    PostMessageA(m_notifyWindow, kNotifyClickedMenu, reinterpret_cast<WPARAM>(m_notifyWindow),
                 reinterpret_cast<LPARAM>(this));
}

void CFlatPopupMenu::ButtonUp(HWND window, int x, int y) {
    if (m_leftButtonHeldAtOpen) {
        // The release of the press that opened the menu chooses nothing.
        m_leftButtonHeldAtOpen = false;
        return;
    }
    RECT client;
    GetClientRect(window, &client);
    if (CancelIfOutside(window, client, x, y)) return;
    const FlatMenuItem* hot = m_rows.Item(m_rows.HotIndex());
    if (!hot || m_rows.ScrollBandAt(x, y) != 0) return;
    if (hot->commandId != 0 && !hot->child) Finish(hot->commandId, 0);
}

void CFlatPopupMenu::CharTyped(HWND window, WPARAM character) {
    const int entry = MnemonicEntry(m_rows, LowerCaseChar(static_cast<BYTE>(character & 0xFF)));
    if (entry != -1) Finish(m_rows.Item(entry)->commandId, 0);
}

void CFlatPopupMenu::WindowDestroyed(HWND window) {
    CFlatPopupMenu* root = Root();
    CFlatPopupMenu* context = root->m_contextMenu;
    if (context && context != this && context->m_window) DestroyWindow(context->m_window);
    for (const FlatMenuItem& item : m_rows.Items()) {
        if (item.child && item.child->m_captureState != kNotShown && item.child->m_window)
            DestroyWindow(item.child->m_window);
    }
    // Its submenus and the context menu have ended before it; the tree ends
    // with the menu that started it.
    Announce(EVENT_SYSTEM_MENUPOPUPEND);
    m_accessible.Reset();
    if (m_opensTree) Announce(EVENT_SYSTEM_MENUEND);
    if (m_captureState == kHoldsCapture) ReleaseCapture();
    m_captureState = kNotShown;
    m_window = nullptr;
    m_openedFrom = nullptr;
    // A Track loop only looks at its window when a message arrives: give it
    // one, so it ends even when no other input follows.
    PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
}
