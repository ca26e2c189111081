// From the native menu tree of a press back to the stored menu: the key path
// (see store/registry_layout.h) behind a command id. The tree mirrors the
// store: a submenu item's text is its key's name, an item's text its value's
// name. A lookup walks the tree depth first, position by position, and stops
// at the first item that has the id. Each submenu it enters must still have
// its key: when that key has gone (the store changed while the menu was
// shown), the search of that menu ends there, and the enclosing menu's goes on
// with its next item.
#pragma once
#include <windows.h>
#include <string>
#include "store/menu_entry_address.h"

// The key path of the key that holds item `itemId` (the key of the menu it
// stands in, whether it is a value or a sub-key). False when the id is 0 or
// not in the tree, or a key on the way has gone.
bool FindItemPath(HMENU root, UINT itemId, std::string* keyPath);
// The key path of the submenu whose submenu item has id `submenuId`; "" for 0.
// False when the id is not in the tree, or that key or one on the way has gone.
bool FindSubmenuPath(HMENU root, UINT submenuId, std::string* keyPath);
// Id of the submenu item whose submenu directly holds `itemId`; 0 for the root
// menu or an id not in the tree. Callers pass parentId 0.
UINT FindParentSubmenuId(HMENU menu, UINT itemId, UINT parentId);
// Describes item `itemId` of the tree for the editor: `found` when the tree
// holds it, `keyFound` when FindItemPath finds its key. Returns `found`.
bool DescribeMenuItem(HMENU root, UINT itemId, MenuEntryAddress* entry);
