// Builds the native menu tree of one press from the stored menu, and releases
// it again.
#include "menubuild/native_menu.h"
#include "menubuild/native_menu_internal.h"
#include "store/item_record.h"
#include "store/registry_layout.h"
#include "store/store_edits_values.h"

int BuildRootMenu(HWND window, HMENU root) {
    BuildIconScope icons(window); // each distinct icon is read once per build
    HKEY key = OpenSettingsKey();
    if (!key) return 0;
    int result = FillMenuFromKey(window, root, key);
    RegCloseKey(key);
    if (GetMenuItemCount(root) <= 0)
        return InsertLauncherItem(window, root, QUORIL_PLACEHOLDER_TEXT, PlaceholderMarker);
    return result;
}

int FillMenuFromKey(HWND window, HMENU menu, HKEY key) {
    int submenus = AddSubmenuItems(window, menu, key);
    int items = AddLauncherItems(window, menu, key);
    return (submenus || items) ? 1 : 0;
}

int AddSubmenuItems(HWND window, HMENU menu, HKEY key) {
    int count = 0;
    char name[kTextBufferSize];
    for (DWORD index = 0;; ++index) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        if (!name[0]) continue;
        HMENU submenu = CreateMenu();
        if (!submenu) continue;
        HKEY subkey;
        if (RegOpenKeyExA(key, name, 0, KEY_READ, &subkey) != ERROR_SUCCESS) {
            DestroyMenu(submenu);
            continue;
        }
        if (FillMenuFromKey(window, submenu, subkey) &&
            InsertSubmenuItem(subkey, window, menu, submenu, name)) {
            ++count;
        } else {
            DestroyMenuTree(submenu);
            DestroyMenu(submenu);
        }
        RegCloseKey(subkey);
    }
    return count;
}

int AddLauncherItems(HWND window, HMENU menu, HKEY key) {
    int count = 0;
    char name[kTextBufferSize];
    char record[kRecordBufferSize];
    for (DWORD index = 0;; ++index) {
        DWORD size = sizeof name;
        DWORD type = 0;
        LONG rc = RegEnumValueA(key, index, name, &size, nullptr, &type, nullptr, nullptr);
        if (rc == ERROR_MORE_DATA) continue; // a name no item can have; the rest still count
        if (rc != ERROR_SUCCESS) break;
        if (!name[0] || type != REG_SZ) continue;
        if (!ReadRecordValue(key, name, record)) continue;
        if (!InsertLauncherItem(window, menu, name, record)) return 0;
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
