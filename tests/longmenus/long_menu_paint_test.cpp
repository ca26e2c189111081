// A menu far taller than the screen: what lies in the area being painted is
// drawn, whatever lies outside it need not be.
#include <gtest/gtest.h>
#include <windows.h>
#include "flatmenu/flat_popup_menu.h"
#include "tests/support/test_support.h"

namespace {
const COLORREF kGarbage = RGB(1, 2, 3);
const COLORREF kIconColour = RGB(200, 0, 0);
const int kEntries = 400;

HBITMAP SolidStrip(int slots, COLORREF colour) {
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    HDC screen = GetDC(nullptr);
    HBITMAP strip = CreateCompatibleBitmap(screen, cx * slots, cy);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, strip);
    RECT all = {0, 0, cx * slots, cy};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return strip;
}

class LongMenuPaint : public ::testing::Test {
  protected:
    void SetUp() override {
        image = SolidStrip(1, kIconColour);
        mask = SolidStrip(1, RGB(0, 0, 0)); // opaque everywhere
        ASSERT_TRUE(menu.Create(GetModuleHandleA(nullptr), fpmUserBitmap, host.Handle(), image,
                                mask, nullptr));
        for (int i = 0; i < kEntries; ++i)
            menu.AppendItem(0, "Entry", i + 1, 0);
        // Away from the menu: a pointer resting where an earlier program left
        // it would make the entry under it hot.
        qtest::MoveMouse(50, 50);
        menu.Track(500, 0, nullptr, false, true, nullptr);
        ASSERT_TRUE(menu.Window());
        UpdateWindow(menu.Window());
        qtest::PumpMessages();
    }
    void TearDown() override {
        if (menu.Window()) DestroyWindow(menu.Window());
        DeleteObject(image);
        DeleteObject(mask);
    }
    // Paints the client area over, then lets the menu repaint `rect` without
    // erasing its background first.
    void Scribble(const RECT& rect) {
        HWND w = menu.Window();
        HDC dc = GetDC(w);
        RECT client;
        GetClientRect(w, &client);
        HBRUSH brush = CreateSolidBrush(kGarbage);
        FillRect(dc, &client, brush);
        DeleteObject(brush);
        ReleaseDC(w, dc);
        InvalidateRect(w, &rect, FALSE);
        UpdateWindow(w);
    }
    // A pixel inside entry i's icon.
    COLORREF IconPixel(int i) const {
        return qtest::PixelAt(menu.Window(), 8, menu.Rows().Item(i)->top + 6);
    }
    qtest::HostWindow host;
    HBITMAP image = nullptr, mask = nullptr;
    CFlatPopupMenu menu;
};
} // namespace

TEST_F(LongMenuPaint, EntriesDownToTheBottomScrollBandAreDrawn) {
    ASSERT_TRUE(menu.Rows().Scrolls()) << "the menu must be taller than the screen";
    int lastVisible = -1;
    for (int i = 0; i < kEntries; ++i)
        if (menu.Rows().Item(i)->top + 19 <= menu.Rows().RowAreaBottom()) lastVisible = i;
    ASSERT_GT(lastVisible, 10);
    ASSERT_LT(lastVisible, kEntries - 1);
    RECT all;
    GetClientRect(menu.Window(), &all);
    Scribble(all);
    EXPECT_EQ(kIconColour, IconPixel(0));
    EXPECT_EQ(kIconColour, IconPixel(lastVisible / 2));
    EXPECT_EQ(kIconColour, IconPixel(lastVisible));
}

TEST_F(LongMenuPaint, EveryEntryTouchingAnUpdatedBandIsRedrawn) {
    // A band from the lower half of entry 10 into the upper half of entry 11.
    const int top10 = menu.Rows().Item(10)->top, top11 = menu.Rows().Item(11)->top;
    RECT band = {0, top10 + 10, menu.Rows().Width(), top11 + 10};
    Scribble(band);
    EXPECT_EQ(kIconColour, IconPixel(11)) << "entry 11's icon starts inside the band";
    EXPECT_EQ(kIconColour, qtest::PixelAt(menu.Window(), 8, top10 + 12))
        << "the lower half of entry 10's icon lies inside the band";
    EXPECT_EQ(GetSysColor(COLOR_MENU),
              qtest::PixelAt(menu.Window(), menu.Rows().Width() - 6, top10 + 18))
        << "entry 10's bar is repainted at its bottom row";
    EXPECT_EQ(kGarbage, IconPixel(12)) << "outside the band nothing is painted";
}
