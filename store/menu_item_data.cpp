// Reading a native menu item together with its parsed record.
#include "store/menu_item_data.h"
#include <string.h>
#include "common/text_copy.h"

namespace {
// One of each for the whole process: every call overwrites the previous result.
char g_itemText[kTextBufferSize];
char g_recordWork[kRecordBufferSize];
} // namespace

bool GetMenuItemData(HMENU menu, UINT item, BOOL byPosition, MenuItemData* data) {
    memset(data, 0, sizeof *data);
    g_itemText[0] = '\0';
    data->info.cbSize = sizeof data->info;
    data->info.fMask =
        MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_CHECKMARKS | MIIM_TYPE | MIIM_DATA;
    data->info.dwTypeData = g_itemText;
    data->info.cch = sizeof g_itemText;
    if (!GetMenuItemInfoA(menu, item, byPosition, &data->info)) {
        memset(&data->fields, 0, sizeof data->fields);
        return false;
    }
    g_itemText[sizeof g_itemText - 1] = '\0';
    // The item's record is a heap text owned by the menu; split a copy of it.
    const char* record = reinterpret_cast<const char*>(data->info.dwItemData);
    if (record) {
        // A record longer than the work buffer is cut.
        CopyText(g_recordWork, sizeof g_recordWork, record);
        ParseItemRecord(static_cast<int>(item), byPosition != FALSE, g_recordWork, &data->fields);
    } else if (byPosition) {
        data->fields.position = static_cast<int>(item);
    }
    return true;
}
