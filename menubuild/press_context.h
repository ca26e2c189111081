// One press: made by WBPress (or by a test or the benchmark for a build of
// their own) and passed down explicitly to everything the press builds.
#pragma once
#include <windows.h>
#include "flatmenu/menu_dpi.h"
#include "flatmenu/menu_geometry.h"
#include "menubuild/menu_cache.h"
#include "menubuild/popup_tree.h"
#include "menubuild/press_display.h"

// What the user chose in the launcher menu.
struct MenuChoice {
    int itemId = 0;          // the chosen entry's command id; 0 for nothing
    int contextCommand = 0;  // the context menu's command, 0 for a direct choice
    int parentSubmenuId = 0; // the submenu item holding the entry; 0 for the root
};

struct PressContext {
    PressContext(HINSTANCE moduleInstance, HWND host, MenuCache& keptCache)
        : module(moduleInstance), hostWindow(host), cache(keptCache), display(host) {}
    PressContext(const PressContext&) = delete;
    PressContext& operator=(const PressContext&) = delete;

    HINSTANCE module; // the instance the resources and icons are loaded with
    HWND hostWindow;  // the window whose button was pressed
    MenuCache& cache; // what outlives the press
    PressDisplay display;
    // The DPI the menus are drawn for: 0 for the system's, else the one of
    // the monitor they open on. Their icons are the small icons at it.
    int dpi = 0;
    int IconSize() const {
        return dpi ? MenuGeometry::ForDpi(dpi).iconSize : GetSystemMetrics(SM_CXSMICON);
    }
    PopupTree popups; // while the launcher menu is built and tracked
    MenuChoice choice;
};
