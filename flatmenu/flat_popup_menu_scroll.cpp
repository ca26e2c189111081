// CFlatPopupMenu: a menu taller than its monitor's work area scrolls, row by
// row, under a pointer resting on one of its bands, by the wheel, and to
// bring the entry that a key makes hot into view.
#include "flatmenu/flat_menu_layout.h"
#include "flatmenu/flat_popup_menu.h"
#include "flatmenu/pointer_at_key.h"
#include "flatmenu/scroll_rows.h"

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

void CFlatPopupMenu::SetUpRows(bool scrolls, int windowHeight) {
    m_scrolls = scrolls;
    m_firstRow = 0;
    m_bandDirection = 0;
    m_wheelDelta = 0;
    if (!scrolls) {
        m_rowAreaTop = 0;
        m_rowAreaBottom = windowHeight;
        return;
    }
    // Inside the one-pixel frame: a band above the rows and one below.
    m_rowAreaTop = 1 + kScrollBandHeight;
    m_rowAreaBottom = windowHeight - 1 - kScrollBandHeight;
    LayOutRowsFrom(m_items, 0, m_rowAreaTop);
}

bool CFlatPopupMenu::RowShown(const FlatMenuItem& item) const {
    return !m_scrolls || (item.top >= m_rowAreaTop && item.top + item.height <= m_rowAreaBottom);
}

bool CFlatPopupMenu::CanScroll(int direction) const {
    if (!m_scrolls) return false;
    if (direction < 0) return m_firstRow > 0;
    if (direction > 0) return m_firstRow < LastFirstRow(m_items, m_rowAreaBottom - m_rowAreaTop);
    return false;
}

bool CFlatPopupMenu::ScrollTo(int first) {
    if (!m_scrolls || !m_window) return false;
    const int lastFirst = LastFirstRow(m_items, m_rowAreaBottom - m_rowAreaTop);
    if (first > lastFirst) first = lastFirst;
    if (first < 0) first = 0;
    if (first == m_firstRow) return false;

    // A submenu opened level with its entry's row, which now moves.
    CloseSubmenuOfHotEntry();
    m_firstRow = first;
    LayOutRowsFrom(m_items, first, m_rowAreaTop);
    if (m_hotIndex != -1 && !RowShown(m_items[m_hotIndex])) {
        KillTimer(m_window, kSubmenuTimer);
        m_hotIndex = -1;
    }
    // Rows, arrows and bands all change: everything is painted again, now.
    InvalidateRect(m_window, nullptr, TRUE);
    UpdateWindow(m_window);
    return true;
}

bool CFlatPopupMenu::BringIntoView(int index) {
    if (!m_scrolls || index < 0 || index >= static_cast<int>(m_items.size())) return false;
    return ScrollTo(FirstRowShowing(index));
}

int CFlatPopupMenu::FirstRowShowing(int index) const {
    const int viewHeight = m_rowAreaBottom - m_rowAreaTop;
    if (index >= m_firstRow && index <= LastRowShown(m_items, m_firstRow, viewHeight))
        return m_firstRow;
    if (index < m_firstRow) {
        // Nothing above it can be chosen (Home, or Down wrapping around):
        // the menu's top shows with it, title and all.
        if (NextChoosable(-1, 1) == index && LastRowShown(m_items, 0, viewHeight) >= index)
            return 0;
        return index;
    }
    // Likewise nothing below it: the menu's end shows.
    const int lastFirst = LastFirstRow(m_items, viewHeight);
    if (NextChoosable(-1, -1) == index && lastFirst <= index) return lastFirst;
    return FirstRowEndingWith(m_items, index, viewHeight);
}

int CFlatPopupMenu::ScrollBandAt(int x, int y) const {
    if (!m_scrolls || x < 1 || x >= m_width - 1) return 0;
    if (y >= 1 && y < m_rowAreaTop) return -1;
    if (y >= m_rowAreaBottom && y < m_rowAreaBottom + kScrollBandHeight) return 1;
    return 0;
}

void CFlatPopupMenu::FollowScrollBand(int x, int y) {
    const int band = ScrollBandAt(x, y);
    if (band == 0 || !CanScroll(band)) {
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
        resting = ScrollBandAt(pointer.x, pointer.y) == m_bandDirection;
    }
    if (!resting || !ScrollTo(m_firstRow + m_bandDirection) || !CanScroll(m_bandDirection))
        StopBandScrolling();
}

void CFlatPopupMenu::StopBandScrolling() {
    if (m_bandDirection != 0 && m_window) KillTimer(m_window, kScrollTimer);
    m_bandDirection = 0;
}

void CFlatPopupMenu::CloseSubmenuOfHotEntry() {
    if (m_hotIndex == -1) return;
    CFlatPopupMenu* child = m_items[m_hotIndex].child;
    if (!child || child == this || !child->m_window) return;
    const HWND captured = GetCapture();
    DestroyWindow(child->m_window);
    // The capture stays with the tree, so that a click outside still closes it.
    if (captured && !GetCapture() && m_window) {
        SetCapture(m_window);
        m_captureState = fpmHoldsCapture;
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
    CFlatPopupMenu* root = menu->Root();
    if (root->m_contextMenuOpen && root->m_contextMenu != menu) return;
    menu->WheelTurned(GET_WHEEL_DELTA_WPARAM(msg.wParam), screen);
}

void CFlatPopupMenu::WheelTurned(int delta, POINT screen) {
    if (!m_scrolls || !m_window) return; // a menu that fits never scrolls
    // Fine-grained wheels send parts of a notch: they add up.
    m_wheelDelta += delta;
    const int notches = m_wheelDelta / WHEEL_DELTA;
    m_wheelDelta -= notches * WHEEL_DELTA;
    if (notches == 0) return;

    const int count = static_cast<int>(m_items.size());
    UINT rowsPerNotch = kDefaultWheelRows;
    if (!SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &rowsPerNotch, 0))
        rowsPerNotch = kDefaultWheelRows;
    int rows = rowsPerNotch > static_cast<UINT>(count) ? count : static_cast<int>(rowsPerNotch);
    if (rowsPerNotch == WHEEL_PAGESCROLL) {
        const int viewHeight = m_rowAreaBottom - m_rowAreaTop;
        rows = LastRowShown(m_items, m_firstRow, viewHeight) - m_firstRow + 1;
        if (rows < 1) rows = 1;
    }
    // Turning the wheel away from the user shows what lies above.
    long long first = static_cast<long long>(m_firstRow) - static_cast<long long>(notches) * rows;
    if (first < 0) first = 0;
    if (first > count) first = count;
    if (!ScrollTo(static_cast<int>(first))) return;

    // The entry now under the pointer is hot, as if the pointer had moved
    // onto it; a pointer that rests since a key leaves the key's choice.
    if (PointerRestsSinceKey(screen)) return;
    POINT client = screen;
    ScreenToClient(m_window, &client);
    RECT clientRect;
    GetClientRect(m_window, &clientRect);
    SetHotEntry(HitTest(client.x, client.y, clientRect), true);
}
