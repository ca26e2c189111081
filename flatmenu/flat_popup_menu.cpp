// CFlatPopupMenu: the item list, the GDI objects each menu owns and the
// window class.
#include "flatmenu/flat_popup_menu.h"
#include "flatmenu/flat_menu_layout.h"
#include "common/gdi_guards.h"

namespace {
// Registered once per process, never unregistered.
bool g_classRegistered = false;
const size_t kMaxFaceLength = 31; // LOGFONT's face buffer minus the terminator
} // namespace

CFlatPopupMenu::CFlatPopupMenu()
    : m_frameColour(GetSysColor(COLOR_MENUTEXT)), m_backgroundColour(GetSysColor(COLOR_MENU)),
      m_textColour(GetSysColor(COLOR_MENUTEXT)), m_disabledTextColour(GetSysColor(COLOR_GRAYTEXT)),
      m_highlightedTextColour(GetSysColor(COLOR_HIGHLIGHTTEXT)),
      m_highlightColour(GetSysColor(COLOR_HIGHLIGHT)), m_transparentColour(0xFF00FF),
      m_lightColour(GetSysColor(COLOR_BTNHIGHLIGHT)), m_shadowColour(GetSysColor(COLOR_BTNSHADOW)) {
}

CFlatPopupMenu::~CFlatPopupMenu() {
    if (m_captureState == fpmHoldsCapture) ReleaseCapture();
    // The window's clean-up reads this object, so it runs while it is whole.
    if (m_window) DestroyWindow(m_window);
    DeleteGdiObjects();
}

bool CFlatPopupMenu::Create(HINSTANCE instance, int bitmapId, HWND owner, HBITMAP image,
                            HBITMAP mask, CFlatPopupMenu* contextMenu) {
    m_instance = instance;
    m_bitmapId = bitmapId;
    if (!g_classRegistered) {
        if (!RegisterMenuClass()) {
            MessageBoxA(nullptr, "Class registration failed", "CFlatPopupMenu::Create", MB_OK);
            return false;
        }
        g_classRegistered = true;
    }
    m_items.clear();
    CreateGdiObjects();
    m_ownerWindow = owner;
    m_contextMenu = contextMenu;
    if (bitmapId == fpmUserBitmap) {
        m_imageStrip = image;
        m_maskStrip = mask;
    }
    return true;
}

bool CFlatPopupMenu::AppendItem(int flags, const char* text, int commandId, int iconIndex) {
    FlatMenuItem item;
    item.flags = flags;
    item.text = text ? text : "";
    item.commandId = commandId;
    item.iconIndex = iconIndex;
    m_items.push_back(item);
    return true;
}

bool CFlatPopupMenu::AppendPopup(int flags, const char* text, CFlatPopupMenu* child, int iconIndex,
                                 int commandId) {
    if (flags & fpmSeparator) return false;
    if (child) {
        child->m_isChild = true;
        child->m_parent = this;
        child->m_contextMenu = m_contextMenu;
    }
    FlatMenuItem item;
    item.flags = flags;
    item.text = text ? text : "";
    item.commandId = commandId;
    item.iconIndex = iconIndex;
    item.child = child;
    m_items.push_back(item);
    return true;
}

bool CFlatPopupMenu::SetItemFlags(unsigned key, int flags, bool byIndex) {
    FlatMenuItem* item = FindItem(key, byIndex);
    if (!item) return false;
    item->flags = flags;
    return true;
}

FlatMenuItem* CFlatPopupMenu::FindItem(unsigned key, bool byIndex) {
    if (byIndex) return key < m_items.size() ? &m_items[key] : nullptr;
    for (FlatMenuItem& item : m_items) {
        if (static_cast<unsigned>(item.commandId) == key) return &item;
    }
    return nullptr;
}

CFlatPopupMenu* CFlatPopupMenu::Root() {
    CFlatPopupMenu* menu = this;
    while (menu->m_parent)
        menu = menu->m_parent;
    return menu;
}

HDC CFlatPopupMenu::CreateMeasuringDc() {
    // A memory context measures text as the screen shows it. An information
    // context on the display would do the same, but making one costs about
    // ten times as much, and every press measures.
    return CreateCompatibleDC(nullptr);
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

void CFlatPopupMenu::CreateGdiObjects() {
    DeleteGdiObjects();

    OwnedDc ic(CreateMeasuringDc());
    LOGFONTA font = {};
    font.lfHeight = -MulDiv(m_fontSize, GetDeviceCaps(ic.Get(), LOGPIXELSY), 72);
    font.lfWeight = FW_NORMAL;
    lstrcpynA(font.lfFaceName, m_fontFace.c_str(), static_cast<int>(kMaxFaceLength + 1));
    m_normalFont = CreateFontIndirectA(&font);
    font.lfWeight = FW_BOLD;
    m_boldFont = CreateFontIndirectA(&font);

    TEXTMETRICA metrics = {};
    {
        SelectedObject selected(ic.Get(), m_normalFont);
        GetTextMetricsA(ic.Get(), &metrics);
        m_normalTextHeight = metrics.tmHeight;
    }
    {
        SelectedObject selected(ic.Get(), m_boldFont);
        GetTextMetricsA(ic.Get(), &metrics);
        m_boldTextHeight = metrics.tmHeight;
    }

    m_framePen = CreatePen(PS_SOLID, 1, m_frameColour);
    m_lightPen = CreatePen(PS_SOLID, 1, m_lightColour);
    m_shadowPen = CreatePen(PS_SOLID, 1, m_shadowColour);
    m_backgroundPen = CreatePen(PS_SOLID, 1, m_backgroundColour);
    m_textPen = CreatePen(PS_SOLID, 1, m_textColour);
    m_highlightedTextPen = CreatePen(PS_SOLID, 1, m_highlightedTextColour);
    m_backgroundBrush = CreateSolidBrush(m_backgroundColour);
    m_highlightBrush = CreateSolidBrush(m_highlightColour);

    if (m_bitmapId != fpmNoBitmap && m_bitmapId != fpmUserBitmap) {
        m_imageStrip = LoadBitmapA(m_instance, MAKEINTRESOURCEA(m_bitmapId & 0xFFFF));
        m_ownsImageStrip = m_imageStrip != nullptr;
    }
}

namespace {
template <typename Handle> void DeleteAndClear(Handle& handle) {
    if (handle) DeleteObject(handle);
    handle = nullptr;
}
} // namespace

void CFlatPopupMenu::DeleteGdiObjects() {
    // Each handle on its own, so a failed creation cannot strand the others.
    // Ownership of the strip is remembered from when it was loaded: the
    // bitmap id may already name a different source when Create runs again.
    DeleteAndClear(m_normalFont);
    DeleteAndClear(m_boldFont);
    DeleteAndClear(m_framePen);
    DeleteAndClear(m_lightPen);
    DeleteAndClear(m_shadowPen);
    DeleteAndClear(m_backgroundPen);
    DeleteAndClear(m_textPen);
    DeleteAndClear(m_highlightedTextPen);
    DeleteAndClear(m_backgroundBrush);
    DeleteAndClear(m_highlightBrush);
    if (m_ownsImageStrip) DeleteObject(m_imageStrip);
    m_ownsImageStrip = false;
    m_imageStrip = nullptr;
    m_maskStrip = nullptr; // always the caller's
}
