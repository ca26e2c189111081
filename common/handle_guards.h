// Scope guards for the other handles the plug-in makes: registry keys, menus,
// icons and image lists.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "common/scoped_handle.h"

struct KeyCloser {
    static void Close(HKEY key) { RegCloseKey(key); }
};
struct MenuDestroyer {
    static void Close(HMENU menu) { DestroyMenu(menu); }
};
struct IconDestroyer {
    static void Close(HICON icon) { DestroyIcon(icon); }
};
struct ImageListDestroyer {
    static void Close(HIMAGELIST list) { ImageList_Destroy(list); }
};

// An open registry key, closed on scope exit. Never holds a predefined key.
typedef ScopedHandle<HKEY, KeyCloser> OwnedKey;
// A menu destroyed on scope exit, with the submenus it holds.
typedef ScopedHandle<HMENU, MenuDestroyer> OwnedMenu;
typedef ScopedHandle<HICON, IconDestroyer> OwnedIcon;
typedef ScopedHandle<HIMAGELIST, ImageListDestroyer> OwnedImageList;
