#include "flatmenu/menu_placement.h"

namespace {
// Moves [value, value + extent) inside [low, high): back from `high` first,
// then forward to `low`, so that a range longer than the area starts at `low`.
int MoveInside(int value, int extent, int low, int high) {
    if (value + extent > high) value = high - extent;
    if (value < low) value = low;
    return value;
}

bool IsEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}
} // namespace

POINT PlaceMenuWindow(SIZE size, POINT point, const RECT& workArea, const RECT* parent,
                      int overlap) {
    int x = point.x;
    if (parent) {
        // Overlapping the parent's right edge; else its left edge.
        x = parent->right - overlap;
        if (x + size.cx > workArea.right) {
            x = parent->left - size.cx + overlap;
            if (x < workArea.left) x = workArea.left;
        }
    }
    POINT placed = {MoveInside(x, size.cx, workArea.left, workArea.right),
                    MoveInside(point.y, size.cy, workArea.top, workArea.bottom)};
    return placed;
}

int FitMenuHeight(int wanted, const RECT& workArea) {
    const int available = workArea.bottom - workArea.top;
    return (available > 0 && wanted > available) ? available : wanted;
}

RECT MonitorWorkArea(POINT point) {
    // Asking the screen's size costs as much as asking the monitor (Wine
    // checks the display set-up each time): it is asked only when the work
    // area cannot be had.
    RECT primary;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &primary, 0))
        primary = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    HMONITOR monitor = MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST);
    if (!monitor || !GetMonitorInfoA(monitor, &info) || IsEmpty(info.rcWork)) return primary;
    // On Windows the primary monitor's rcWork is the work area that
    // SystemParametersInfo reports; Wine keeps a work area set through
    // SystemParametersInfo apart from it. The smaller of the two holds both.
    RECT both;
    if ((info.dwFlags & MONITORINFOF_PRIMARY) && IntersectRect(&both, &info.rcWork, &primary))
        return both;
    return info.rcWork;
}
