// A native menu item read together with its parsed record.
#pragma once
#include <windows.h>
#include "store/item_record.h"

// An item as GetMenuItemData reads it. It holds its own text and its own copy
// of the record, into which `info.dwTypeData` and the text fields of `fields`
// point: it is not copied, so that they never point into another one.
struct MenuItemData {
    MenuItemData() { text[0] = record[0] = '\0'; }
    MenuItemData(const MenuItemData&) = delete;
    MenuItemData& operator=(const MenuItemData&) = delete;

    MenuItemFields fields = {};
    MENUITEMINFOA info = {};
    char text[kTextBufferSize];     // the item's text, cut to fit
    char record[kRecordBufferSize]; // the record's copy, cut to fit and split
};

// Reads item `item` (a command id, or a 0-based position when byPosition) of
// `menu` into `data`. Returns false, with `data->fields` cleared, when the
// item cannot be read.
bool GetMenuItemData(HMENU menu, UINT item, BOOL byPosition, MenuItemData* data);
