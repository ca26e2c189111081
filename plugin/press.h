// The press: shows the launcher menu and carries out the choice.
#pragma once
#include <windows.h>

int DispatchMenuChoice(HWND hostWindow, HMENU rootMenu, int itemId, int contextCommand,
                       int parentSubmenuId);
