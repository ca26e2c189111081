// Builds the native menu tree of one press from the stored menu, and releases
// it again.
#include "menubuild/native_menu.h"
#include "menubuild/native_build.h"
#include "store/item_record.h"
#include "store/stored_menu.h"

int BuildRootMenu(PressContext& press, HWND window, HMENU root, const StoredKey& tree) {
    NativeBuild build(press, window); // each distinct icon is looked up once per build
    build.LookUpIcons(tree);
    int result = FillMenuFromStore(build, root, tree);
    if (GetMenuItemCount(root) <= 0)
        return InsertLauncherItem(build, root, QUORIL_PLACEHOLDER_TEXT, PlaceholderMarker);
    return result;
}

int FillMenuFromStore(NativeBuild& build, HMENU menu, const StoredKey& key) {
    int submenus = AddSubmenuItems(build, menu, key);
    int items = AddLauncherItems(build, menu, key);
    return (submenus || items) ? 1 : 0;
}

int AddSubmenuItems(NativeBuild& build, HMENU menu, const StoredKey& key) {
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
        if (FillMenuFromStore(build, submenu.Get(), subkey) &&
            InsertSubmenuItem(build, menu, submenu.Get(), subkey.ansiName.c_str(),
                              hasRecord ? record : nullptr)) {
            submenu.Release(); // now part of `menu`
            ++count;
        }
    }
    return count;
}

int AddLauncherItems(NativeBuild& build, HMENU menu, const StoredKey& key) {
    int count = 0;
    char record[kRecordBufferSize];
    for (const StoredValue& value : key.values) {
        // A name the code page cannot hold would address another value.
        if (!value.exact || value.ansiName.empty() || value.type != REG_SZ) continue;
        if (!StoredAnsiRecord(value, record)) continue;
        if (!InsertLauncherItem(build, menu, value.ansiName.c_str(), record)) return 0;
        ++count;
    }
    if (GetMenuItemCount(menu) == 0 &&
        InsertLauncherItem(build, menu, QUORIL_PLACEHOLDER_TEXT, PlaceholderMarker))
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
        OwnedMenuTree submenu(item.hSubMenu);
        OwnedItemData data(reinterpret_cast<char*>(item.dwItemData));
        // The item carried its bitmaps: they go with it.
        OwnedBitmap image(item.hbmpUnchecked), mask(item.hbmpChecked);
    }
    return 1;
}
