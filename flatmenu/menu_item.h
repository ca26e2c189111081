// One entry of a flat menu and the bits of its flags. Plain data, free of
// Win32, so that the rows and everything that reads them can be tested alone.
#pragma once
#include <string>

enum FlatMenuFlags {
    fpmSeparator = 0x1,
    fpmDisabled = 0x2,
    fpmBold = 0x4,
    fpmGrayed = 0x8,
    // The root's search row: the text typed so far and a caret. Never hot,
    // never chosen.
    fpmSearchField = 0x10,
};

class CFlatPopupMenu;
class MenuStrips;

struct FlatMenuItem {
    int top = 0; // client y of the entry's top edge
    int height = 0;
    int flags = 0;
    std::string text; // "&" marks the mnemonic
    int commandId = 0;
    int iconIndex = -1;              // in the menu's image strip; -1 for none
    CFlatPopupMenu* child = nullptr; // the submenu it opens; not owned

    // What a search finds it by: whether it is an entry of the user's menu
    // at all (not a placeholder), and its target's file name.
    bool searchable = true;
    std::string targetName;

    // A search result shows an entry of another menu: its icon comes from
    // that menu's strips (null: this menu's own), and the submenus that hold
    // it show after its name, in the disabled text colour.
    const MenuStrips* strips = nullptr;
    std::wstring detail;
    // The search row's text, as typed.
    std::wstring fieldText;
};
