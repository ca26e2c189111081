// Names and measures shared by the flat menu's window code: the window class,
// the timers, the submenu delay and letter case, besides the layout's
// measures.
#pragma once
#include <windows.h>
#include "flatmenu/menu_geometry.h"
#include "flatmenu/menu_rows.h"

namespace fpmlayout {
const char kMenuClassName[] = "fpmMenuClass";

const UINT_PTR kSubmenuTimer = 1; // the submenu delay
const UINT_PTR kScrollTimer = 2;  // steps of a menu scrolling under a resting pointer
// How long the pointer rests on an entry before its submenu opens.
const UINT kSubmenuDelay = 400;

const int kScrollInterval = 50;   // milliseconds per row while resting on a band
const UINT kDefaultWheelRows = 3; // per notch, when the system does not say

// A client rectangle in the rows' terms.
inline RowRect ToRowRect(const RECT& r) {
    return RowRect{r.left, r.top, r.right, r.bottom};
}
inline RowRect ClientRowRect(HWND window) {
    RECT client = {0, 0, 0, 0};
    GetClientRect(window, &client);
    return ToRowRect(client);
}

// CharLowerA takes a single character in the low word of its pointer argument.
inline BYTE LowerCaseChar(BYTE character) {
    LPSTR asPointer = reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(character));
    return static_cast<BYTE>(reinterpret_cast<ULONG_PTR>(CharLowerA(asPointer)));
}
} // namespace fpmlayout
