// CFlatPopupMenu: the window procedure of "fpmMenuClass" and the mouse
// handling across a tree of cascaded menus.
#include "flatmenu/flat_menu_layout.h"
#include "flatmenu/flat_popup_menu.h"
#include "common/gdi_guards.h"
#include "flatmenu/menu_painter.h"

using namespace fpmlayout;

namespace {
// Posted to a menu's window: do what Enter does on entry wParam.
const UINT kDefaultActionMessage = WM_APP + 1;

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
    case WM_PAINT:
        menu->Paint(window);
        break;
    case WM_ERASEBKGND:
        menu->EraseBackground(window, reinterpret_cast<HDC>(wParam));
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
    case WM_GETOBJECT:
        // The menu's accessibility object, a fresh reference each time; any
        // other object (the window's own) is the system's.
        if (static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT) &&
            menu->m_accessible.Get())
            return LresultFromObject(__uuidof(IAccessible), wParam, menu->m_accessible.Get());
        break;
    case kDefaultActionMessage:
        menu->DoDefaultAction(static_cast<int>(wParam));
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void CFlatPopupMenu::Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    // Erased since the last paint: the whole area of this one shows nothing
    // but the background (the hot entry is repainted whenever it changes).
    const bool overErased = m_backgroundErased;
    m_backgroundErased = false;
    MenuPainter(dc, m_rows, m_palette).DrawAll(overErased);
    EndPaint(window, &paint);
}

void CFlatPopupMenu::EraseBackground(HWND window, HDC dc) {
    RECT client;
    GetClientRect(window, &client);
    MenuPainter(dc, m_rows, m_palette).DrawBackground(client);
    m_backgroundErased = true;
}

void CFlatPopupMenu::RedrawRow(HDC dc, int index) {
    MenuPainter(dc, m_rows, m_palette).DrawRow(index);
}

void CFlatPopupMenu::MouseMove(HWND window, int x, int y) {
    // Hand the capture to the menu window under the pointer. Only windows of
    // this thread hold a menu object that may be used from here.
    POINT screen = {x, y};
    ClientToScreen(window, &screen);
    CFlatPopupMenu* other = MenuAtPoint(screen);
    if (other && other != this && other->m_window) {
        ReleaseCapture();
        m_captureState = kShownWithoutCapture;
        SetCapture(other->m_window);
        other->m_captureState = kHoldsCapture;
        return;
    }

    // While a context menu is tracked, the rest of the tree stands still.
    if (ContextMenuOpenElsewhere()) return;
    // A pointer that has not moved since a key set the hot entry leaves it.
    if (Tree().pointerAtKey.RestsSinceKey(screen)) return;

    SetHotEntry(m_rows.HitTest(x, y, ClientRowRect(window)), true);
    if (m_rows.Scrolls()) FollowScrollBand(x, y);
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
    if (index == m_rows.HotIndex() || !m_window) return;
    WindowDc dc(m_window);
    const int oldIndex = m_rows.HotIndex();
    if (oldIndex != -1) {
        KillTimer(m_window, kSubmenuTimer);
        CFlatPopupMenu* child = m_rows.Item(oldIndex)->child;
        if (child && child->m_captureState != kNotShown && child->m_window)
            DestroyWindow(child->m_window);
        m_rows.SetHotIndex(-1);
        RedrawRow(dc.Get(), oldIndex); // now painted as not hot
    }
    if (index != -1) {
        m_rows.SetHotIndex(index);
        // An entry scrolled into view is painted with all the others.
        if (!BringIntoView(index)) RedrawRow(dc.Get(), index);
        Announce(EVENT_OBJECT_FOCUS, index + 1);
        if (m_rows.Item(index)->child && startSubmenuDelay)
            SetTimer(m_window, kSubmenuTimer, kSubmenuDelay, nullptr);
    }
}

void CFlatPopupMenu::OpenHotSubmenu(HWND window, UINT_PTR timerId) {
    KillTimer(window, timerId); // the delay fires at most once
    OpenSubmenuOfHotEntry(false);
}

void CFlatPopupMenu::OpenSubmenuOfHotEntry(bool fromKeyboard) {
    const FlatMenuItem* hot = m_rows.Item(m_rows.HotIndex());
    if (!hot || !m_window) return;
    if (fromKeyboard) KillTimer(m_window, kSubmenuTimer); // it opens now
    CFlatPopupMenu* child = hot->child;
    if (!child || child->m_window) return;
    // No submenu opens under a context menu that is being tracked.
    if (ContextMenuOpenElsewhere()) return;

    // The child's first entry (top 3) lines up with the hot entry.
    POINT point = {m_rows.Width() - 5, hot->top - 3};
    ClientToScreen(m_window, &point);
    child->m_openedByKeyboard = fromKeyboard;
    child->m_openedFrom = this; // a search result's submenu opens beside the root
    child->Track(point.x, point.y, m_notifyWindow, true, true, nullptr);
}

void CFlatPopupMenu::StopMenuTimers() {
    if (m_window) KillTimer(m_window, kSubmenuTimer);
    StopBandScrolling();
    for (const FlatMenuItem& item : m_rows.Items()) {
        if (item.child && item.child != this && item.child->m_window) item.child->StopMenuTimers();
    }
}

void CFlatPopupMenu::RequestDefaultAction(int index) {
    if (m_window) PostMessageA(m_window, kDefaultActionMessage, static_cast<WPARAM>(index), 0);
}

void CFlatPopupMenu::DoDefaultAction(int index) {
    // As the keys act: not while the context menu is tracked for another menu.
    if (ContextMenuOpenElsewhere() || !m_rows.IsChoosable(index)) return;
    MoveHotByKeyboard(index);
    CarryOut(DecideKey(VK_RETURN, false, m_rows, m_parent != nullptr));
}
