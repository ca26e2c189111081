#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>
#include "flatmenu/menu_drawing.h"
#include "tests/flatmenu/flatmenu_test_util.h"

using fmtest::Instance;

namespace {
const COLORREF kRed = RGB(200, 0, 0);
const COLORREF kGreen = RGB(0, 160, 0);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kMagenta = RGB(255, 0, 255);

struct Colours {
    COLORREF frame = GetSysColor(COLOR_MENUTEXT);
    COLORREF background = GetSysColor(COLOR_MENU);
    COLORREF text = GetSysColor(COLOR_MENUTEXT);
    COLORREF grayText = GetSysColor(COLOR_GRAYTEXT);
    COLORREF hotText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
};

// First and last x of a colour on one client row, or -1.
void ColourSpan(HWND window, int y, int width, COLORREF colour, int* first, int* last) {
    *first = *last = -1;
    for (int x = 0; x < width; ++x) {
        if (qtest::PixelAt(window, x, y) != colour) continue;
        if (*first < 0) *first = x;
        *last = x;
    }
}

enum Entry { kPlain, kIcon, kSeparator, kGrayed, kSub };

// A shown menu with one entry of each kind; its icon strip has a mask.
class FlatMenuPaint : public ::testing::Test {
  protected:
    void SetUp() override {
        const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
        // Icon 0: opaque red left half, transparent right half.
        image = fmtest::MakeStrip({kRed});
        RECT right = {cx / 2, 0, cx, cy};
        fmtest::FillBitmapRect(image, right, kBlack);
        mask = fmtest::MakeStrip({kBlack});
        fmtest::FillBitmapRect(mask, right, kWhite);

        ASSERT_TRUE(menu.Create(Instance(), fpmUserBitmap, host.Handle(), image, mask, nullptr));
        child.Create(Instance(), fpmNoBitmap, host.Handle(), nullptr, nullptr, nullptr);
        child.AppendItem(0, "Inner", 50, -1);
        menu.AppendItem(0, "Plain entry", 1, -1);
        menu.AppendItem(0, "With icon", 2, 0);
        menu.AppendItem(fpmSeparator, nullptr, 0, -1);
        menu.AppendItem(fpmGrayed, "MMMMMM", 4, -1);
        menu.AppendPopup(0, "Submenu", &child, -1, 0);
        menu.Track(600, 100, nullptr, false, true, nullptr);
        ASSERT_TRUE(qtest::WaitShown(menu));
        UpdateWindow(menu.Window());
        qtest::PumpMessages();
        w = menu.Window();
        W = menu.Rows().Width();
    }
    void TearDown() override {
        DeleteObject(image);
        DeleteObject(mask);
    }
    int Top(Entry e) const { return menu.Rows().Item(e)->top; }
    COLORREF At(int x, int y) const { return qtest::PixelAt(w, x, y); }
    RECT TextBox(Entry e) const {
        RECT r = {25, Top(e) + 1, W - 12, Top(e) + 18};
        return r;
    }

    qtest::HostWindow host;
    HBITMAP image = nullptr, mask = nullptr;
    CFlatPopupMenu menu, child;
    Colours c;
    HWND w = nullptr;
    int W = 0;
};
} // namespace

TEST_F(FlatMenuPaint, FrameAroundBackground) {
    RECT client;
    GetClientRect(w, &client);
    EXPECT_EQ(c.frame, At(0, 0));
    EXPECT_EQ(c.frame, At(W - 1, client.bottom - 1));
    EXPECT_EQ(c.frame, At(W / 2, 0));
    EXPECT_EQ(c.frame, At(0, client.bottom / 2));
    EXPECT_EQ(c.background, At(1, 1));
    EXPECT_EQ(c.background, At(W - 2, client.bottom - 2));
}

TEST_F(FlatMenuPaint, HotBarStartsAt3WithoutIconAnd23WithIcon) {
    ASSERT_NE(c.highlight, c.background);
    int first, last;
    const int plainRow = Top(kPlain) + 5;
    ColourSpan(w, plainRow, W, c.highlight, &first, &last);
    EXPECT_EQ(-1, first) << "nothing is hot before the pointer moves";

    fmtest::HoverByMessage(menu, kPlain);
    ASSERT_EQ(kPlain, menu.Rows().HotIndex());
    ColourSpan(w, plainRow, W, c.highlight, &first, &last);
    EXPECT_EQ(3, first);
    EXPECT_EQ(W - 4, last) << "the bar ends before x W - 2";
    EXPECT_EQ(c.highlight, At(10, Top(kPlain)));
    EXPECT_EQ(c.highlight, At(10, Top(kPlain) + 18));

    fmtest::HoverByMessage(menu, kIcon);
    ColourSpan(w, Top(kIcon) + 5, W, c.highlight, &first, &last);
    EXPECT_EQ(23, first);
    EXPECT_EQ(W - 4, last);
    ColourSpan(w, plainRow, W, c.highlight, &first, &last);
    EXPECT_EQ(-1, first) << "the entry that lost the highlight is repainted plain";
}

TEST_F(FlatMenuPaint, RaisedIconFrameOnlyWhileHot) {
    const int t = Top(kIcon);
    EXPECT_EQ(c.background, At(3, t + 5));
    EXPECT_EQ(c.background, At(22, t + 5));

    fmtest::HoverByMessage(menu, kIcon);
    EXPECT_EQ(c.light, At(3, t + 5));
    EXPECT_EQ(c.light, At(10, t));
    EXPECT_EQ(c.shadow, At(22, t + 5));
    EXPECT_EQ(c.shadow, At(10, t + 18));

    fmtest::HoverByMessage(menu, kPlain);
    EXPECT_EQ(c.background, At(3, t + 5)) << "no frame is left behind";
    EXPECT_EQ(c.background, At(10, t));
    EXPECT_EQ(c.background, At(22, t + 5));
    EXPECT_EQ(c.background, At(10, t + 18));
}

// The client area's pixels as the window's own DC holds them.
std::vector<DWORD> ClientPixels(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(window, dc);
    std::vector<DWORD> pixels = qtest::BitmapPixels(bitmap);
    DeleteObject(bitmap);
    return pixels;
}

// A whole repaint, over an erased background or over what is there, shows
// the menu exactly as the hot entry's own repaints left it.
TEST_F(FlatMenuPaint, WholeRepaintsShowWhatTheHotEntryRepaintsShow) {
    for (Entry hot : {kIcon, kPlain, kGrayed}) {
        fmtest::HoverByMessage(menu, hot);
        qtest::PumpMessages();
        const std::vector<DWORD> shown = ClientPixels(w);
        ASSERT_FALSE(shown.empty());
        InvalidateRect(w, nullptr, TRUE);
        UpdateWindow(w);
        EXPECT_TRUE(shown == ClientPixels(w)) << "erased and repainted, entry " << hot << " hot";
        InvalidateRect(w, nullptr, FALSE);
        UpdateWindow(w);
        EXPECT_TRUE(shown == ClientPixels(w)) << "repainted over itself, entry " << hot << " hot";
    }
    // The icon's raised frame went with its hot state.
    EXPECT_EQ(c.background, At(3, Top(kIcon) + 5));
    EXPECT_EQ(c.background, At(22, Top(kIcon) + 5));
}

TEST_F(FlatMenuPaint, IconDrawnThroughItsMask) {
    const int t = Top(kIcon);
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(kRed, At(4 + 2, t + 1 + 5)) << "opaque half, pass " << pass;
        EXPECT_EQ(c.background, At(4 + 12, t + 1 + 5)) << "transparent half, pass " << pass;
        fmtest::HoverByMessage(menu, kIcon); // drawn again over itself
    }
}

TEST_F(FlatMenuPaint, SeparatorLineTwoBelowItsTopHotOrNot) {
    const int t = Top(kSeparator);
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(c.frame, At(10, t + 2));
        EXPECT_EQ(c.frame, At(W - 2, t + 2));
        EXPECT_EQ(c.background, At(10, t + 1));
        EXPECT_EQ(c.background, At(10, t + 3));
        fmtest::HoverByMessage(menu, kSeparator);
    }
    EXPECT_EQ(kSeparator, menu.Rows().HotIndex()) << "a separator row can be the hot entry";
}

TEST_F(FlatMenuPaint, SubmenuArrowTipAtWMinus7) {
    const int t = Top(kSub);
    EXPECT_EQ(c.text, At(W - 7, t + 8));
    EXPECT_EQ(c.background, At(W - 6, t + 8));
    EXPECT_EQ(c.background, At(W - 7, t + 7));
    EXPECT_EQ(c.background, At(W - 7, t + 9));
    EXPECT_EQ(c.text, At(W - 10, t + 5));
    EXPECT_EQ(c.text, At(W - 10, t + 11));
    EXPECT_EQ(c.background, At(W - 10, t + 4));
    EXPECT_EQ(c.background, At(W - 10, t + 12));
    EXPECT_EQ(c.background, At(W - 11, t + 8));

    fmtest::HoverByMessage(menu, kSub);
    EXPECT_EQ(c.hotText, At(W - 7, t + 8));
    EXPECT_EQ(c.hotText, At(W - 10, t + 11));
}

TEST_F(FlatMenuPaint, GrayedTextUsesDisabledColourUnlessHot) {
    ASSERT_NE(c.grayText, c.text);
    EXPECT_GT(qtest::Snapshot(w).Count(TextBox(kGrayed), c.grayText), 10);
    EXPECT_EQ(0, qtest::Snapshot(w).Count(TextBox(kGrayed), c.text));
    EXPECT_GT(qtest::Snapshot(w).Count(TextBox(kPlain), c.text), 10);

    fmtest::HoverByMessage(menu, kGrayed);
    EXPECT_EQ(kGrayed, menu.Rows().HotIndex()) << "grayed entries can be hot";
    EXPECT_GT(qtest::Snapshot(w).Count(TextBox(kGrayed), c.hotText), 10);
    EXPECT_EQ(0, qtest::Snapshot(w).Count(TextBox(kGrayed), c.grayText));
}

TEST(FlatMenuPaintText, AmpersandUnderlinesTheNextCharacter) {
    qtest::HostWindow host;
    CFlatPopupMenu menu;
    menu.Create(Instance(), fpmNoBitmap, host.Handle(), nullptr, nullptr, nullptr);
    menu.AppendItem(0, "Wx", 1, -1);
    menu.AppendItem(0, "&Wx", 2, -1);
    menu.Track(600, 100, nullptr, false, true, nullptr);
    ASSERT_TRUE(qtest::WaitShown(menu));
    UpdateWindow(menu.Window());
    const COLORREF background = GetSysColor(COLOR_MENU);
    const int W = menu.Rows().Width();
    RECT plain = {25, menu.Rows().Item(0)->top + 1, W - 3, menu.Rows().Item(0)->top + 19};
    RECT marked = {25, menu.Rows().Item(1)->top + 1, W - 3, menu.Rows().Item(1)->top + 19};
    const int plainCount = qtest::Snapshot(menu.Window()).CountOtherThan(plain, background);
    const int markedCount = qtest::Snapshot(menu.Window()).CountOtherThan(marked, background);
    const int underline = qtest::Snapshot(menu.Window()).Count(marked, GetSysColor(COLOR_MENUTEXT)) -
                          qtest::Snapshot(menu.Window()).Count(plain, GetSysColor(COLOR_MENUTEXT));
    EXPECT_GT(plainCount, 10);
    // The same glyphs plus a solid underline as wide as the "W", and no "&".
    EXPECT_GE(underline, 5);
    EXPECT_EQ(plainCount + underline, markedCount);
}

// An entry's text draws exactly as DrawText draws it, whatever it holds:
// plain text is drawn the short way, mnemonics, tabs, line breaks and text
// too long for that way the general way.
TEST(FlatMenuPaintText, EveryTextDrawsAsDrawTextDrawsIt) {
    CFlatPopupMenu menu;
    ASSERT_TRUE(menu.Create(Instance(), fpmNoBitmap, nullptr, nullptr, nullptr, nullptr));
    const int width = 400, height = 60;
    auto draw = [&](const std::string& text, bool general) {
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
        HGDIOBJ oldFont = SelectObject(dc, menu.Palette().NormalFont());
        RECT all = {0, 0, width, height};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetBkMode(dc, TRANSPARENT);
        if (general) {
            RECT box = {5, 3, 1005, 1003};
            DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &box, DT_NOCLIP);
        } else {
            DrawEntryText(dc, 5, 3, text);
        }
        SelectObject(dc, oldFont);
        SelectObject(dc, oldBitmap);
        DeleteDC(dc);
        std::vector<DWORD> pixels = qtest::BitmapPixels(bitmap);
        DeleteObject(bitmap);
        return pixels;
    };
    const std::string texts[] = {"Plain entry",
                                 "Fa\xe7"
                                 "ade \xfc"
                                 "ber \xe9"
                                 "t\xe9",
                                 "",
                                 "&Open",
                                 "Tom && Jerry",
                                 "Tab\there",
                                 "Two\nlines",
                                 std::string(1100, 'W')};
    for (const std::string& text : texts) {
        std::vector<DWORD> drawn = draw(text, false);
        ASSERT_EQ(static_cast<size_t>(width) * height, drawn.size());
        EXPECT_TRUE(drawn == draw(text, true)) << "text \"" << text.substr(0, 20) << "\"";
        if (!text.empty())
            EXPECT_TRUE(std::count(drawn.begin(), drawn.end(), drawn[0]) <
                        static_cast<long>(drawn.size()))
                << "nothing drawn for \"" << text.substr(0, 20) << "\"";
    }
}

TEST(FlatMenuPaintIcons, ColourKeyShowsTheMenuThroughMagentaAndKeepsTheStrip) {
    qtest::HostWindow host;
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    // Icon 1: green left half, magenta right half. Icon 0 is all red.
    HBITMAP strip = fmtest::MakeStrip({kRed, kGreen});
    RECT right = {cx + cx / 2, 0, 2 * cx, cy};
    fmtest::FillBitmapRect(strip, right, kMagenta);
    {
        CFlatPopupMenu menu;
        menu.Create(Instance(), fpmUserBitmap, host.Handle(), strip, nullptr, nullptr);
        menu.AppendItem(0, "Red", 1, 0);
        menu.AppendItem(0, "Green", 2, 1);
        menu.Track(600, 100, nullptr, false, true, nullptr);
        ASSERT_TRUE(qtest::WaitShown(menu));
        UpdateWindow(menu.Window());
        fmtest::HoverByMessage(menu, 1);
        const COLORREF background = GetSysColor(COLOR_MENU);
        const int t0 = menu.Rows().Item(0)->top, t1 = menu.Rows().Item(1)->top;
        EXPECT_EQ(kRed, qtest::PixelAt(menu.Window(), 4 + 3, t0 + 1 + 3));
        EXPECT_EQ(kRed, qtest::PixelAt(menu.Window(), 4 + 13, t0 + 1 + 3));
        EXPECT_EQ(kGreen, qtest::PixelAt(menu.Window(), 4 + 3, t1 + 1 + 3));
        EXPECT_EQ(background, qtest::PixelAt(menu.Window(), 4 + 13, t1 + 1 + 3))
            << "magenta pixels show the menu behind the icon";
    }
    EXPECT_EQ(kRed, fmtest::BitmapPixel(strip, 3, 3));
    EXPECT_EQ(kGreen, fmtest::BitmapPixel(strip, cx + 3, 3));
    EXPECT_EQ(kMagenta, fmtest::BitmapPixel(strip, cx + 13, 3)) << "the strip is restored";
    DeleteObject(strip);
}

TEST(FlatMenuPaintIcons, IconIndexWithoutAStripIsSkipped) {
    qtest::HostWindow host;
    CFlatPopupMenu menu;
    menu.Create(Instance(), fpmNoBitmap, host.Handle(), nullptr, nullptr, nullptr);
    menu.AppendItem(0, "Orphan icon", 1, 3);
    menu.Track(600, 100, nullptr, false, true, nullptr);
    ASSERT_TRUE(qtest::WaitShown(menu));
    UpdateWindow(menu.Window());
    fmtest::HoverByMessage(menu, 0);
    int first, last;
    ColourSpan(menu.Window(), menu.Rows().Item(0)->top + 5, menu.Rows().Width(),
               GetSysColor(COLOR_HIGHLIGHT), &first, &last);
    EXPECT_EQ(3, first) << "drawn as an entry without an icon";
    EXPECT_NE(GetSysColor(COLOR_BTNHIGHLIGHT),
              qtest::PixelAt(menu.Window(), 10, menu.Rows().Item(0)->top));
}
