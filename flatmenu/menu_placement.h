// Where a menu window goes on the screen, computed from its size, the point
// it was asked for and the work area, without any window.
#pragma once
#include <windows.h>

// The screen position of the top-left corner of a menu window of `size`
// asked for at `point`. A submenu passes its parent's window rectangle: it
// then opens against the parent's right edge, or its left edge when the right
// one leaves no room, and point.x is not used. The window is pulled back
// inside the right and bottom edges of the work area, but never to a negative
// coordinate; a point left of or above the work area is kept.
POINT PlaceMenuWindow(SIZE size, POINT point, const RECT& workArea, const RECT* parent);
