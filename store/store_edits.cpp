// Writing, creating and deleting items and submenus in the stored menu.
#include "store/store_edits.h"
#include "common/handle_guards.h"
#include "store/item_record.h"
#include "store/registry_layout.h"
#include "store/registry_names.h"
#include "store/store_edits_values.h"

namespace {
bool IsEmpty(const char* text) {
    return !text || !*text;
}

// True when value `name` of `key` (null: the default value) holds a record
// with characters the code page cannot hold. The editor only ever saw it
// through the code page, so writing over it would lose them: it stays.
bool HoldsRecordBeyondCodePage(HKEY key, const char* name) {
    wchar_t wideName[kTextBufferSize];
    if (!ToWide(name ? name : "", wideName, kTextBufferSize)) return false;
    StoredRecord stored;
    return ReadStoredRecord(key, wideName, &stored) && !IsAnsiRecord(stored);
}

// The same for the record of the existing sub-key `name` of `key`.
bool SubmenuHoldsRecordBeyondCodePage(HKEY key, const char* name) {
    OwnedKey subkey;
    if (RegOpenKeyExA(key, name, 0, KEY_QUERY_VALUE, subkey.Put()) != ERROR_SUCCESS) return false;
    return HoldsRecordBeyondCodePage(subkey.Get(), nullptr);
}

// Deletes the sub-key `name` of `key` with everything beneath it; a level
// that cannot be deleted says so. True when the sub-key is gone.
// Names go through the wide API, so that a child named in characters the code
// page cannot hold is deleted, and never mistaken for another one.
bool DeleteTree(HKEY key, const wchar_t* name) {
    {
        OwnedKey subkey;
        if (RegOpenKeyExW(key, name, 0, KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY,
                          subkey.Put()) != ERROR_SUCCESS)
            return false;
        RegistryName child;
        // A deleted child frees its index for the next one; one that stays is
        // stepped over, so each child is visited once.
        for (DWORD index = 0; EnumSubkeyName(subkey.Get(), index, &child) == kRegistryEntry;) {
            if (!child.wide[0] || !DeleteTree(subkey.Get(), child.wide)) ++index;
        }
    }
    if (RegDeleteKeyW(key, name) == ERROR_SUCCESS) return true;
    MessageBoxA(nullptr, "Sub-menu deletion failed", "DeleteRegSubEntry", MB_OK);
    return false;
}
} // namespace

void WriteItemValue(const std::string& keyPath, const char* name, const char* record) {
    if (IsEmpty(name) || IsEmpty(record)) return;
    OwnedKey key = OpenMenuKey(keyPath);
    if (key && !HoldsRecordBeyondCodePage(key.Get(), name))
        WriteRecordValue(key.Get(), name, record);
}

void CreateSubmenuKey(const std::string& keyPath, const char* name, const char* record) {
    if (IsEmpty(name) || IsEmpty(record)) return;
    OwnedKey subkey;
    {
        OwnedKey key = OpenMenuKey(keyPath);
        if (!key || SubmenuHoldsRecordBeyondCodePage(key.Get(), name) ||
            RegCreateKeyExA(key.Get(), name, 0, const_cast<char*>("key"), REG_OPTION_NON_VOLATILE,
                            KEY_WRITE, nullptr, subkey.Put(), nullptr) != ERROR_SUCCESS)
            return;
    }
    WriteRecordValue(subkey.Get(), nullptr, record);
}

void DeleteMenuItemRegEntry(const std::string& keyPath, const char* name) {
    // An empty name would address the default value, which is the record of
    // the submenu that holds the item, never an item of its own.
    if (IsEmpty(name)) return;
    OwnedKey key = OpenMenuKey(keyPath);
    if (key && RegDeleteValueA(key.Get(), name) != ERROR_SUCCESS)
        MessageBoxA(nullptr, "Menu item deletion failed", "DeleteMenuItemRegEntry", MB_OK);
}

void DeleteSubmenu(const std::string& keyPath, const char* name) {
    if (IsEmpty(name)) return;
    OwnedKey key = OpenMenuKey(keyPath);
    if (key) DeleteRegSubEntry(key.Get(), name);
}

void DeleteRegSubEntry(HKEY key, const char* name) {
    // An empty name would open, and so delete, `key` itself.
    if (!key || IsEmpty(name)) return;
    wchar_t wideName[kTextBufferSize];
    if (ToWide(name, wideName, kTextBufferSize)) DeleteTree(key, wideName);
}
