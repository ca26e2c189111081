// Looking up the command ids of a press's native menu tree in the stored menu.
#include "menubuild/native_menu_lookup.h"
#include <string.h>
#include "store/item_record.h"
#include "store/registry_layout.h"

namespace {
// Where a lookup met the id: the menu that holds the item, the item's
// position there, and the key path of that menu's key.
struct FoundItem {
    HMENU menu = nullptr;
    int position = 0;
    std::string keyPath;
};

// Number of items, or 0 when it cannot be read.
int ItemCount(HMENU menu) {
    int count = GetMenuItemCount(menu);
    return count > 0 ? count : 0;
}

// GetMenuItemID says -1 for a submenu item; this reads every item's own id.
bool ReadItemId(HMENU menu, int position, UINT* id) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID;
    if (!GetMenuItemInfoA(menu, position, TRUE, &info)) return false;
    *id = info.wID;
    return true;
}

// The key path of the sub-key named by the text of the item at `position` of
// `menu`, whose key is at `keyPath`; false when the text names no key or the
// key is not there.
bool ItemSubkeyPath(HMENU menu, int position, const std::string& keyPath, std::string* path) {
    char name[kTextBufferSize] = "";
    GetMenuStringA(menu, position, name, sizeof name, MF_BYPOSITION);
    name[sizeof name - 1] = '\0';
    if (!name[0]) return false; // "" would name the key itself
    std::string subkeyPath = SubkeyPath(keyPath, name);
    if (!OpenMenuKey(subkeyPath)) return false;
    *path = subkeyPath;
    return true;
}

// Depth first, position by position: the first item of `menu` (whose key is
// at `keyPath`) or of its submenus that has the id `id`.
bool FindItem(HMENU menu, const std::string& keyPath, UINT id, FoundItem* found) {
    const int count = ItemCount(menu);
    for (int position = 0; position < count; ++position) {
        UINT itemId = 0;
        if (ReadItemId(menu, position, &itemId) && itemId == id) {
            found->menu = menu;
            found->position = position;
            found->keyPath = keyPath;
            return true;
        }
        HMENU submenu = GetSubMenu(menu, position);
        if (!submenu) continue;
        std::string subkeyPath;
        // A submenu whose key has gone ends the search of this menu.
        if (!ItemSubkeyPath(menu, position, keyPath, &subkeyPath)) return false;
        if (FindItem(submenu, subkeyPath, id, found)) return true;
    }
    return false;
}

// The native menu that directly holds item `itemId`: its submenu, or the root.
HMENU HoldingMenu(HMENU root, UINT itemId) {
    UINT parentId = FindParentSubmenuId(root, itemId, 0);
    if (!parentId) return root;
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_SUBMENU;
    if (!GetMenuItemInfoA(root, parentId, FALSE, &info) || !info.hSubMenu) return root;
    return info.hSubMenu;
}
} // namespace

bool FindItemPath(HMENU root, UINT itemId, std::string* keyPath) {
    FoundItem found;
    if (!root || !itemId || !FindItem(root, "", itemId, &found)) return false;
    *keyPath = found.keyPath;
    return true;
}

bool FindSubmenuPath(HMENU root, UINT submenuId, std::string* keyPath) {
    if (!submenuId) {
        keyPath->clear();
        return true;
    }
    FoundItem found;
    if (!root || !FindItem(root, "", submenuId, &found)) return false;
    return ItemSubkeyPath(found.menu, found.position, found.keyPath, keyPath);
}

UINT FindParentSubmenuId(HMENU menu, UINT itemId, UINT parentId) {
    int count = (menu && itemId) ? ItemCount(menu) : 0;
    for (int position = 0; position < count; ++position) {
        if (GetMenuItemID(menu, position) == itemId) return parentId;
        HMENU submenu = GetSubMenu(menu, position);
        UINT id = 0;
        if (!submenu || !ReadItemId(menu, position, &id)) continue;
        if (id == itemId) return parentId;
        UINT found = FindParentSubmenuId(submenu, itemId, id);
        if (found) return found;
    }
    return 0;
}

bool DescribeMenuItem(HMENU root, UINT itemId, MenuEntryAddress* entry) {
    *entry = MenuEntryAddress();
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_SUBMENU | MIIM_DATA;
    // The look-up by command descends into the submenus.
    if (!root || !itemId || !GetMenuItemInfoA(root, itemId, FALSE, &info)) return false;
    entry->found = true;
    entry->isSubmenu = info.hSubMenu != nullptr;
    const char* record = reinterpret_cast<const char*>(info.dwItemData);
    entry->record = record ? record : "";
    entry->placeholder = record && strcmp(record, PlaceholderMarker) == 0;
    char name[kTextBufferSize] = "";
    GetMenuStringA(root, itemId, name, sizeof name, MF_BYCOMMAND);
    name[sizeof name - 1] = '\0';
    entry->name = name;
    // Separator lines are entries of their own, so they are counted.
    entry->siblingCount = GetMenuItemCount(HoldingMenu(root, itemId));
    entry->keyFound = FindItemPath(root, itemId, &entry->keyPath);
    return true;
}
