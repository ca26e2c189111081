// Where a menu window goes on the screen, computed from its size, the point
// it was asked for and the work area of its monitor, without any window.
#pragma once
#include <windows.h>

// The screen position of the top-left corner of a menu window of `size`
// asked for at `point`. A submenu passes its parent's window rectangle: it
// then opens against the parent's right edge, or its left edge when the right
// one leaves no room, overlapping it by `overlap`, and point.x is not used. The window is moved
// into the work area from whichever side it crosses; a window larger than the work area starts at
// its left or top edge.
POINT PlaceMenuWindow(SIZE size, POINT point, const RECT& workArea, const RECT* parent,
                      int overlap);

// The height of a menu window that needs `wanted` pixels: a menu taller than
// the work area gets the work area's full height and scrolls.
int FitMenuHeight(int wanted, const RECT& workArea);

// The work area of the monitor that holds `point`, or of the monitor nearest
// to it when no monitor does.
RECT MonitorWorkArea(POINT point);
