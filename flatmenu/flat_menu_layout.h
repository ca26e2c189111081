// Names and measures shared by the flat menu's source files: the window
// class, the geometry of entries and scroll bands, the timer ids and letter
// case.
#pragma once
#include <windows.h>

namespace fpmlayout {
const char kMenuClassName[] = "fpmMenuClass";

const int kTopMargin = 3;   // top of the first entry
const int kItemHeight = 19; // an ordinary entry
const int kSeparatorHeight = 5;
const int kBottomMargin = 2; // added to the window's height
const int kExtraWidth = 46;  // added to the widest text
const int kSubmenuOverlap = 3;

const UINT_PTR kSubmenuTimer = 1; // the submenu delay
const UINT_PTR kScrollTimer = 2;  // steps of a menu scrolling under a resting pointer

// A menu taller than its monitor's work area scrolls: a band at its top and
// at its bottom, inside the frame, each with an arrow, and the entries
// between them.
const int kScrollBandHeight = 12;
const int kScrollInterval = 50;   // milliseconds per row while resting on a band
const UINT kDefaultWheelRows = 3; // per notch, when the system does not say

// CharLowerA takes a single character in the low word of its pointer argument.
inline BYTE LowerCaseChar(BYTE character) {
    LPSTR asPointer = reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(character));
    return static_cast<BYTE>(reinterpret_cast<ULONG_PTR>(CharLowerA(asPointer)));
}
} // namespace fpmlayout
