// Builds the native menu tree of one press from the stored menu. Items carry a
// heap copy of their record as item data and their small icon's image and mask
// in hbmpUnchecked / hbmpChecked. Every item goes in at position 0.
#pragma once
#include <windows.h>
#include "common/scoped_handle.h"
#include "store/item_record.h" // PlaceholderMarker, the placeholder's item data

#define QUORIL_PLACEHOLDER_TEXT "Insert Item..."

struct PressContext;
struct StoredKey;
class NativeBuild;

// Fills `root` from `tree`, the settings key's tree as read (ReadStoredTree),
// with bitmaps compatible with `window`'s DC (the screen's for null). A menu
// that stays empty gets the "Insert Item..." placeholder.
int BuildRootMenu(PressContext& press, HWND window, HMENU root, const StoredKey& tree);
// The submenus of `key`, then its items; 1 when anything was added.
int FillMenuFromStore(NativeBuild& build, HMENU menu, const StoredKey& key);
int AddSubmenuItems(NativeBuild& build, HMENU menu, const StoredKey& key);
int AddLauncherItems(NativeBuild& build, HMENU menu, const StoredKey& key);
// A submenu item for `submenu` named `keyName`, with the submenu's record (null:
// none, or empty).
BOOL InsertSubmenuItem(NativeBuild& build, HMENU menu, HMENU submenu, const char* keyName,
                       const char* record);
BOOL InsertLauncherItem(NativeBuild& build, HMENU menu, const char* text, const char* record);
BOOL InsertWithIcon(NativeBuild& build, HMENU menu, const char* record, MENUITEMINFOA* item);
BOOL InsertItemSeparator(HMENU menu, const char* record);
// Draws `icon` into a new image bitmap (returned) and mask (through
// `maskOut`) compatible with `window`'s DC; null when they cannot be made.
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
