// A native menu item read together with its parsed record.
#pragma once
#include <windows.h>
#include "store/item_record.h"

struct MenuItemData {
    MenuItemFields fields;
    MENUITEMINFOA info;
};

// Reads item `item` (a command id, or a 0-based position when byPosition) of
// `menu`. The text and the record's text fields live in process-wide buffers
// that the next call overwrites. Returns false when the item cannot be read.
bool GetMenuItemData(HMENU menu, UINT item, BOOL byPosition, MenuItemData* data);
