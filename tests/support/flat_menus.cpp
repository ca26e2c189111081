#include "tests/support/flat_menus.h"
#include <gtest/gtest.h>

namespace qtest {

bool WaitShown(const CFlatPopupMenu& menu, const char* what) {
    const bool shown = WaitFor([&] {
        HWND w = menu.Window();
        return w && IsWindowVisible(w);
    });
    EXPECT_TRUE(shown) << what << " did not show";
    return shown;
}

bool WaitGone(const CFlatPopupMenu& menu, const char* what) {
    const bool gone = WaitFor([&] { return menu.Window() == nullptr; });
    EXPECT_TRUE(gone) << what << " did not close";
    return gone;
}

bool RowBarHasColour(HWND menuWindow, int top, COLORREF colour) {
    RECT client = {};
    if (!GetClientRect(menuWindow, &client)) return false;
    const int x = client.right - 14; // right of any text, left of the arrow
    HDC dc = GetDC(menuWindow);
    const bool painted = GetPixel(dc, x, top + 3) == colour && GetPixel(dc, x, top + 15) == colour;
    ReleaseDC(menuWindow, dc);
    return painted;
}

bool RowShown(const CFlatPopupMenu& menu, int index) {
    const FlatMenuItem* item = menu.Rows().Item(index);
    return item && item->top >= menu.Rows().RowAreaTop() &&
           item->top + item->height <= menu.Rows().RowAreaBottom();
}

std::string FlatMenuView::MenuName(int menu) const {
    if (menu < 0 || menu >= static_cast<int>(m_menus.size())) return "no menu";
    return m_menus[menu].name;
}

int FlatMenuView::Innermost() const {
    const std::vector<HWND> windows = MenuWindows();
    for (HWND window : windows)
        for (size_t i = 0; i < m_menus.size(); ++i)
            if (m_menus[i].menu->Window() == window) return static_cast<int>(i);
    return kClosed;
}

int FlatMenuView::HotRow(int menu) const {
    return m_menus.at(menu).menu->Rows().HotIndex();
}

bool FlatMenuView::PaintedHot(int menu, int row) const {
    const CFlatPopupMenu& m = *m_menus.at(menu).menu;
    return m.Window() && RowShown(m, row) &&
           RowBarHasColour(m.Window(), m.Rows().Item(row)->top, GetSysColor(COLOR_HIGHLIGHT));
}

bool FlatMenuView::PaintedPlain(int menu, int row) const {
    const CFlatPopupMenu& m = *m_menus.at(menu).menu;
    if (!m.Window()) return false;
    // A row scrolled out of view is painted no longer.
    if (!RowShown(m, row)) return true;
    return RowBarHasColour(m.Window(), m.Rows().Item(row)->top, GetSysColor(COLOR_MENU));
}

} // namespace qtest
