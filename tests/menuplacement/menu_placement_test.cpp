// Where a menu window goes, from its size, the point asked for, the work area
// and, for a submenu, its parent's rectangle: no window is involved.
#include <gtest/gtest.h>
#include "flatmenu/menu_geometry.h"
#include "flatmenu/menu_placement.h"

namespace {
const RECT kWork = {0, 0, 1024, 740}; // a taskbar below
const SIZE kSize = {120, 200};

POINT Place(POINT point, const RECT* parent = nullptr, SIZE size = kSize,
            const RECT& work = kWork) {
    return PlaceMenuWindow(size, point, work, parent, MenuGeometry().submenuOverlap);
}
} // namespace

TEST(MenuPlacement, AMenuThatFitsOpensAtThePoint) {
    POINT at = Place({100, 50});
    EXPECT_EQ(100, at.x);
    EXPECT_EQ(50, at.y);
    at = Place({1024 - 120, 740 - 200}); // touching both edges still fits
    EXPECT_EQ(904, at.x);
    EXPECT_EQ(540, at.y);
}

TEST(MenuPlacement, TheRightAndBottomEdgesPullTheMenuBackButNeverBelowZero) {
    POINT at = Place({1000, 700});
    EXPECT_EQ(1024 - 120, at.x);
    EXPECT_EQ(740 - 200, at.y);
    // Wider and taller than the work area: placed at its left and top edges.
    at = Place({500, 500}, nullptr, SIZE{2000, 900});
    EXPECT_EQ(0, at.x);
    EXPECT_EQ(0, at.y);
}

TEST(MenuPlacement, APointLeftOfOrAboveTheWorkAreaIsMovedIntoIt) {
    const RECT work = {100, 50, 1024, 740}; // taskbars at the left and the top
    POINT at = Place({20, 10}, nullptr, kSize, work);
    EXPECT_EQ(100, at.x);
    EXPECT_EQ(50, at.y);
    at = Place({-30, -40});
    EXPECT_EQ(0, at.x);
    EXPECT_EQ(0, at.y);
}

TEST(MenuPlacement, ASubmenuOverlapsItsParentsRightEdgeAndIgnoresTheX) {
    const RECT parent = {100, 80, 250, 300};
    POINT at = Place({900, 120}, &parent);
    EXPECT_EQ(250 - 3, at.x);
    EXPECT_EQ(120, at.y) << "the y comes from the point";
}

TEST(MenuPlacement, ASubmenuWithoutRoomOnTheRightOpensOnTheLeftOfItsParent) {
    const RECT parent = {800, 80, 950, 300};
    POINT at = Place({0, 120}, &parent);
    EXPECT_EQ(800 - 120 + 3, at.x);
    // Too close to the left edge for that: at x 0, even across the right edge.
    const RECT wide = {50, 80, 1000, 300};
    at = Place({0, 120}, &wide);
    EXPECT_EQ(0, at.x);
}

TEST(MenuPlacement, ASubmenuIsPulledUpFromTheBottomEdgeLikeAnyMenu) {
    const RECT parent = {100, 600, 250, 700};
    POINT at = Place({0, 650}, &parent);
    EXPECT_EQ(247, at.x);
    EXPECT_EQ(540, at.y);
}

TEST(MenuPlacement, AMenuTallerThanTheWorkAreaGetsItsFullHeight) {
    EXPECT_EQ(200, FitMenuHeight(200, kWork)) << "a menu that fits keeps its height";
    EXPECT_EQ(740, FitMenuHeight(740, kWork));
    EXPECT_EQ(740, FitMenuHeight(741, kWork));
    const RECT below = {0, 1080, 1920, 2100}; // a monitor below the primary
    EXPECT_EQ(1020, FitMenuHeight(5000, below));
    const RECT empty = {0, 0, 0, 0};
    EXPECT_EQ(300, FitMenuHeight(300, empty)) << "no work area to fit: unchanged";
}

// Work areas of monitors of several layouts, as the monitor holding the
// press point reports them. The menu stays on that monitor.
namespace {
const SIZE kMenu = {150, 300};

// Two monitors side by side, the second left of the primary at negative x.
const RECT kLeftOfPrimary = {-1280, 0, 0, 984};     // its taskbar below
const RECT kPrimary = {0, 0, 1920, 1040};           // its taskbar below
const RECT kRightOfPrimary = {1920, 0, 3200, 1024}; // no taskbar
} // namespace

TEST(MenuPlacement, OnTwoMonitorsSideBySideAMenuStaysOnTheMonitorOfItsPoint) {
    // Near the right edge of the right monitor: pulled left within it, not
    // onto the primary.
    POINT at = Place({3150, 900}, nullptr, kMenu, kRightOfPrimary);
    EXPECT_EQ(3200 - 150, at.x);
    EXPECT_EQ(1024 - 300, at.y);
    // Near the right edge of the left monitor, at negative x: pulled left, so
    // that it does not reach over onto the primary.
    at = Place({-50, 100}, nullptr, kMenu, kLeftOfPrimary);
    EXPECT_EQ(-150, at.x);
    EXPECT_EQ(100, at.y);
    // A point left of the primary's work area, as seen from the primary.
    at = Place({-50, 100}, nullptr, kMenu, kPrimary);
    EXPECT_EQ(0, at.x);
    // A menu that fits where it is asked for opens there on any monitor.
    at = Place({-1000, 50}, nullptr, kMenu, kLeftOfPrimary);
    EXPECT_EQ(-1000, at.x);
    EXPECT_EQ(50, at.y);
}

TEST(MenuPlacement, OnTwoMonitorsSideBySideASubmenuOpensWithinItsParentsMonitor) {
    // The parent stands at the right edge of the left monitor: the submenu
    // opens on its left, within the left monitor.
    const RECT parentLeft = {-200, 100, -10, 400};
    POINT at = Place({0, 150}, &parentLeft, kMenu, kLeftOfPrimary);
    EXPECT_EQ(-200 - 150 + 3, at.x);
    // On the right monitor, a parent near its left edge has room on its right.
    const RECT parentRight = {1930, 100, 2100, 400};
    at = Place({0, 150}, &parentRight, kMenu, kRightOfPrimary);
    EXPECT_EQ(2100 - 3, at.x);
    // A parent as wide as the right monitor: the submenu would open left onto
    // the primary; it stays at the right monitor's left edge instead.
    const RECT wideParent = {1925, 100, 3190, 400};
    at = Place({0, 150}, &wideParent, kMenu, kRightOfPrimary);
    EXPECT_EQ(1920, at.x);
}

TEST(MenuPlacement, ATallMenuStartsAtTheTopOfItsMonitorsWorkArea) {
    const SIZE tallRight = {150, FitMenuHeight(5000, kRightOfPrimary)};
    POINT at = Place({2500, 600}, nullptr, tallRight, kRightOfPrimary);
    EXPECT_EQ(2500, at.x);
    EXPECT_EQ(0, at.y);
    const RECT upper = {0, -1080, 1920, 0};
    const SIZE tall = {150, FitMenuHeight(5000, upper)};
    at = Place({100, -500}, nullptr, tall, upper);
    EXPECT_EQ(-1080, at.y);
    EXPECT_EQ(1080, tall.cy);
}

TEST(MenuPlacement, OnThreeMonitorsSideBySideEachKeepsItsMenus) {
    // Left at negative x, the primary with its taskbar at the left, and a
    // right monitor set lower than the others.
    const RECT left = {-1920, 0, 0, 1080};
    const RECT primary = {60, 0, 2560, 1440};
    const RECT right = {2560, 200, 3840, 1224};
    POINT at = Place({-80, 1000}, nullptr, kMenu, left);
    EXPECT_EQ(-150, at.x);
    EXPECT_EQ(1080 - 300, at.y);
    at = Place({10, 500}, nullptr, kMenu, primary); // pressed over the taskbar
    EXPECT_EQ(60, at.x);
    EXPECT_EQ(500, at.y);
    at = Place({3000, 150}, nullptr, kMenu, right); // above the right monitor's top
    EXPECT_EQ(3000, at.x);
    EXPECT_EQ(200, at.y);
    at = Place({3800, 1200}, nullptr, kMenu, right);
    EXPECT_EQ(3840 - 150, at.x);
    EXPECT_EQ(1224 - 300, at.y);
    // A submenu of a parent at the primary's right edge opens on its left,
    // not over onto the right monitor.
    const RECT parent = {2400, 300, 2550, 600};
    at = Place({0, 320}, &parent, kMenu, primary);
    EXPECT_EQ(2400 - 150 + 3, at.x);
}

TEST(MenuPlacement, OnStackedMonitorsAMenuStaysAboveOrBelowTheSeam) {
    const RECT upper = {0, -1080, 1920, 0};   // above the primary, negative y
    const RECT lower = {0, 40, 1920, 1080};   // the primary, its taskbar at the top
    const RECT third = {0, 1080, 1920, 2160}; // below the primary
    POINT at = Place({300, -100}, nullptr, kMenu, upper);
    EXPECT_EQ(300, at.x);
    EXPECT_EQ(-300, at.y) << "pulled up within the upper monitor";
    at = Place({300, 10}, nullptr, kMenu, lower);
    EXPECT_EQ(40, at.y) << "pushed down below the taskbar at the top";
    at = Place({300, 1000}, nullptr, kMenu, lower);
    EXPECT_EQ(1080 - 300, at.y);
    at = Place({300, 2100}, nullptr, kMenu, third);
    EXPECT_EQ(2160 - 300, at.y);
    // A submenu beside a parent low on the upper monitor is pulled up within it.
    const RECT parent = {100, -400, 300, -10};
    at = Place({0, -30}, &parent, kMenu, upper);
    EXPECT_EQ(300 - 3, at.x);
    EXPECT_EQ(-300, at.y);
}
