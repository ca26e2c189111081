// An entry of the menu as the editor works on it: where it is stored and what
// it is. The menu builder fills it from the menu shown (a press's native menu
// tree); the editor's flows act on it. Kept free of <windows.h>.
#pragma once
#include <string>

struct MenuEntryAddress {
    // The menu holds the entry: `name`, `isSubmenu`, `placeholder`, `record`
    // and `siblingCount` describe it.
    bool found = false;
    // `keyPath` names the key that holds the entry (see registry_layout.h).
    bool keyFound = false;
    std::string keyPath;
    // Its value name or sub-key name, which is its text in the menu.
    std::string name;
    bool isSubmenu = false;
    // The "Insert Item..." of an empty menu, which stands for no stored entry.
    bool placeholder = false;
    // The record the entry carries ("" when it has none).
    std::string record;
    // Entries of the menu that holds it, separator lines included.
    int siblingCount = 0;
};
