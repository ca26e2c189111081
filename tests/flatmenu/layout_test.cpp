#include <gtest/gtest.h>
#include <string>
#include "tests/flatmenu/flatmenu_test_util.h"

using fmtest::Instance;

namespace {
RECT WorkArea() {
    RECT r = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

SIZE WindowSize(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    SIZE s = {r.right - r.left, r.bottom - r.top};
    return s;
}

POINT WindowOrigin(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    POINT p = {r.left, r.top};
    return p;
}

int TextWidth(HFONT font, const std::string& text) {
    HDC ic = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
    HGDIOBJ old = SelectObject(ic, font);
    SIZE extent = {};
    GetTextExtentPoint32A(ic, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(ic, old);
    DeleteDC(ic);
    return extent.cx;
}

// A label whose width in the menu's normal font is at least `pixels`.
std::string LabelAtLeast(const CFlatPopupMenu& menu, int pixels) {
    std::string text = "W";
    while (TextWidth(menu.Palette().NormalFont(), text) < pixels)
        text += "W";
    return text;
}

class FlatMenuLayout : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(menu.Create(Instance(), fpmNoBitmap, host.Handle(), nullptr, nullptr, nullptr));
    }
    qtest::HostWindow host;
    CFlatPopupMenu menu;
};
} // namespace

TEST_F(FlatMenuLayout, EmptyMenuIs46By5) {
    EXPECT_EQ(0, menu.Track(100, 100, nullptr, false, true, nullptr));
    ASSERT_TRUE(qtest::WaitShown(menu)) << "non-modal Track leaves the window shown";
    SIZE s = WindowSize(menu.Window());
    EXPECT_EQ(46, s.cx);
    EXPECT_EQ(5, s.cy);
    EXPECT_EQ(46, menu.Rows().Width());
    POINT origin = WindowOrigin(menu.Window());
    EXPECT_EQ(100, origin.x);
    EXPECT_EQ(100, origin.y);
    EXPECT_NE(menu.Window(), GetCapture()) << "tracked without taking the capture";
}

TEST_F(FlatMenuLayout, SeparatorsAdd5AndEntries19FromTop3) {
    menu.AppendItem(fpmSeparator, nullptr, 0, -1);
    menu.AppendItem(fpmSeparator, nullptr, 0, -1);
    {
        CFlatPopupMenu onlySeparators;
        onlySeparators.Create(Instance(), fpmNoBitmap, host.Handle(), nullptr, nullptr, nullptr);
        for (int i = 0; i < 3; ++i)
            onlySeparators.AppendItem(fpmSeparator, "Long ignored text", 0, -1);
        onlySeparators.Track(400, 100, nullptr, false, true, nullptr);
        SIZE s = WindowSize(onlySeparators.Window());
        EXPECT_EQ(46, s.cx) << "separators are not measured";
        EXPECT_EQ(3 + 3 * 5 + 2, s.cy);
    }
    menu.AppendItem(0, "Open", 1, -1);
    menu.AppendItem(0, nullptr, 2, -1);
    menu.Track(100, 100, nullptr, false, true, nullptr);
    ASSERT_EQ(4, menu.Rows().Count());
    const int tops[] = {3, 8, 13, 32};
    const int heights[] = {5, 5, 19, 19};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(tops[i], menu.Rows().Item(i)->top) << "entry " << i;
        EXPECT_EQ(heights[i], menu.Rows().Item(i)->height) << "entry " << i;
    }
    SIZE s = WindowSize(menu.Window());
    EXPECT_EQ(TextWidth(menu.Palette().NormalFont(), "Open") + 46, s.cx);
    EXPECT_EQ(51 + 2, s.cy);
}

TEST_F(FlatMenuLayout, WidthIsWidestTextAmpersandsIncludedAndBoldMeasuredBold) {
    const std::string label = "&Wide Label Text";
    menu.AppendItem(0, "x", 1, -1);
    menu.AppendItem(0, label.c_str(), 2, -1);
    menu.Track(100, 100, nullptr, false, true, nullptr);
    EXPECT_EQ(TextWidth(menu.Palette().NormalFont(), label) + 46, menu.Rows().Width());
    EXPECT_EQ(menu.Rows().Width(), WindowSize(menu.Window()).cx);

    CFlatPopupMenu bold;
    bold.Create(Instance(), fpmNoBitmap, host.Handle(), nullptr, nullptr, nullptr);
    bold.AppendItem(fpmBold, label.c_str(), 1, -1);
    bold.Track(400, 100, nullptr, false, true, nullptr);
    const int boldText = TextWidth(bold.Palette().BoldFont(), label);
    ASSERT_GT(boldText, TextWidth(bold.Palette().NormalFont(), label))
        << "the bold face must be wider";
    EXPECT_EQ(boldText + 46, bold.Rows().Width());
}

TEST_F(FlatMenuLayout, KeptInsideTheWorkAreaOnTheRightAndBottom) {
    const RECT work = WorkArea();
    menu.AppendItem(0, "Entry", 1, -1);
    menu.Track(work.right - 10, work.bottom - 5, nullptr, false, true, nullptr);
    SIZE s = WindowSize(menu.Window());
    POINT origin = WindowOrigin(menu.Window());
    EXPECT_EQ(work.right - s.cx, origin.x);
    EXPECT_EQ(work.bottom - s.cy, origin.y);
}

TEST_F(FlatMenuLayout, PositionsAboveOrLeftOfTheWorkAreaMoveIntoIt) {
    const RECT work = WorkArea();
    menu.AppendItem(0, "Entry", 1, -1);
    menu.Track(work.left - 20, work.top - 30, nullptr, false, true, nullptr);
    POINT origin = WindowOrigin(menu.Window());
    EXPECT_EQ(work.left, origin.x);
    EXPECT_EQ(work.top, origin.y);
}

TEST_F(FlatMenuLayout, TallerThanTheWorkAreaTakesItsFullHeightAndScrolls) {
    const RECT work = WorkArea();
    const int entries = (work.bottom - work.top) / 19 + 5;
    for (int i = 0; i < entries; ++i)
        menu.AppendItem(0, "Row", i + 1, -1);
    menu.Track(100, 200, nullptr, false, true, nullptr);
    EXPECT_EQ(work.top, WindowOrigin(menu.Window()).y);
    EXPECT_EQ(work.bottom - work.top, WindowSize(menu.Window()).cy);
    EXPECT_TRUE(menu.Rows().Scrolls());
}

TEST_F(FlatMenuLayout, SubmenuOpensBesideItsParentOverlappingBy3) {
    CFlatPopupMenu child;
    child.Create(Instance(), fpmNoBitmap, host.Handle(), nullptr, nullptr, nullptr);
    child.AppendItem(0, "Child entry", 10, -1);
    menu.AppendPopup(0, "Sub", &child, -1, 0);
    menu.Track(100, 100, nullptr, false, true, nullptr);
    child.Track(5000, 150, nullptr, false, true, nullptr);
    POINT origin = WindowOrigin(child.Window());
    EXPECT_EQ(100 + menu.Rows().Width() - 3, origin.x) << "the x argument is ignored for a child";
    EXPECT_EQ(150, origin.y);
}

TEST_F(FlatMenuLayout, SubmenuNearTheRightEdgeOpensOnTheLeft) {
    const RECT work = WorkArea();
    CFlatPopupMenu child;
    child.Create(Instance(), fpmNoBitmap, host.Handle(), nullptr, nullptr, nullptr);
    child.AppendItem(0, "Child entry", 10, -1);
    menu.AppendPopup(0, "Sub", &child, -1, 0);
    menu.Track(work.right - 60, 100, nullptr, false, true, nullptr);
    child.Track(0, 150, nullptr, false, true, nullptr);
    EXPECT_EQ(WindowOrigin(menu.Window()).x - child.Rows().Width() + 3,
              WindowOrigin(child.Window()).x);
}

TEST_F(FlatMenuLayout, WideSubmenuWithoutRoomOnEitherSideOpensAtZero) {
    const RECT work = WorkArea();
    CFlatPopupMenu child;
    child.Create(Instance(), fpmNoBitmap, host.Handle(), nullptr, nullptr, nullptr);
    child.AppendItem(0, LabelAtLeast(child, work.right - 100).c_str(), 10, -1);
    menu.AppendPopup(0, "Sub", &child, -1, 0);
    menu.Track(150, 100, nullptr, false, true, nullptr);
    child.Track(0, 150, nullptr, false, true, nullptr);
    ASSERT_GT(WindowOrigin(menu.Window()).x + menu.Rows().Width() - 3 + child.Rows().Width(),
              work.right);
    ASSERT_LT(WindowOrigin(menu.Window()).x - child.Rows().Width() + 3, 0);
    EXPECT_EQ(0, WindowOrigin(child.Window()).x);
}
