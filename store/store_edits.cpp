// Writing, creating and deleting items and submenus in the stored menu.
#include "store/store_edits.h"
#include "store/registry_layout.h"
#include "store/store_edits_values.h"

namespace {
bool IsEmpty(const char* text) {
    return !text || !*text;
}

// The key an insert or a rewrite goes to: the submenu's own key when a
// submenu id is given, else the key that holds the item.
HKEY FindTargetKey(HMENU menu, UINT itemId, UINT submenuId) {
    HKEY settings = OpenSettingsKey();
    if (!settings) return nullptr;
    if (submenuId) return FindSubmenuKey(settings, menu, submenuId);
    return FindItemKey(settings, menu, itemId);
}

// Deletes the sub-key `name` of `key` with everything beneath it; a level
// that cannot be deleted says so. True when the sub-key is gone.
bool DeleteTree(HKEY key, const char* name) {
    HKEY subkey;
    if (RegOpenKeyExA(key, name, 0, KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY, &subkey) !=
        ERROR_SUCCESS)
        return false;
    char child[kTextBufferSize];
    DWORD index = 0;
    for (;;) {
        DWORD size = sizeof child;
        if (RegEnumKeyExA(subkey, index, child, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        // A deleted child frees its index for the next one; one that stays is
        // stepped over, so each child is visited once.
        if (!child[0] || !DeleteTree(subkey, child)) ++index;
    }
    RegCloseKey(subkey);
    if (RegDeleteKeyA(key, name) == ERROR_SUCCESS) return true;
    MessageBoxA(nullptr, "Sub-menu deletion failed", "DeleteRegSubEntry", MB_OK);
    return false;
}
} // namespace

void WriteItemValue(HMENU menu, UINT itemId, UINT submenuId, const char* name, const char* record) {
    if (!menu || !itemId || IsEmpty(name) || IsEmpty(record)) return;
    HKEY key = FindTargetKey(menu, itemId, submenuId);
    if (!key) return;
    WriteRecordValue(key, name, record);
    RegCloseKey(key);
}

void CreateSubmenuKey(HMENU menu, UINT itemId, UINT submenuId, const char* name,
                      const char* record) {
    if (!menu || !itemId || IsEmpty(name) || IsEmpty(record)) return;
    HKEY key = FindTargetKey(menu, itemId, submenuId);
    if (!key) return;
    HKEY subkey;
    LONG rc = RegCreateKeyExA(key, name, 0, const_cast<char*>("key"), REG_OPTION_NON_VOLATILE,
                              KEY_WRITE, nullptr, &subkey, nullptr);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return;
    WriteRecordValue(subkey, nullptr, record);
    RegCloseKey(subkey);
}

void DeleteMenuItemRegEntry(HMENU menu, UINT itemId, const char* name) {
    // An empty name would address the default value, which is the record of
    // the submenu that holds the item, never an item of its own.
    if (!menu || !itemId || IsEmpty(name)) return;
    HKEY settings = OpenSettingsKey();
    if (!settings) return;
    HKEY key = FindItemKey(settings, menu, itemId);
    if (!key) return;
    if (RegDeleteValueA(key, name) != ERROR_SUCCESS)
        MessageBoxA(nullptr, "Menu item deletion failed", "DeleteMenuItemRegEntry", MB_OK);
    RegCloseKey(key);
}

void DeleteSubmenu(HMENU menu, UINT itemId, const char* name) {
    if (!menu || !itemId || IsEmpty(name)) return;
    HKEY settings = OpenSettingsKey();
    if (!settings) return;
    HKEY key = FindItemKey(settings, menu, itemId);
    if (!key) return;
    DeleteRegSubEntry(key, name);
    RegCloseKey(key);
}

void DeleteRegSubEntry(HKEY key, const char* name) {
    // An empty name would open, and so delete, `key` itself.
    if (!key || IsEmpty(name)) return;
    DeleteTree(key, name);
}
