// Real menus shown at the lane's DPI: entries, text, separators, the frame,
// the submenu arrow and the scroll bands come out at their scaled sizes.
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <string>
#include "flatmenu/flat_popup_menu.h"
#include "tests/dpi/dpi_test_support.h"

using dpitest::Scaled;

namespace {
const COLORREF kText = GetSysColor(COLOR_MENUTEXT); // the frame's colour too
const COLORREF kBackground = GetSysColor(COLOR_MENU);
const COLORREF kGrayText = GetSysColor(COLOR_GRAYTEXT);

enum Entry { kPlain, kSeparator, kSub };

class DpiMenu : public ::testing::Test {
  protected:
    void SetUp() override {
        const HINSTANCE module = GetModuleHandleA(nullptr);
        ASSERT_TRUE(menu.Create(module, fpmNoBitmap, host.Handle(), nullptr, nullptr, nullptr));
        child.Create(module, fpmNoBitmap, host.Handle(), nullptr, nullptr, nullptr);
        child.AppendItem(0, "Inner", 50, -1);
        menu.AppendItem(0, "Plain entry", 1, -1);
        menu.AppendItem(fpmSeparator, nullptr, 0, -1);
        menu.AppendPopup(0, "Submenu", &child, -1, 0);
        ASSERT_TRUE(dpitest::ShowPainted(menu, 100, 100));
    }
    const FlatMenuItem& Item(Entry e) const { return *menu.Rows().Item(e); }
    int Width() const { return menu.Rows().Width(); }

    qtest::HostWindow host;
    CFlatPopupMenu menu, child;
};

// The smallest rectangle holding every pixel of `colour` in `area`.
RECT Bounds(const qtest::Snapshot& shot, const RECT& area, COLORREF colour) {
    RECT found = {area.right, area.bottom, area.left - 1, area.top - 1};
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            if (shot.Pixel(x, y) != colour) continue;
            found.left = std::min<LONG>(found.left, x);
            found.top = std::min<LONG>(found.top, y);
            found.right = std::max<LONG>(found.right, x + 1);
            found.bottom = std::max<LONG>(found.bottom, y + 1);
        }
    return found;
}
} // namespace

TEST_F(DpiMenu, EntriesSeparatorsAndMarginsHaveTheirScaledHeights) {
    const int itemHeight = menu.Palette().Geometry().itemHeight;
    EXPECT_GE(itemHeight, Scaled(19));
    EXPECT_EQ(Scaled(3), Item(kPlain).top);
    EXPECT_EQ(itemHeight, Item(kPlain).height);
    EXPECT_EQ(Scaled(5), Item(kSeparator).height);
    EXPECT_EQ(itemHeight, Item(kSub).height);
    RECT client = {};
    GetClientRect(menu.Window(), &client);
    EXPECT_EQ(Scaled(3) + 2 * itemHeight + Scaled(5) + Scaled(2), client.bottom);
    EXPECT_EQ(Width(), client.right);
}

TEST_F(DpiMenu, TextStartsAtItsScaledPlaceAndStaysInsideItsRow) {
    const qtest::Snapshot shot(menu.Window());
    const FlatMenuItem& plain = Item(kPlain);
    const RECT row = {0, plain.top, Width() - Scaled(12), plain.top + plain.height};
    const RECT text = Bounds(shot, {Scaled(1), row.top, row.right, row.bottom}, kText);
    ASSERT_LT(text.left, text.right) << "no text drawn in the row";
    EXPECT_GE(text.left, Scaled(25));
    EXPECT_LE(text.left, Scaled(25) + Scaled(2)) << "the first letter starts at the text's x";
    EXPECT_GT(text.top, row.top);
    EXPECT_LT(text.bottom, row.bottom);
}

TEST_F(DpiMenu, TheFrameAndTheSeparatorLineAreScaledLines) {
    const qtest::Snapshot shot(menu.Window());
    const int middle = Item(kPlain).top + Item(kPlain).height / 2;
    for (int x = 0; x < Scaled(1); ++x)
        EXPECT_EQ(kText, shot.Pixel(x, middle)) << "frame at x " << x;
    EXPECT_EQ(kBackground, shot.Pixel(Scaled(1), middle)) << "inside the frame";
    const int line = Item(kSeparator).top + Scaled(2);
    const int x = Width() / 2;
    EXPECT_EQ(kBackground, shot.Pixel(x, line - 1));
    for (int y = line; y < line + Scaled(1); ++y)
        EXPECT_EQ(kText, shot.Pixel(x, y)) << "separator line at y " << y;
    EXPECT_EQ(kBackground, shot.Pixel(x, line + Scaled(1)));
}

TEST_F(DpiMenu, TheSubmenuArrowIsAScaledTriangle) {
    const qtest::Snapshot shot(menu.Window());
    const FlatMenuItem& sub = Item(kSub);
    const int tip = Width() - Scaled(7), middle = sub.top + Scaled(8), columns = Scaled(4);
    for (int stroke = 0; stroke <= columns; ++stroke) {
        const RECT column = {tip - stroke, sub.top, tip - stroke + 1, sub.top + sub.height};
        const int expected = stroke < columns ? 2 * stroke + 1 : 0;
        EXPECT_EQ(expected, shot.Count(column, kText)) << "column " << stroke << " from the tip";
        if (stroke < columns) {
            EXPECT_EQ(kText, shot.Pixel(tip - stroke, middle - stroke));
            EXPECT_EQ(kText, shot.Pixel(tip - stroke, middle + stroke));
        }
    }
    const RECT pastTip = {tip + 1, sub.top, Width() - Scaled(1), sub.top + sub.height};
    EXPECT_EQ(0, shot.Count(pastTip, kText));
}

TEST(DpiScrollingMenu, BandsAndTheirArrowsAreScaled) {
    qtest::HostWindow host;
    CFlatPopupMenu menu;
    ASSERT_TRUE(menu.Create(GetModuleHandleA(nullptr), fpmNoBitmap, host.Handle(), nullptr, nullptr,
                            nullptr));
    for (int i = 0; i < 300; ++i)
        menu.AppendItem(0, ("Entry " + std::to_string(i)).c_str(), i + 1, -1);
    ASSERT_TRUE(dpitest::ShowPainted(menu, 100, 0));
    const MenuRows& rows = menu.Rows();
    ASSERT_TRUE(rows.Scrolls()) << "300 entries fit the screen";
    const int frame = Scaled(1), band = Scaled(12), arrow = Scaled(4);
    EXPECT_EQ(frame + band, rows.RowAreaTop());
    RECT client = {};
    GetClientRect(menu.Window(), &client);
    EXPECT_EQ(client.bottom - frame - band, rows.RowAreaBottom());

    const qtest::Snapshot shot(menu.Window());
    const RECT top = {frame, frame, rows.Width() - frame, frame + band};
    const RECT bottom = {frame, rows.RowAreaBottom(), rows.Width() - frame,
                         rows.RowAreaBottom() + band};
    // At the top nothing lies above: that arrow is grayed, the other is not.
    EXPECT_EQ(arrow * arrow, shot.Count(top, kGrayText)) << "1 + 3 + 5... pixels";
    EXPECT_EQ(arrow * arrow, shot.Count(bottom, kText));
    const RECT upArrow = Bounds(shot, top, kGrayText);
    EXPECT_EQ(2 * arrow - 1, upArrow.right - upArrow.left);
    EXPECT_EQ(arrow, upArrow.bottom - upArrow.top);
    EXPECT_EQ(top.top + (band - arrow) / 2, upArrow.top) << "in the middle of its band";
}
