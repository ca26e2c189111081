// The editing commands of the context menu: insert, properties, delete. Each
// acts on an entry as the menu shown describes it (store/menu_entry_address.h)
// and changes the store only through the store's edits, in the key that holds
// the entry; where that key was not found, nothing is stored.
#pragma once
#include "editor/editor_state.h"
#include "store/menu_entry_address.h"

// Runs the item dialog in create mode and stores the new entry right after
// `clicked` (the entry right-clicked, or the "Insert Item..." of the empty
// root menu, which counts as an entry without a position): the siblings from
// that place on make room. With `intoEmptySubmenu`, `clicked` is the "Insert
// Item..." of an empty submenu whose key `clicked.keyPath` names: the new
// entry goes there at position 1, and nothing is renumbered.
void RunInsertFlow(const EditContext& context, const MenuEntryAddress& clicked,
                   bool intoEmptySubmenu);
// Runs the item dialog on `entry` and stores the edited record; a changed
// position moves the entry there first, the siblings making room. An entry the
// menu does not hold is reported ("GetMenuItemData failed"); the "Insert
// Item..." has nothing to show.
void RunPropertiesFlow(const EditContext& context, const MenuEntryAddress& entry);
// Deletes `entry` (a submenu with everything beneath it), and the siblings
// after it close the gap. The "Insert Item..." has nothing to delete.
void RunDeleteFlow(const EditContext& context, const MenuEntryAddress& entry);
