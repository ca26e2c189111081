// Where the menu lives: HKCU\Software\Quoril\RoduzuRodidiVo\Settings is the
// root menu; its REG_SZ values are items, its sub-keys submenus, recursively.
// A key handed to a Find* lookup is taken over by it: when it returns, the only
// key still open is the one it returns, which the caller closes.
#pragma once
#include <windows.h>

#define QUORIL_SETTINGS_PATH "Software\\Quoril\\RoduzuRodidiVo\\Settings"

// Opens (creating on first use) the settings key; null on failure.
HKEY OpenSettingsKey();
// Key of the submenu whose submenu item has id `submenuId`; `key` itself for 0.
HKEY FindSubmenuKey(HKEY key, HMENU menu, UINT submenuId);
// Key of the menu that holds the item with id `itemId`.
HKEY FindItemKey(HKEY key, HMENU menu, UINT itemId);
// Id of the submenu item whose submenu directly holds `itemId`; 0 for the root
// menu or an id not in the tree. Callers pass parentId 0.
UINT FindParentSubmenuId(HMENU menu, UINT itemId, UINT parentId);
