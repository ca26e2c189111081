// CFlatPopupMenu: the window procedure of "fpmMenuClass" and the mouse and
// keyboard handling across a tree of cascaded menus.
#include "flatmenu/flat_menu_layout.h"
#include "flatmenu/flat_popup_menu.h"
#include "common/gdi_guards.h"
#include "flatmenu/pointer_at_key.h"

using namespace fpmlayout;

namespace {
const UINT kNotifyClickPoint = WM_USER + 1;
const UINT kNotifyClickedMenu = WM_USER + 2;

int SignedLow(LPARAM value) {
    return static_cast<short>(LOWORD(value));
}
int SignedHigh(LPARAM value) {
    return static_cast<short>(HIWORD(value));
}

} // namespace

CFlatPopupMenu* CFlatPopupMenu::MenuOfWindow(HWND window) {
    return reinterpret_cast<CFlatPopupMenu*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT CALLBACK CFlatPopupMenu::MenuWndProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    // The system's frames around a window procedure cannot be unwound: a
    // failure inside closes the tree with no choice instead.
    try {
        return HandleWindowMessage(window, message, wParam, lParam);
    } catch (...) {
        if (CFlatPopupMenu* menu = MenuOfWindow(window)) menu->CloseTreeWithoutChoice();
        return 0;
    }
}

LRESULT CFlatPopupMenu::HandleWindowMessage(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    if (message == WM_CREATE) {
        const CREATESTRUCTA* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        return DefWindowProcA(window, message, wParam, lParam);
    }
    CFlatPopupMenu* menu = MenuOfWindow(window);
    if (!menu) return DefWindowProcA(window, message, wParam, lParam);

    switch (message) {
    case WM_DESTROY:
        menu->WindowDestroyed(window);
        break;
    case WM_NCDESTROY:
        // Nothing may reach the object through a window that is gone.
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        menu->DrawAllItems(window, dc);
        EndPaint(window, &paint);
        break;
    }
    case WM_ERASEBKGND:
        menu->DrawBackground(window, reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_CHAR:
        menu->CharTyped(window, wParam);
        break;
    case WM_TIMER:
        if (wParam == kScrollTimer) {
            menu->ScrollBandStep();
        } else {
            menu->OpenHotSubmenu(window, wParam);
        }
        break;
    case WM_MOUSEMOVE:
        menu->MouseMove(window, SignedLow(lParam), SignedHigh(lParam));
        break;
    case WM_LBUTTONDOWN:
        menu->ButtonDown(window, SignedLow(lParam), SignedHigh(lParam), true);
        break;
    case WM_LBUTTONUP:
        menu->ButtonUp(window, SignedLow(lParam), SignedHigh(lParam));
        break;
    case WM_RBUTTONDOWN:
        menu->ButtonDown(window, SignedLow(lParam), SignedHigh(lParam), false);
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void CFlatPopupMenu::MouseMove(HWND window, int x, int y) {
    // Hand the capture to the menu window under the pointer. Only windows of
    // this thread hold a menu object that may be used from here.
    POINT screen = {x, y};
    ClientToScreen(window, &screen);
    CFlatPopupMenu* other = MenuAtPoint(screen);
    if (other && other != this && other->m_window) {
        ReleaseCapture();
        m_captureState = fpmShownWithoutCapture;
        SetCapture(other->m_window);
        other->m_captureState = fpmHoldsCapture;
        return;
    }

    // While a context menu is tracked, the rest of the tree stands still.
    CFlatPopupMenu* root = Root();
    if (root->m_contextMenuOpen && root->m_contextMenu != this) return;
    // A pointer that has not moved since a key set the hot entry leaves it.
    if (PointerRestsSinceKey(screen)) return;

    RECT client;
    GetClientRect(window, &client);
    SetHotEntry(HitTest(x, y, client), true);
    if (m_scrolls) FollowScrollBand(x, y);
}

CFlatPopupMenu* CFlatPopupMenu::MenuAtPoint(POINT screen) {
    HWND under = WindowFromPoint(screen);
    if (!under || GetWindowThreadProcessId(under, nullptr) != GetCurrentThreadId()) return nullptr;
    char className[101] = "";
    GetClassNameA(under, className, sizeof className);
    if (lstrcmpA(className, kMenuClassName) != 0) return nullptr;
    return MenuOfWindow(under);
}

void CFlatPopupMenu::SetHotEntry(int index, bool startSubmenuDelay) {
    if (index == m_hotIndex || !m_window) return;
    WindowDc dc(m_window);
    if (m_hotIndex != -1) {
        KillTimer(m_window, kSubmenuTimer);
        FlatMenuItem& old = m_items[m_hotIndex];
        if (old.child && old.child->m_captureState != fpmNotShown && old.child->m_window)
            DestroyWindow(old.child->m_window);
        const int oldIndex = m_hotIndex;
        m_hotIndex = -1;
        DrawItem(dc.Get(), oldIndex, m_items[oldIndex]);
    }
    if (index != -1) {
        m_hotIndex = index;
        // An entry scrolled into view is painted with all the others.
        if (!BringIntoView(index)) DrawItem(dc.Get(), index, m_items[index]);
        if (m_items[index].child && startSubmenuDelay)
            SetTimer(m_window, kSubmenuTimer, m_submenuDelay, nullptr);
    }
}

int CFlatPopupMenu::HitTest(int x, int y, const RECT& clientRect) const {
    if (x <= 2 || y <= 2 || x > clientRect.right || y > clientRect.bottom) return -1;
    // The bands of a scrolling menu, and the rows hidden under them, hold no entry.
    if (m_scrolls && (y < m_rowAreaTop || y >= m_rowAreaBottom)) return -1;
    for (size_t i = m_scrolls ? m_firstRow : 0; i < m_items.size(); ++i) {
        const FlatMenuItem& item = m_items[i];
        // Strict on both sides: an entry's top row belongs to no entry.
        if (item.top < y && y < item.top + item.height)
            return (item.flags & fpmDisabled) || !RowShown(item) ? -1 : static_cast<int>(i);
    }
    return -1;
}

void CFlatPopupMenu::OpenHotSubmenu(HWND window, UINT_PTR timerId) {
    KillTimer(window, timerId); // the delay fires at most once
    OpenSubmenuOfHotEntry(false);
}

void CFlatPopupMenu::OpenSubmenuOfHotEntry(bool fromKeyboard) {
    if (m_hotIndex == -1 || !m_window) return;
    if (fromKeyboard) KillTimer(m_window, kSubmenuTimer); // it opens now
    CFlatPopupMenu* child = m_items[m_hotIndex].child;
    if (!child || child->m_window) return;
    // No submenu opens under a context menu that is being tracked.
    CFlatPopupMenu* root = Root();
    if (root->m_contextMenuOpen && root->m_contextMenu != this) return;

    // The child's first entry (top 3) lines up with the hot entry.
    POINT point = {m_width - 5, m_items[m_hotIndex].top - 3};
    ClientToScreen(m_window, &point);
    child->m_openedByKeyboard = fromKeyboard;
    child->Track(point.x, point.y, m_notifyWindow, true, true, nullptr);
}

void CFlatPopupMenu::StopMenuTimers() {
    if (m_window) KillTimer(m_window, kSubmenuTimer);
    StopBandScrolling();
    for (FlatMenuItem& item : m_items) {
        if (item.child && item.child != this && item.child->m_window) item.child->StopMenuTimers();
    }
}

void CFlatPopupMenu::ButtonDown(HWND window, int x, int y, bool left) {
    RECT client;
    GetClientRect(window, &client);
    if (CancelIfOutside(window, client, x, y)) return;
    // A click on a scroll band chooses nothing and keeps the menu open.
    if (m_hotIndex == -1 || ScrollBandAt(x, y) != 0) return;

    if (left) {
        // A press opens the hot entry's submenu at once; it never chooses.
        CFlatPopupMenu* child = m_items[m_hotIndex].child;
        if (child && child->m_captureState == fpmNotShown) OpenHotSubmenu(window, kSubmenuTimer);
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
    root->m_contextMenuOpen = true;
    m_contextMenu->m_openedByKeyboard = fromKeyboard;
    int contextCommand = m_contextMenu->Track(screen.x, screen.y, nullptr, true, true, nullptr);
    if (contextCommand != 0) Finish(HotCommand(), contextCommand);
    root->m_contextMenuOpen = false;
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
    if (m_hotIndex == -1 || ScrollBandAt(x, y) != 0) return;
    const FlatMenuItem& item = m_items[m_hotIndex];
    if (item.commandId != 0 && !item.child) Finish(item.commandId, 0);
}

void CFlatPopupMenu::CharTyped(HWND window, WPARAM character) {
    const int entry = MnemonicEntry(LowerCaseChar(static_cast<BYTE>(character & 0xFF)));
    if (entry != -1) Finish(m_items[entry].commandId, 0);
}

int CFlatPopupMenu::MnemonicEntry(BYTE typed) const {
    for (size_t i = 0; i < m_items.size(); ++i) {
        const FlatMenuItem& item = m_items[i];
        if (item.flags & (fpmSeparator | fpmDisabled | fpmGrayed)) continue;
        // Only the first "&" marks a mnemonic.
        const size_t amp = item.text.find('&');
        if (amp == std::string::npos || amp + 1 >= item.text.size()) continue;
        if (LowerCaseChar(static_cast<BYTE>(item.text[amp + 1])) == typed)
            return static_cast<int>(i);
    }
    return -1;
}

void CFlatPopupMenu::WindowDestroyed(HWND window) {
    CFlatPopupMenu* root = Root();
    CFlatPopupMenu* context = root->m_contextMenu;
    if (context && context != this && context->m_window) DestroyWindow(context->m_window);
    for (FlatMenuItem& item : m_items) {
        if (item.child && item.child->m_captureState != fpmNotShown && item.child->m_window)
            DestroyWindow(item.child->m_window);
    }
    if (m_captureState == fpmHoldsCapture) ReleaseCapture();
    m_captureState = fpmNotShown;
    m_window = nullptr;
    // A Track loop only looks at its window when a message arrives: give it
    // one, so it ends even when no other input follows.
    PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
}
