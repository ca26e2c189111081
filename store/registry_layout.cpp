// The settings key, and the keys of the menu by their key paths.
#include "store/registry_layout.h"

namespace {
// Keys of the menu below the settings key: query and write as the store edits
// need, plus sub-key enumeration, which renumbering does.
const REGSAM kMenuKeyRights = KEY_QUERY_VALUE | KEY_WRITE | KEY_ENUMERATE_SUB_KEYS;

// The class every key the menu creates carries (the API takes it unqualified).
const char kKeyClass[] = "key";

// Opens (creating when missing) `name` under `parent`.
OwnedKey CreateChildKey(HKEY parent, const char* name, REGSAM rights) {
    OwnedKey child;
    RegCreateKeyExA(parent, name, 0, const_cast<char*>(kKeyClass), REG_OPTION_NON_VOLATILE, rights,
                    nullptr, child.Put(), nullptr);
    return child;
}

// A key path names no key when one of its names is empty (a '\' at either
// end, or two in a row): the registry would take it for another key, or none.
bool NamesAKey(const std::string& keyPath) {
    return keyPath.front() != '\\' && keyPath.back() != '\\' &&
           keyPath.find("\\\\") == std::string::npos;
}
} // namespace

OwnedKey OpenSettingsKey() {
    static const char* const kNames[] = {"Software", "Quoril", "RoduzuRodidiVo", "Settings"};
    const REGSAM kSettingsRights = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
    // Every press comes here: a key that is there is opened in one step
    // rather than through its four parents.
    OwnedKey settings;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, QUORIL_SETTINGS_PATH, 0, kSettingsRights,
                      settings.Put()) == ERROR_SUCCESS)
        return settings;
    // Never leave a half-opened chain behind; HKEY_CURRENT_USER is not ours.
    OwnedKey parent;
    for (int i = 0; i < 4; ++i) {
        REGSAM rights = (i < 3) ? KEY_READ : kSettingsRights;
        parent = CreateChildKey(parent ? parent.Get() : HKEY_CURRENT_USER, kNames[i], rights);
        if (!parent) return OwnedKey();
    }
    return parent;
}

OwnedKey OpenMenuKey(const std::string& keyPath) {
    if (keyPath.empty()) return OpenSettingsKey();
    OwnedKey key;
    if (!NamesAKey(keyPath)) return key;
    const std::string path = SubkeyPath(QUORIL_SETTINGS_PATH, keyPath);
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, kMenuKeyRights, key.Put()) !=
        ERROR_SUCCESS)
        return OwnedKey();
    return key;
}

std::string SubkeyPath(const std::string& keyPath, const std::string& name) {
    return keyPath.empty() ? name : keyPath + "\\" + name;
}
