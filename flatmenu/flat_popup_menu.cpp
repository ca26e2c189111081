// CFlatPopupMenu: the entries, the palette made at Create and the window
// class.
#include "flatmenu/flat_popup_menu.h"
#include "flatmenu/flat_menu_layout.h"
#include "common/gdi_guards.h"

namespace {
// Registered once per process, never unregistered.
bool g_classRegistered = false;

FlatMenuItem MakeItem(int flags, const char* text, int commandId, int iconIndex,
                      CFlatPopupMenu* child) {
    FlatMenuItem item;
    item.flags = flags;
    item.text = text ? text : "";
    item.commandId = commandId;
    item.iconIndex = iconIndex;
    item.child = child;
    return item;
}
} // namespace

CFlatPopupMenu::CFlatPopupMenu() : m_palette(MenuColours::FromSystem()) {}

CFlatPopupMenu::~CFlatPopupMenu() {
    if (m_captureState == kHoldsCapture) ReleaseCapture();
    // The window's clean-up reads this object, so it runs while it is whole.
    if (m_window) DestroyWindow(m_window);
}

bool CFlatPopupMenu::Create(HINSTANCE instance, int bitmapId, HWND owner, HBITMAP image,
                            HBITMAP mask, CFlatPopupMenu* contextMenu) {
    m_instance = instance;
    if (!g_classRegistered) {
        if (!RegisterMenuClass()) {
            MessageBoxA(nullptr, "Class registration failed", "CFlatPopupMenu::Create", MB_OK);
            return false;
        }
        g_classRegistered = true;
    }
    m_rows.Clear();
    // The colours stay those read when the menu was made.
    OwnedDc measuring(MakeMeasuringDc());
    // Made for the system's DPI; Track makes it anew for a monitor of another.
    m_systemDpi = GetDeviceCaps(measuring.Get(), LOGPIXELSY);
    m_palette = MenuPalette(m_palette.Colours(), measuring.Get(),
                            MenuStrips::For(instance, bitmapId, image, mask), m_systemDpi);
    m_ownerWindow = owner;
    m_contextMenu = contextMenu;
    return true;
}

bool CFlatPopupMenu::AppendItem(int flags, const char* text, int commandId, int iconIndex) {
    m_rows.Append(MakeItem(flags, text, commandId, iconIndex, nullptr));
    return true;
}

bool CFlatPopupMenu::AppendPopup(int flags, const char* text, CFlatPopupMenu* child, int iconIndex,
                                 int commandId) {
    if (flags & fpmSeparator) return false;
    if (child) {
        child->m_parent = this;
        child->m_contextMenu = m_contextMenu;
    }
    m_rows.Append(MakeItem(flags, text, commandId, iconIndex, child));
    return true;
}

bool CFlatPopupMenu::SetItemFlags(unsigned key, int flags, bool byIndex) {
    FlatMenuItem* item = m_rows.Find(key, byIndex);
    if (!item) return false;
    item->flags = flags;
    return true;
}

CFlatPopupMenu* CFlatPopupMenu::Root() {
    CFlatPopupMenu* menu = this;
    while (menu->m_parent)
        menu = menu->m_parent;
    return menu;
}

bool CFlatPopupMenu::ContextMenuOpenElsewhere() {
    CFlatPopupMenu* root = Root();
    return root->m_tree.contextMenuOpen && root->m_contextMenu != this;
}

bool CFlatPopupMenu::RegisterMenuClass() {
    WNDCLASSA wc = {};
    wc.style = 0;
    wc.lpfnWndProc = MenuWndProc;
    wc.hInstance = m_instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = nullptr; // painted on WM_ERASEBKGND
    wc.lpszClassName = fpmlayout::kMenuClassName;
    return RegisterClassA(&wc) != 0;
}
