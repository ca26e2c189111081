// Carrying out the choice of a press: launching the chosen item, or running
// the editing command of the context menu on it.
#pragma once
#include <windows.h>

// `rootMenu` is the native menu tree of the press, `itemId` the chosen item's
// command id, `contextCommand` 0 for a direct choice or the context menu's
// command, `parentSubmenuId` the id of the submenu item that holds the item
// (0 in the root menu).
int DispatchMenuChoice(HWND hostWindow, HMENU rootMenu, int itemId, int contextCommand,
                       int parentSubmenuId);
