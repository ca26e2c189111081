// The press: bring the stored menu into order, build it, show it at the press
// point, carry out the choice, and release everything before returning.
#include "plugin/press.h"
#include <shellapi.h>
#include <stddef.h>
#include <string.h>
#include "common/handle_guards.h"
#include "common/text_copy.h"
#include "editor/editor_flows.h"
#include "editor/item_dialog.h"
#include "menubuild/flat_popup_build.h"
#include "menubuild/native_menu.h"
#include "menubuild/press_context.h"
#include "plugin/exports.h"
#include "plugin/module.h"
#include "resources/resource_ids.h"
#include "store/item_record.h"
#include "store/stored_menu.h"

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
} // namespace

int DispatchMenuChoice(HWND hostWindow, HMENU rootMenu, int itemId, int contextCommand,
                       int parentSubmenuId) {
    HINSTANCE module = ThePlugin().Instance();
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
            RunInsertFlow(module, hostWindow, rootMenu, id, static_cast<UINT>(parentSubmenuId));
            return 1;
        }
        // A submenu item or an item without a target starts nothing.
        if (!record || record[0] == '\0' || record[0] == ',') return itemId;
        return LaunchRecord(record);
    }
    case ID_CONTEXT_INSERT:
        RunInsertFlow(module, hostWindow, rootMenu, id, 0);
        return 1;
    case ID_CONTEXT_PROPERTIES:
        ExecutePropsDialog(module, hostWindow, rootMenu, id);
        return 1;
    case ID_CONTEXT_DELETE:
        RunDeleteFlow(module, hostWindow, rootMenu, id);
        return 1;
    default:
        return 1;
    }
}

namespace {
int Press(HWND hostWindow, int x, int y) {
    PluginModule& plugin = ThePlugin();
    PressContext press(plugin.Instance(), hostWindow, plugin.Cache());
    // The stored menu is read once: every record without a position gets one
    // on the way, and the menu is built from what was read.
    StoredKey tree;
    const bool storeRead = ReadAndNormalizeMenu(press.cache.menu, &tree);
    // The native tree maps ids back to keys until the dispatch has finished.
    OwnedMenuTree root(CreatePopupMenu());
    if (!root) return 0;
    OwnedMenu resource(LoadMenuA(press.module, MAKEINTRESOURCEA(IDR_CONTEXT_MENU)));
    if (!resource) return 0;
    HMENU contextMenu = GetSubMenu(resource.Get(), 0);
    if (!contextMenu) return 0;
    const bool built = storeRead && BuildRootMenu(press, hostWindow, root.Get(), tree);
    tree = StoredKey(); // what was read is not needed any more
    if (built) {
        int chosen = ShowLauncherMenu(press, root.Get(), x, y, contextMenu);
        if (chosen)
            DispatchMenuChoice(hostWindow, root.Get(), chosen, press.choice.contextCommand,
                               press.choice.parentSubmenuId);
    }
    return 1;
}
} // namespace

int WINAPI WBPress(HWND hostWindow, int x, int y, DWORD) {
    // A press from within the item dialog's own loop is refused.
    if (g_itemDialog.dialogOpen) return 0;
    // No exception may unwind into the host. Everything the press made is
    // held by guards, so a failure half-way (an allocation, say) has released
    // it all by the time it lands here.
    try {
        return Press(hostWindow, x, y);
    } catch (...) {
        return 0;
    }
}
