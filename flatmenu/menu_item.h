// One entry of a flat menu and the bits of its flags. Plain data, free of
// Win32, so that the rows and everything that reads them can be tested alone.
#pragma once
#include <string>

enum FlatMenuFlags {
    fpmSeparator = 0x1,
    fpmDisabled = 0x2,
    fpmBold = 0x4,
    fpmGrayed = 0x8,
};

class CFlatPopupMenu;

struct FlatMenuItem {
    int top = 0; // client y of the entry's top edge
    int height = 0;
    int flags = 0;
    std::string text; // "&" marks the mnemonic
    int commandId = 0;
    int iconIndex = -1;              // in the menu's image strip; -1 for none
    CFlatPopupMenu* child = nullptr; // the submenu it opens; not owned
};
