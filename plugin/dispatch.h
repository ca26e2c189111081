// Carrying out the choice of a press: launching the chosen item, or running
// the editing command of the context menu on it.
#pragma once
#include <windows.h>
#include "editor/editor_flows.h"

// `editing` is what the editor's flows run with (the module and its editor
// state), `rootMenu` the native menu tree of the press, `itemId` the chosen
// item's command id, `contextCommand` 0 for a direct choice or the context
// menu's command, `parentSubmenuId` the id of the submenu item that holds the
// item (0 in the root menu). The host window is not used.
int DispatchMenuChoice(const EditContext& editing, HWND hostWindow, HMENU rootMenu, int itemId,
                       int contextCommand, int parentSubmenuId);
