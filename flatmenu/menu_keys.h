// What a key or a typed character asks of an open menu, decided from its
// rows alone; the menu's window carries the decision out.
#pragma once
#include <windows.h>
#include "flatmenu/menu_rows.h"

enum class MenuKeyAction {
    NotAMenuKey,     // the menu does not use the key: it is translated instead
    Nothing,         // the menu's key, with nothing to do now
    MoveHot,         // entry `index` becomes the hot entry
    OpenSubmenu,     // the hot entry's submenu opens, its first choosable entry hot
    Choose,          // the tree closes with `command`
    CloseSubmenu,    // this submenu closes alone
    CloseTree,       // the tree closes with no choice
    OpenContextMenu, // the context menu opens for the hot entry, at its row
};

struct MenuKeyDecision {
    MenuKeyAction action = MenuKeyAction::Nothing;
    // MoveHot: the entry. OpenSubmenu and Choose: the entry made hot first,
    // or -1 to act on the hot entry as it is.
    int index = -1;
    int command = 0; // Choose
};

bool operator==(const MenuKeyDecision& a, const MenuKeyDecision& b);

// A key pressed while the menu is the innermost open one. `hasParent`: the
// menu is a submenu, which Left and Esc close alone.
MenuKeyDecision DecideKey(WPARAM virtualKey, bool shiftDown, const MenuRows& rows, bool hasParent);
// A character typed: the entry whose underlined letter it is (a submenu
// opens, any other entry is chosen, whatever its command id); else the one
// entry starting with it (chosen as Enter chooses), or, when several do, the
// next of them after the hot entry. Control characters do nothing.
MenuKeyDecision DecideCharacter(BYTE character, const MenuRows& rows);
// A typed character (UTF-16) in the code page, as entries' texts are; 0 for
// one the code page has no single character for.
BYTE CodePageCharacter(wchar_t typed);
// The first entry, not a separator, disabled or grayed, whose first "&"
// marks `typed` (lower case); -1 when none does.
int MnemonicEntry(const MenuRows& rows, BYTE typed);
