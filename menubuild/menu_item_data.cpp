// Reading a native menu item together with its parsed record.
#include "menubuild/menu_item_data.h"
#include "common/text_copy.h"

bool GetMenuItemData(HMENU menu, UINT item, BOOL byPosition, MenuItemData* data) {
    data->fields = MenuItemFields();
    data->info = MENUITEMINFOA();
    data->text[0] = data->record[0] = '\0';
    data->info.cbSize = sizeof data->info;
    data->info.fMask =
        MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_CHECKMARKS | MIIM_TYPE | MIIM_DATA;
    data->info.dwTypeData = data->text;
    data->info.cch = sizeof data->text;
    if (!GetMenuItemInfoA(menu, item, byPosition, &data->info)) {
        data->fields = MenuItemFields();
        return false;
    }
    data->text[sizeof data->text - 1] = '\0';
    // The item's record is a heap text owned by the menu; split a copy of it.
    const char* record = reinterpret_cast<const char*>(data->info.dwItemData);
    if (record) {
        // A record longer than the copy is cut.
        CopyText(data->record, sizeof data->record, record);
        ParseItemRecord(static_cast<int>(item), byPosition != FALSE, data->record, &data->fields);
    } else if (byPosition) {
        data->fields.position = static_cast<int>(item);
    }
    return true;
}
