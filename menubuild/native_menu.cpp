// Builds the native menu tree of one press from the stored menu, and releases
// it again.
#include "menubuild/native_menu.h"
#include "menubuild/native_menu_internal.h"
#include "store/item_record.h"
#include "store/registry_layout.h"
#include "store/stored_menu.h"

int BuildRootMenu(HWND window, HMENU root, HINSTANCE module) {
    StoredKey tree;
    {
        OwnedKey key(OpenSettingsKey());
        if (!key) return 0;
        ReadStoredTree(key.Get(), false, &tree);
    }
    return BuildRootMenuFromStore(window, root, module, tree);
}

int BuildRootMenuFromStore(HWND window, HMENU root, HINSTANCE module, const StoredKey& tree) {
    BuildIconScope icons(window, module); // each distinct icon is looked up once per build
    LookUpIcons(tree);
    int result = FillMenuFromStore(window, root, tree);
    if (GetMenuItemCount(root) <= 0)
        return InsertLauncherItem(window, root, QUORIL_PLACEHOLDER_TEXT, PlaceholderMarker);
    return result;
}

int FillMenuFromKey(HWND window, HMENU menu, HKEY key) {
    StoredKey tree;
    ReadStoredTree(key, false, &tree);
    return FillMenuFromStore(window, menu, tree);
}

int AddSubmenuItems(HWND window, HMENU menu, HKEY key) {
    StoredKey tree;
    ReadStoredTree(key, false, &tree);
    return AddStoredSubmenuItems(window, menu, tree);
}

int AddLauncherItems(HWND window, HMENU menu, HKEY key) {
    StoredKey tree;
    ReadStoredValues(key, &tree);
    return AddStoredLauncherItems(window, menu, tree);
}

int FillMenuFromStore(HWND window, HMENU menu, const StoredKey& key) {
    int submenus = AddStoredSubmenuItems(window, menu, key);
    int items = AddStoredLauncherItems(window, menu, key);
    return (submenus || items) ? 1 : 0;
}

int AddStoredSubmenuItems(HWND window, HMENU menu, const StoredKey& key) {
    int count = 0;
    for (const StoredKey& subkey : key.subkeys) {
        // An item's text is the name its key is found by again: a name the
        // code page cannot hold would find another key, or none.
        if (!subkey.exact || subkey.ansiName.empty()) continue;
        // Until its item is in the menu, the submenu and what it holds are ours.
        OwnedMenuTree submenu(CreateMenu());
        if (!submenu) continue;
        char record[kRecordBufferSize];
        const bool hasRecord =
            subkey.hasRecord && StoredAnsiRecord(subkey.record, record) && record[0];
        if (FillMenuFromStore(window, submenu.Get(), subkey) &&
            InsertSubmenuItemWithRecord(window, menu, submenu.Get(), subkey.ansiName.c_str(),
                                        hasRecord ? record : nullptr)) {
            submenu.Release(); // now part of `menu`
            ++count;
        }
    }
    return count;
}

int AddStoredLauncherItems(HWND window, HMENU menu, const StoredKey& key) {
    int count = 0;
    char record[kRecordBufferSize];
    for (const StoredValue& value : key.values) {
        // A name the code page cannot hold would address another value.
        if (!value.exact || value.ansiName.empty() || value.type != REG_SZ) continue;
        if (!StoredAnsiRecord(value, record)) continue;
        if (!InsertLauncherItem(window, menu, value.ansiName.c_str(), record)) return 0;
        ++count;
    }
    if (GetMenuItemCount(menu) == 0 &&
        InsertLauncherItem(window, menu, QUORIL_PLACEHOLDER_TEXT, PlaceholderMarker))
        ++count;
    return count;
}

int DestroyMenuTree(HMENU menu) {
    int n = GetMenuItemCount(menu);
    for (int i = 0; i < n; ++i) {
        MENUITEMINFOA item = {};
        item.cbSize = QUORIL_MENUITEMINFO_SIZE;
        item.fMask = MIIM_SUBMENU | MIIM_CHECKMARKS | MIIM_DATA;
        if (!GetMenuItemInfoA(menu, 0, TRUE, &item)) {
            DeleteMenu(menu, 0, MF_BYPOSITION);
            continue;
        }
        // Remove first so the item no longer refers to what is released next.
        RemoveMenu(menu, 0, MF_BYPOSITION);
        if (item.hSubMenu) {
            DestroyMenuTree(item.hSubMenu);
            DestroyMenu(item.hSubMenu);
        }
        FreeItemData(reinterpret_cast<void*>(item.dwItemData));
        if (item.hbmpUnchecked) DeleteObject(item.hbmpUnchecked);
        if (item.hbmpChecked) DeleteObject(item.hbmpChecked);
    }
    return 1;
}
