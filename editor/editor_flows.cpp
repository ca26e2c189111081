// Insert, Properties and Delete: fill the item dialog's record, run the dialog
// where one is needed, and write the store. Items are addressed through the
// native menu tree of the press, which stays intact until a flow returns.
#include "editor/editor_flows.h"
#include <stdlib.h>
#include <string.h>
#include "common/text_copy.h"
#include "editor/item_dialog.h"
#include "store/item_record.h"
#include "store/menu_item_data.h"
#include "store/registry_layout.h"
#include "store/store_edits.h"

namespace {

// "Insert Item..." stands for an empty menu; it has no record of its own.
bool IsPlaceholder(const MENUITEMINFOA& info) {
    const char* data = reinterpret_cast<const char*>(info.dwItemData);
    return data && strcmp(data, PlaceholderMarker) == 0;
}

void BuildRecordFromDialog(int position, char* record) {
    const ItemDialogData& d = g_itemDialog;
    BuildItemRecord(d.isSubmenu, d.target, d.parameters, d.startIn, d.iconPath, d.iconIndex,
                    d.runMode, position, d.separator, record);
}

// Writes the record under the dialog's name: a submenu's key default value,
// or a launcher item's value.
void StoreRecord(HMENU rootMenu, UINT itemId, UINT submenuId, const char* record) {
    if (g_itemDialog.isSubmenu)
        CreateSubmenuKey(rootMenu, itemId, submenuId, g_itemDialog.name, record);
    else
        WriteItemValue(rootMenu, itemId, submenuId, g_itemDialog.name, record);
}

// The native menu that directly holds the item.
HMENU HoldingMenu(HMENU rootMenu, UINT itemId) {
    UINT parentId = FindParentSubmenuId(rootMenu, itemId, 0);
    if (!parentId) return rootMenu;
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_SUBMENU;
    if (!GetMenuItemInfoA(rootMenu, parentId, FALSE, &info) || !info.hSubMenu) return rootMenu;
    return info.hSubMenu;
}

void ResetForCreate() {
    ItemDialogData& d = g_itemDialog;
    d.propertiesMode = false;
    d.isSubmenu = false;
    d.name[0] = d.target[0] = d.parameters[0] = d.startIn[0] = d.iconPath[0] = '\0';
    d.iconIndex = d.runMode = d.position = -1;
    d.separator = 0;
}

void FillForProperties(const MenuItemData& data, const char* name) {
    ItemDialogData& d = g_itemDialog;
    const MenuItemFields& f = data.fields;
    d.propertiesMode = true;
    d.isSubmenu = data.info.hSubMenu != nullptr;
    CopyText(d.name, sizeof d.name, name);
    CopyText(d.target, sizeof d.target, f.target);
    CopyText(d.parameters, sizeof d.parameters, f.parameters);
    CopyText(d.startIn, sizeof d.startIn, f.startIn);
    CopyText(d.iconPath, sizeof d.iconPath, f.iconPath);
    d.iconIndex = f.iconIndex;
    d.runMode = f.runMode;
    d.position = f.position;
    d.separator = f.separator;
}

} // namespace

void RunInsertFlow(HINSTANCE module, HWND hostWindow, HMENU rootMenu, UINT itemId,
                   UINT parentSubmenuId) {
    ItemDialogData& d = g_itemDialog;
    d.moduleInstance = module;
    CopyText(d.title, sizeof d.title, "Create Menu Item");
    ResetForCreate();

    // The new item goes directly after the clicked one, or first into the
    // empty submenu whose placeholder was chosen.
    MenuItemData data;
    if (parentSubmenuId)
        d.position = 1;
    else if (itemId && GetMenuItemData(rootMenu, itemId, FALSE, &data))
        d.position = data.fields.position + 1;

    if (RunItemDialog(module) != IDOK) return;
    char record[kRecordBufferSize];
    BuildRecordFromDialog(d.position, record);
    // Make room among the clicked item's siblings before the new one exists.
    if (!parentSubmenuId) ShiftPositions(rootMenu, itemId, d.position, +1);
    StoreRecord(rootMenu, itemId, parentSubmenuId, record);
}

void ExecutePropsDialog(HINSTANCE module, HWND hostWindow, HMENU rootMenu, UINT itemId) {
    ItemDialogData& d = g_itemDialog;
    d.moduleInstance = module;
    CopyText(d.title, sizeof d.title, "Menu Item Properties");

    MenuItemData data;
    if (!GetMenuItemData(rootMenu, itemId, FALSE, &data)) {
        MessageBoxA(nullptr, "GetMenuItemData failed", "ExecutePropsDialog", MB_OK);
        return;
    }
    if (IsPlaceholder(data.info)) return;
    char name[kTextBufferSize] = "";
    GetMenuStringA(rootMenu, itemId, name, sizeof name, MF_BYCOMMAND);
    FillForProperties(data, name);

    // Separator lines are entries of their own, so the range counts them.
    d.spinUpper = 1;
    d.spinLower = GetMenuItemCount(HoldingMenu(rootMenu, itemId));

    if (RunItemDialog(module) != IDOK) return;
    int newPosition = atoi(d.positionText);
    if (newPosition != d.position) MovePosition(rootMenu, itemId, d.position, newPosition);
    // The edited record is stored too, at the item's new place.
    char record[kRecordBufferSize];
    BuildRecordFromDialog(newPosition, record);
    StoreRecord(rootMenu, itemId, 0, record);
}

void RunDeleteFlow(HINSTANCE module, HWND hostWindow, HMENU rootMenu, UINT itemId) {
    if (!itemId) return;
    MenuItemData data;
    if (!GetMenuItemData(rootMenu, itemId, FALSE, &data)) return;
    if (IsPlaceholder(data.info)) return; // nothing is stored behind it
    int position = data.fields.position;
    bool isSubmenu = data.info.hSubMenu != nullptr;
    char text[kTextBufferSize];
    if (GetMenuStringA(rootMenu, itemId, text, sizeof text, MF_BYCOMMAND) <= 0) return;

    if (isSubmenu)
        DeleteSubmenu(rootMenu, itemId, text);
    else
        DeleteMenuItemRegEntry(rootMenu, itemId, text);
    // The siblings after the deleted item close the gap.
    ShiftPositions(rootMenu, itemId, position, -1);
}
