// The measures of a flat menu's layout: entries, margins and scroll bands, in
// pixels. Free of Win32, for the rows and for whatever draws them.
#pragma once

namespace fpmlayout {
const int kTopMargin = 3;   // top of the first entry
const int kItemHeight = 19; // an ordinary entry
const int kSeparatorHeight = 5;
const int kBottomMargin = 2; // added to the window's height
const int kExtraWidth = 46;  // added to the widest text
const int kSubmenuOverlap = 3;
// Client points with x or y up to this belong to no entry and lie outside
// the menu for a click.
const int kDeadBand = 2;

// A menu taller than its monitor's work area scrolls: a band at its top and
// at its bottom, inside the one-pixel frame, each with an arrow, and the
// entries between them.
const int kFrame = 1;
const int kScrollBandHeight = 12;
} // namespace fpmlayout
