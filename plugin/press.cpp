// The press: bring the stored menu into order, build it, show it at the press
// point, carry out the choice, and release everything before returning.
#include "plugin/press.h"
#include "common/handle_guards.h"
#include "menubuild/flat_popup_build.h"
#include "menubuild/native_menu.h"
#include "menubuild/press_context.h"
#include "plugin/exports.h"
#include "plugin/module.h"
#include "resources/resource_ids.h"
#include "store/stored_menu.h"

namespace {
int Press(HWND hostWindow, int x, int y) {
    PluginModule& plugin = ThePlugin();
    PressContext press(plugin.Instance(), hostWindow, plugin.Cache());
    // The icons are read for the monitor the menu opens on, where the system
    // gives a monitor a DPI of its own (else for the system's DPI).
    press.dpi = MenuDpiAt(POINT{x, y}, 0);
    // The stored menu is read once: every record without a position gets one
    // on the way, and the menu is built from what was read.
    StoredKey tree;
    const bool storeRead = ReadAndNormalizeMenu(press.cache.menu, &tree);
    // The native tree maps ids back to keys until the dispatch has finished.
    OwnedMenuTree root(CreatePopupMenu());
    if (!root) return 0;
    OwnedMenu resource(LoadMenuA(press.module, MAKEINTRESOURCEA(IDR_CONTEXT_MENU)));
    if (!resource) return 0;
    HMENU contextMenu = GetSubMenu(resource.Get(), 0);
    if (!contextMenu) return 0;
    const bool built = storeRead && BuildRootMenu(press, hostWindow, root.Get(), tree);
    tree = StoredKey(); // what was read is not needed any more
    if (built) {
        int chosen = ShowLauncherMenu(press, root.Get(), x, y, contextMenu);
        const EditContext editing = {press.module, &plugin.Editor()};
        if (chosen)
            DispatchMenuChoice(editing, hostWindow, root.Get(), chosen, press.choice.contextCommand,
                               press.choice.parentSubmenuId);
    }
    return 1;
}
} // namespace

int WINAPI WBPress(HWND hostWindow, int x, int y, DWORD) {
    // A press from within the item dialog's own loop is refused.
    if (ThePlugin().Editor().dialogOpen) return 0;
    // No exception may unwind into the host. Everything the press made is
    // held by guards, so a failure half-way (an allocation, say) has released
    // it all by the time it lands here.
    try {
        return Press(hostWindow, x, y);
    } catch (...) {
        return 0;
    }
}
