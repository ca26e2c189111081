// The settings key and the lookups from native menu ids back to registry keys.
#include "store/registry_layout.h"
#include "common/handle_guards.h"
#include "store/item_record.h"

namespace {
// Keys entered or returned by the lookups: query and write as the store edits
// need, plus sub-key enumeration, which renumbering does on the returned key.
const REGSAM kLookupRights = KEY_QUERY_VALUE | KEY_WRITE | KEY_ENUMERATE_SUB_KEYS;

char g_keyClass[] = "key";

// Opens (creating when missing) `name` under `parent`.
HKEY CreateChildKey(HKEY parent, const char* name, REGSAM rights) {
    HKEY child = nullptr;
    if (RegCreateKeyExA(parent, name, 0, g_keyClass, REG_OPTION_NON_VOLATILE, rights, nullptr,
                        &child, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return child;
}

// Opens the sub-key of `key` named by the text of the item at `position`.
HKEY OpenItemSubkey(HKEY key, HMENU menu, int position) {
    char name[kTextBufferSize];
    name[0] = '\0';
    GetMenuStringA(menu, position, name, sizeof name, MF_BYPOSITION);
    name[sizeof name - 1] = '\0';
    HKEY child = nullptr;
    if (RegOpenKeyExA(key, name, 0, kLookupRights, &child) != ERROR_SUCCESS) return nullptr;
    return child;
}

bool ReadItemId(HMENU menu, int position, UINT* id) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID;
    if (!GetMenuItemInfoA(menu, position, TRUE, &info)) return false;
    *id = info.wID;
    return true;
}

// Number of items, or 0 when it cannot be read.
int ItemCount(HMENU menu) {
    int count = GetMenuItemCount(menu);
    return count > 0 ? count : 0;
}
} // namespace

HKEY OpenSettingsKey() {
    static const char* const kNames[] = {"Software", "Quoril", "RoduzuRodidiVo", "Settings"};
    const REGSAM kSettingsRights = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
    // Every press comes here: a key that is there is opened in one step
    // rather than through its four parents.
    HKEY settings = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, QUORIL_SETTINGS_PATH, 0, kSettingsRights, &settings) ==
        ERROR_SUCCESS)
        return settings;
    // Never leave a half-opened chain behind; HKEY_CURRENT_USER is not ours.
    OwnedKey parent;
    for (int i = 0; i < 4; ++i) {
        REGSAM rights = (i < 3) ? KEY_READ : kSettingsRights;
        parent.Reset(CreateChildKey(parent ? parent.Get() : HKEY_CURRENT_USER, kNames[i], rights));
        if (!parent) return nullptr;
    }
    return parent.Release();
}

HKEY FindSubmenuKey(HKEY key, HMENU menu, UINT submenuId) {
    if (submenuId == 0) return key;
    OwnedKey owned(key); // taken over: closed unless it is the one returned
    int count = (key && menu) ? ItemCount(menu) : 0;
    for (int position = 0; position < count; ++position) {
        UINT id = 0;
        if (ReadItemId(menu, position, &id) && id == submenuId)
            return OpenItemSubkey(key, menu, position);
        HMENU submenu = GetSubMenu(menu, position);
        if (!submenu) continue;
        HKEY child = OpenItemSubkey(key, menu, position);
        if (!child) break;
        if (HKEY found = FindSubmenuKey(child, submenu, submenuId)) return found;
    }
    return nullptr;
}

HKEY FindItemKey(HKEY key, HMENU menu, UINT itemId) {
    OwnedKey owned(key); // taken over: closed unless it is the one returned
    int count = (key && menu && itemId) ? ItemCount(menu) : 0;
    for (int position = 0; position < count; ++position) {
        UINT id = GetMenuItemID(menu, position);
        if (id == static_cast<UINT>(-1) && !ReadItemId(menu, position, &id)) id = 0;
        if (id == itemId) return owned.Release();
        HMENU submenu = GetSubMenu(menu, position);
        if (!submenu) continue;
        HKEY child = OpenItemSubkey(key, menu, position);
        if (!child) break;
        if (HKEY found = FindItemKey(child, submenu, itemId)) return found;
    }
    return nullptr;
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
