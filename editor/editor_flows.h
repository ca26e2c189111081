// The editing commands of the context menu: insert, properties, delete.
#pragma once
#include <windows.h>

void RunInsertFlow(HINSTANCE module, HWND hostWindow, HMENU rootMenu, UINT itemId,
                   UINT parentSubmenuId);
void ExecutePropsDialog(HINSTANCE module, HWND hostWindow, HMENU rootMenu, UINT itemId);
void RunDeleteFlow(HINSTANCE module, HWND hostWindow, HMENU rootMenu, UINT itemId);
