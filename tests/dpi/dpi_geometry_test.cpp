// The measures of the flat menus at the lane's DPI: each is its value at 96
// DPI scaled as MulDiv scales it, and an entry always has room for its text.
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <string>
#include <vector>
#include "flatmenu/flat_popup_menu.h"
#include "flatmenu/menu_geometry.h"
#include "tests/dpi/dpi_test_support.h"

using dpitest::ListedDpi;
using dpitest::Scaled;

namespace {
// The height of the menus' font made for `dpi`, measured on the screen.
int FontHeight(int dpi, int weight) {
    LOGFONTA font = {};
    font.lfHeight = -MulDiv(8, dpi, 72);
    font.lfWeight = weight;
    lstrcpynA(font.lfFaceName, "MS Sans Serif", LF_FACESIZE);
    HFONT handle = CreateFontIndirectA(&font);
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, handle);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(screen, &metrics);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    DeleteObject(handle);
    return metrics.tmHeight;
}

MenuGeometry GeometryOfAMadeMenu() {
    CFlatPopupMenu menu;
    menu.Create(GetModuleHandleA(nullptr), fpmNoBitmap, nullptr, nullptr, nullptr, nullptr);
    return menu.Palette().Geometry();
}
} // namespace

TEST(DpiGeometry, ScalingRoundsAsMulDivDoes) {
    for (int dpi : {72, 96, 120, 144, 168, 192, 240}) {
        for (int value = -50; value <= 50; ++value)
            ASSERT_EQ(MulDiv(value, dpi, 96), ScaleRounded(value, dpi, 96)) << value << "@" << dpi;
    }
    EXPECT_EQ(MulDiv(7, 3, -2), ScaleRounded(7, 3, -2));
    EXPECT_EQ(MulDiv(5, 5, 0), ScaleRounded(5, 5, 0));
}

TEST(DpiGeometry, EveryMeasureIsItsValueAt96Scaled) {
    const MenuGeometry g = GeometryOfAMadeMenu();
    EXPECT_EQ(ListedDpi(), g.dpi);
    struct Measure {
        const char* what;
        int actual, at96;
    };
    const Measure measures[] = {
        {"top margin", g.topMargin, 3},
        {"separator height", g.separatorHeight, 5},
        {"separator line", g.separatorLineTop, 2},
        {"line width", g.lineWidth, 1},
        {"bottom margin", g.bottomMargin, 2},
        {"extra width", g.extraWidth, 46},
        {"submenu overlap", g.submenuOverlap, 3},
        {"dead band", g.deadBand, 2},
        {"frame", g.frame, 1},
        {"scroll band", g.scrollBandHeight, 12},
        {"scroll arrow", g.scrollArrowRows, 4},
        {"icon frame left", g.iconFrameLeft, 3},
        {"icon frame right", g.iconFrameRight, 22},
        {"icon frame bottom", g.iconFrameBottom, 18},
        {"icon inset", g.iconInset, 1},
        {"icon size", g.iconSize, 16},
        {"bar left with icon", g.barLeftWithIcon, 23},
        {"bar left without icon", g.barLeftWithoutIcon, 3},
        {"text x", g.textLeft, 25},
        {"submenu arrow", g.submenuArrowColumns, 4},
        {"submenu arrow tip", g.submenuArrowTipInset, 7},
        {"submenu arrow middle", g.submenuArrowMiddle, 8},
    };
    for (const Measure& m : measures)
        EXPECT_EQ(Scaled(m.at96), m.actual) << m.what;
    // The icon slot is the system's small icon at this DPI.
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), g.iconSize);
}

TEST(DpiGeometry, AnEntryIsScaledYetNeverLowerThanItsTextAndItsMargin) {
    const MenuGeometry g = GeometryOfAMadeMenu();
    const int dpi = ListedDpi();
    int tallest = 0, tallestAt96 = 0;
    for (int weight : {FW_NORMAL, FW_BOLD}) {
        tallest = std::max(tallest, FontHeight(dpi, weight));
        tallestAt96 = std::max(tallestAt96, FontHeight(96, weight));
    }
    const int margin = 19 - tallestAt96;
    EXPECT_EQ(std::max(Scaled(19), tallest + margin), g.itemHeight)
        << "text " << tallest << " px, " << tallestAt96 << " px at 96 DPI";
    EXPECT_EQ(g.itemHeight + 1, g.BarHeight()) << "the highlight covers the whole entry";
}
