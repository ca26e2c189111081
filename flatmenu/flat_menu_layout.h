// Names and measures shared by the flat menu's source files: the window
// class and the geometry of entries.
#pragma once

namespace fpmlayout {
const char kMenuClassName[] = "fpmMenuClass";

const int kTopMargin = 3;   // top of the first entry
const int kItemHeight = 19; // an ordinary entry
const int kSeparatorHeight = 5;
const int kBottomMargin = 2; // added to the window's height
const int kExtraWidth = 46;  // added to the widest text
const int kSubmenuOverlap = 3;
} // namespace fpmlayout
