// Builds the native menu tree of one press from the stored menu, and releases
// it again.
#include "menubuild/native_menu.h"
#include "menubuild/native_menu_internal.h"
#include "store/item_record.h"
#include "store/registry_layout.h"
#include "store/registry_names.h"
#include "store/store_edits_values.h"

int BuildRootMenu(HWND window, HMENU root, HINSTANCE module) {
    BuildIconScope icons(window, module); // each distinct icon is read once per build
    int result;
    {
        OwnedKey key(OpenSettingsKey());
        if (!key) return 0;
        result = FillMenuFromKey(window, root, key.Get());
    }
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
    RegistryName name;
    for (DWORD index = 0; EnumSubkeyName(key, index, &name) == kRegistryEntry; ++index) {
        // An item's text is the name its key is found by again: a name the
        // code page cannot hold would find another key, or none.
        if (!name.exact || !name.ansi[0]) continue;
        // Until its item is in the menu, the submenu and what it holds are ours.
        OwnedMenuTree submenu(CreateMenu());
        if (!submenu) continue;
        OwnedKey subkey;
        if (RegOpenKeyExA(key, name.ansi, 0, KEY_READ, subkey.Put()) != ERROR_SUCCESS) continue;
        if (FillMenuFromKey(window, submenu.Get(), subkey.Get()) &&
            InsertSubmenuItem(subkey.Get(), window, menu, submenu.Get(), name.ansi)) {
            submenu.Release(); // now part of `menu`
            ++count;
        }
    }
    return count;
}

int AddLauncherItems(HWND window, HMENU menu, HKEY key) {
    int count = 0;
    RegistryName name;
    char record[kRecordBufferSize];
    DWORD type = 0;
    RegistryEnumStep step;
    for (DWORD index = 0; (step = EnumValueName(key, index, &name, &type)) != kRegistryEnd;
         ++index) {
        // A name too long for any item is passed over; the rest still count.
        // So is one the code page cannot hold: it would address another value.
        if (step == kRegistrySkip || !name.exact || !name.ansi[0] || type != REG_SZ) continue;
        if (!ReadRecordValue(key, name.ansi, record)) continue;
        if (!InsertLauncherItem(window, menu, name.ansi, record)) return 0;
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
