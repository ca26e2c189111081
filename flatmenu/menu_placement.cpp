#include "flatmenu/menu_placement.h"
#include "flatmenu/flat_menu_layout.h"

namespace {
// Pulls a coordinate back so that [value, value + extent) ends at `limit`,
// but not below 0.
int PullBackInside(int value, int extent, int limit) {
    if (value + extent > limit) {
        value = limit - extent;
        if (value < 0) value = 0;
    }
    return value;
}
} // namespace

POINT PlaceMenuWindow(SIZE size, POINT point, const RECT& workArea, const RECT* parent) {
    int x = point.x;
    if (parent) {
        // Overlapping the parent's right edge; else its left edge.
        x = parent->right - fpmlayout::kSubmenuOverlap;
        if (x + size.cx > workArea.right) {
            x = parent->left - size.cx + fpmlayout::kSubmenuOverlap;
            if (x < 0) x = 0;
        }
    }
    POINT placed = {PullBackInside(x, size.cx, workArea.right),
                    PullBackInside(point.y, size.cy, workArea.bottom)};
    return placed;
}
