// The choice of a press: an item is started through the shell; the editing
// commands get the entry described by the native tree of the press (its key
// path in the store) and run the editor's flows on it.
#include "plugin/dispatch.h"
#include <shellapi.h>
#include <stddef.h>
#include <string.h>
#include "common/text_copy.h"
#include "editor/editor_flows.h"
#include "menubuild/native_menu_lookup.h"
#include "resources/resource_ids.h"
#include "store/item_record.h"

namespace {
// Starts the item whose record is `record` through the shell's "open" verb:
// target, parameters and start-in folder are its first three fields; a field
// without its comma is passed as null. The run mode is not consulted.
int LaunchRecord(const char* record) {
    char work[kRecordBufferSize];
    CopyText(work, sizeof work, record);
    MenuItemFields fields;
    ParseItemRecord(0, false, work, &fields);
    HINSTANCE result = ShellExecuteA(nullptr, "open", fields.target, fields.parameters,
                                     fields.startIn, SW_SHOWNORMAL);
    return static_cast<int>(reinterpret_cast<INT_PTR>(result));
}

MenuEntryAddress Describe(HMENU rootMenu, UINT itemId) {
    MenuEntryAddress entry;
    DescribeMenuItem(rootMenu, itemId, &entry);
    return entry;
}

// "Insert Item..." chosen: the new entry goes into the menu that shows it.
// In an empty submenu, that is the key of the submenu item above it.
void InsertThroughPlaceholder(const EditContext& context, HMENU rootMenu, UINT itemId,
                              UINT parentSubmenuId) {
    MenuEntryAddress placeholder = Describe(rootMenu, itemId);
    const bool intoSubmenu = parentSubmenuId != 0;
    if (intoSubmenu) {
        std::string submenuPath;
        placeholder.keyFound = FindSubmenuPath(rootMenu, parentSubmenuId, &submenuPath);
        placeholder.keyPath = submenuPath;
    }
    RunInsertFlow(context, placeholder, intoSubmenu);
}
} // namespace

int DispatchMenuChoice(const EditContext& context, HWND, HMENU rootMenu, int itemId,
                       int contextCommand, int parentSubmenuId) {
    UINT id = static_cast<UINT>(itemId);
    switch (contextCommand) {
    case 0:
    case ID_CONTEXT_OPEN: {
        MENUITEMINFOA info = {};
        info.cbSize = offsetof(MENUITEMINFOA, hbmpItem);
        info.fMask = MIIM_DATA;
        if (!GetMenuItemInfoA(rootMenu, id, FALSE, &info)) return itemId;
        const char* record = reinterpret_cast<const char*>(info.dwItemData);
        if (record && strcmp(record, PlaceholderMarker) == 0) {
            InsertThroughPlaceholder(context, rootMenu, id, static_cast<UINT>(parentSubmenuId));
            return 1;
        }
        // A submenu item or an item without a target starts nothing.
        if (!record || record[0] == '\0' || record[0] == ',') return itemId;
        return LaunchRecord(record);
    }
    case ID_CONTEXT_INSERT:
        RunInsertFlow(context, Describe(rootMenu, id), false);
        return 1;
    case ID_CONTEXT_PROPERTIES:
        RunPropertiesFlow(context, Describe(rootMenu, id));
        return 1;
    case ID_CONTEXT_DELETE:
        RunDeleteFlow(context, Describe(rootMenu, id));
        return 1;
    default:
        return 1;
    }
}
