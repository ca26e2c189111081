// Where the menu lives: HKCU\Software\Quoril\RoduzuRodidiVo\Settings is the
// root menu; its REG_SZ values are items, its sub-keys submenus, recursively.
// An entry is addressed by the key path of the key that holds it and its
// name. A key path names a key below the settings key: the names of the
// sub-keys on the way joined by '\' ("" is the settings key itself,
// "Tools\\Games" the submenu Games of the submenu Tools).
#pragma once
#include <windows.h>
#include <string>
#include "common/handle_guards.h"

#define QUORIL_SETTINGS_PATH "Software\\Quoril\\RoduzuRodidiVo\\Settings"

// Opens (creating on first use) the settings key; empty on failure.
OwnedKey OpenSettingsKey();
// Opens the key at `keyPath` to read, write and enumerate it: "" as
// OpenSettingsKey does, any other path only when that key is there (nothing
// is created). Empty when it cannot be opened.
OwnedKey OpenMenuKey(const std::string& keyPath);
// The key path of the sub-key `name` of the key at `keyPath`.
std::string SubkeyPath(const std::string& keyPath, const std::string& name);
