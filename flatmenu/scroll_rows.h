// Which entries of a scrolling menu show between its bands, and where: the
// rows' (MenuRows) helpers, on the bare list of entries. A scrolled menu
// always starts an entry (a row) at the top of its view and shows only the
// entries that fit there whole, so no row is ever half drawn.
#pragma once
#include <vector>
#include "flatmenu/menu_item.h"

// Sets every entry's top so that entry `first` starts at `viewTop`; the
// entries before it lie above that.
void LayOutRowsFrom(std::vector<FlatMenuItem>& items, int first, int viewTop);
// The last entry shown in a view `viewHeight` high that starts with entry
// `first`; first - 1 when not even that one fits.
int LastRowShown(const std::vector<FlatMenuItem>& items, int first, int viewHeight);
// The last first row worth scrolling to: from it on, the last entry shows.
int LastFirstRow(const std::vector<FlatMenuItem>& items, int viewHeight);
// The first row of a view that shows entry `index` as its last row.
int FirstRowEndingWith(const std::vector<FlatMenuItem>& items, int index, int viewHeight);
