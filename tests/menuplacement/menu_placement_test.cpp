// Where a menu window goes, from its size, the point asked for, the work area
// and, for a submenu, its parent's rectangle: no window is involved.
#include <gtest/gtest.h>
#include "flatmenu/menu_placement.h"

namespace {
const RECT kWork = {0, 0, 1024, 740}; // a taskbar below
const SIZE kSize = {120, 200};

POINT Place(POINT point, const RECT* parent = nullptr, SIZE size = kSize,
            const RECT& work = kWork) {
    return PlaceMenuWindow(size, point, work, parent);
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
    // Wider and taller than the work area: placed at 0 and running past it.
    at = Place({500, 500}, nullptr, SIZE{2000, 900});
    EXPECT_EQ(0, at.x);
    EXPECT_EQ(0, at.y);
}

TEST(MenuPlacement, APointLeftOfOrAboveTheWorkAreaIsKept) {
    const RECT work = {100, 50, 1024, 740}; // taskbars at the left and the top
    POINT at = Place({20, 10}, nullptr, kSize, work);
    EXPECT_EQ(20, at.x);
    EXPECT_EQ(10, at.y);
    at = Place({-30, -40});
    EXPECT_EQ(-30, at.x);
    EXPECT_EQ(-40, at.y);
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
