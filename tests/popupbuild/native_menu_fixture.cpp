#include "tests/popupbuild/native_menu_fixture.h"
#include <stddef.h>
#include "flatmenu/flat_popup_menu.h"

NativeMenuFixture::NativeMenuFixture() : m_root(CreatePopupMenu()) {}

NativeMenuFixture::~NativeMenuFixture() {
    DestroyMenu(m_root); // destroys attached submenus too
    for (HBITMAP b : m_bitmaps)
        DeleteObject(b);
}

HMENU NativeMenuFixture::NewSubmenu() {
    return CreatePopupMenu();
}

const char* NativeMenuFixture::Keep(const char* record) {
    if (!record) return nullptr;
    m_records.emplace_back(new std::string(record));
    return m_records.back()->c_str();
}

HBITMAP NativeMenuFixture::SolidBitmap(COLORREF colour) {
    int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, cx, cy);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT r = {0, 0, cx, cy};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    m_bitmaps.push_back(bitmap);
    return bitmap;
}

void NativeMenuFixture::AddItem(HMENU menu, const char* text, UINT id, const char* record,
                                COLORREF iconColour, UINT state) {
    MENUITEMINFOA info = {};
    info.cbSize = offsetof(MENUITEMINFOA, hbmpItem);
    info.fMask = MIIM_STATE | MIIM_ID | MIIM_TYPE | MIIM_DATA | MIIM_CHECKMARKS;
    info.fType = MFT_STRING;
    info.fState = state;
    info.wID = id;
    info.dwTypeData = const_cast<char*>(text);
    info.dwItemData = reinterpret_cast<ULONG_PTR>(Keep(record));
    if (iconColour != CLR_INVALID) {
        info.hbmpUnchecked = SolidBitmap(iconColour);
        info.hbmpChecked = SolidBitmap(RGB(0, 0, 0)); // opaque everywhere
    }
    InsertMenuItemA(menu, GetMenuItemCount(menu), TRUE, &info);
}

void NativeMenuFixture::AddSeparator(HMENU menu, const char* record) {
    MENUITEMINFOA info = {};
    info.cbSize = offsetof(MENUITEMINFOA, hbmpItem);
    info.fMask = MIIM_TYPE | MIIM_DATA;
    info.fType = MFT_SEPARATOR;
    info.dwItemData = reinterpret_cast<ULONG_PTR>(Keep(record));
    InsertMenuItemA(menu, GetMenuItemCount(menu), TRUE, &info);
}

void NativeMenuFixture::AddSubmenu(HMENU menu, const char* text, UINT id, HMENU submenu,
                                   const char* record) {
    MENUITEMINFOA info = {};
    info.cbSize = offsetof(MENUITEMINFOA, hbmpItem);
    info.fMask = MIIM_STATE | MIIM_ID | MIIM_TYPE | MIIM_SUBMENU | MIIM_DATA;
    info.fType = MFT_STRING;
    info.wID = id;
    info.hSubMenu = submenu;
    info.dwTypeData = const_cast<char*>(text);
    info.dwItemData = reinterpret_cast<ULONG_PTR>(Keep(record));
    InsertMenuItemA(menu, GetMenuItemCount(menu), TRUE, &info);
}

std::vector<std::string> EntryTexts(const CFlatPopupMenu& popup) {
    std::vector<std::string> texts;
    for (int i = 0; i < popup.Rows().Count(); ++i) {
        const FlatMenuItem* item = popup.Rows().Item(i);
        texts.push_back((item->flags & fpmSeparator) ? "-" : item->text);
    }
    return texts;
}
