// CFlatPopupMenu: a menu taller than its monitor's work area scrolls, row by
// row, under a pointer resting on one of its bands, by the wheel, and to
// bring the entry that a key makes hot into view. Which rows show is the
// rows' to say; here the window follows.
#include "flatmenu/flat_menu_layout.h"
#include "flatmenu/flat_popup_menu.h"

using namespace fpmlayout;

namespace {
const UINT kSidewaysWheel = 0x020E; // WM_MOUSEHWHEEL, newer than the headers' target

int SignedLow(LPARAM value) {
    return static_cast<short>(LOWORD(value));
}
int SignedHigh(LPARAM value) {
    return static_cast<short>(HIWORD(value));
}
} // namespace

bool CFlatPopupMenu::ScrollTo(int first) {
    if (!m_rows.Scrolls() || !m_window) return false;
    first = m_rows.ClampFirstRow(first);
    if (first == m_rows.FirstRow()) return false;

    // A submenu opened level with its entry's row, which now moves.
    CloseSubmenuOfHotEntry();
    if (m_rows.ShowFrom(first)) KillTimer(m_window, kSubmenuTimer); // the hot entry went
    // Rows, arrows and bands all change: everything is painted again, now.
    InvalidateRect(m_window, nullptr, TRUE);
    UpdateWindow(m_window);
    return true;
}

bool CFlatPopupMenu::BringIntoView(int index) {
    if (!m_rows.Scrolls() || !m_rows.Item(index)) return false;
    return ScrollTo(m_rows.FirstRowShowing(index));
}

void CFlatPopupMenu::FollowScrollBand(int x, int y) {
    const int band = m_rows.ScrollBandAt(x, y);
    if (band == 0 || !m_rows.CanScroll(band)) {
        StopBandScrolling();
    } else if (band != m_bandDirection) {
        m_bandDirection = band;
        SetTimer(m_window, kScrollTimer, kScrollInterval, nullptr);
    }
}

void CFlatPopupMenu::ScrollBandStep() {
    // The pointer may have left without a move reaching this menu.
    POINT pointer = {0, 0};
    bool resting =
        m_bandDirection != 0 && m_window && GetCursorPos(&pointer) && MenuAtPoint(pointer) == this;
    if (resting) {
        ScreenToClient(m_window, &pointer);
        resting = m_rows.ScrollBandAt(pointer.x, pointer.y) == m_bandDirection;
    }
    if (!resting || !ScrollTo(m_rows.FirstRow() + m_bandDirection) ||
        !m_rows.CanScroll(m_bandDirection))
        StopBandScrolling();
}

void CFlatPopupMenu::StopBandScrolling() {
    if (m_bandDirection != 0 && m_window) KillTimer(m_window, kScrollTimer);
    m_bandDirection = 0;
}

void CFlatPopupMenu::CloseSubmenuOfHotEntry() {
    const FlatMenuItem* hot = m_rows.Item(m_rows.HotIndex());
    if (!hot) return;
    CFlatPopupMenu* child = hot->child;
    if (!child || child == this || !child->m_window) return;
    const HWND captured = GetCapture();
    DestroyWindow(child->m_window);
    // The capture stays with the tree, so that a click outside still closes it.
    if (captured && !GetCapture() && m_window) {
        SetCapture(m_window);
        m_captureState = kHoldsCapture;
    }
}

bool CFlatPopupMenu::IsWheelMessage(UINT message) {
    return message == WM_MOUSEWHEEL || message == kSidewaysWheel;
}

void CFlatPopupMenu::TakeWheelMessage(const MSG& msg) {
    if (msg.message != WM_MOUSEWHEEL) return; // sideways: nothing to scroll
    const POINT screen = {SignedLow(msg.lParam), SignedHigh(msg.lParam)};
    CFlatPopupMenu* menu = MenuAtPoint(screen);
    if (!menu) return;
    // While a context menu is tracked, the rest of the tree stands still.
    if (menu->ContextMenuOpenElsewhere()) return;
    menu->WheelTurned(GET_WHEEL_DELTA_WPARAM(msg.wParam), screen);
}

void CFlatPopupMenu::WheelTurned(int delta, POINT screen) {
    if (!m_rows.Scrolls() || !m_window) return; // a menu that fits never scrolls
    // Fine-grained wheels send parts of a notch: they add up.
    m_wheelDelta += delta;
    const int notches = m_wheelDelta / WHEEL_DELTA;
    m_wheelDelta -= notches * WHEEL_DELTA;
    if (notches == 0) return;

    UINT rowsPerNotch = kDefaultWheelRows;
    if (!SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &rowsPerNotch, 0))
        rowsPerNotch = kDefaultWheelRows;
    const int first =
        m_rows.FirstRowAfterWheel(notches, rowsPerNotch, rowsPerNotch == WHEEL_PAGESCROLL);
    if (!ScrollTo(first)) return;

    // The entry now under the pointer is hot, as if the pointer had moved
    // onto it; a pointer that rests since a key leaves the key's choice.
    if (Tree().pointerAtKey.RestsSinceKey(screen)) return;
    POINT client = screen;
    ScreenToClient(m_window, &client);
    SetHotEntry(m_rows.HitTest(client.x, client.y, ClientRowRect(m_window)), true);
}
