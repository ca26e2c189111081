// Builds the native menu tree of one press from the stored menu. Items carry a
// heap copy of their record as item data and their small icon's image and mask
// in hbmpUnchecked / hbmpChecked. Every item goes in at position 0.
#pragma once
#include <windows.h>
#include "common/scoped_handle.h"
#include "store/item_record.h" // PlaceholderMarker, the placeholder's item data

#define QUORIL_PLACEHOLDER_TEXT "Insert Item..."

struct StoredKey;

// `module` is the instance handed to ExtractIconA for the items' icons.
int BuildRootMenu(HWND window, HMENU root, HINSTANCE module = nullptr);
// BuildRootMenu from the settings key's tree as read already (ReadStoredTree).
int BuildRootMenuFromStore(HWND window, HMENU root, HINSTANCE module, const StoredKey& tree);
int FillMenuFromKey(HWND window, HMENU menu, HKEY key);
int AddSubmenuItems(HWND window, HMENU menu, HKEY key);
int AddLauncherItems(HWND window, HMENU menu, HKEY key);
BOOL InsertSubmenuItem(HKEY subkey, HWND window, HMENU menu, HMENU submenu, const char* keyName);
BOOL InsertLauncherItem(HWND window, HMENU menu, const char* text, const char* record);
BOOL InsertWithIcon(HWND window, HMENU menu, const char* record, MENUITEMINFOA* item);
BOOL InsertItemSeparator(HMENU menu, const char* record);
HBITMAP IconToBitmaps(HWND window, HICON icon, int cx, int cy, HBITMAP* maskOut);
// Empties `menu`, releasing submenus, record copies and icon bitmaps; always 1.
int DestroyMenuTree(HMENU menu);

struct MenuTreeDestroyer {
    static void Close(HMENU menu) {
        DestroyMenuTree(menu);
        DestroyMenu(menu);
    }
};
// A native menu tree of a press: emptied with DestroyMenuTree and destroyed on
// scope exit.
typedef ScopedHandle<HMENU, MenuTreeDestroyer> OwnedMenuTree;
