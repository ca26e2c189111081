// Inserting single native items: launcher items, submenu items, separators,
// and the icon bitmaps they carry.
#include <windows.h>
#include <stddef.h>
#include <string.h>
#include "menubuild/native_menu.h"
#include "common/text_copy.h"
#include "menubuild/native_build.h"
#include "store/item_record.h"

char* CopyItemData(const char* text) {
    size_t size = strlen(text) + 1;
    char* copy = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, size));
    if (copy) memcpy(copy, text, size);
    return copy;
}

void FreeItemData(void* data) {
    if (data) HeapFree(GetProcessHeap(), 0, data);
}

UINT NextItemId(HMENU menu) {
    int count = GetMenuItemCount(menu);
    if (count < 0) count = 0;
    return static_cast<UINT>(count) * 256 + static_cast<UINT>((UINT_PTR)menu & 0xFF);
}

namespace {
// Parses a copy of `record` into `copy` (kRecordBufferSize bytes).
void ParseCopy(const char* record, char* copy, MenuItemFields* fields) {
    CopyText(copy, kRecordBufferSize, record);
    ParseItemRecord(0, false, copy, fields);
}

// Draws one part of `icon` into a new bitmap compatible with `screen`.
HBITMAP DrawIconPart(HDC screen, HICON icon, int cx, int cy, UINT part) {
    OwnedDc dc(CreateCompatibleDC(screen));
    OwnedBitmap bitmap(dc ? CreateCompatibleBitmap(screen, cx, cy) : nullptr);
    if (!bitmap) return nullptr;
    {
        SelectedObject selected(dc.Get(), bitmap.Get());
        if (!selected.Selected()) return nullptr;
        DrawIconEx(dc.Get(), 0, 0, icon, cx, cy, 0, nullptr, part);
    } // deselected before it is handed over
    return bitmap.Release();
}
} // namespace

HBITMAP IconToBitmaps(HWND window, HICON icon, int cx, int cy, HBITMAP* maskOut) {
    WindowDc screen(window);
    if (!screen.Get()) return nullptr;
    OwnedBitmap mask(DrawIconPart(screen.Get(), icon, cx, cy, DI_MASK));
    OwnedBitmap image(mask ? DrawIconPart(screen.Get(), icon, cx, cy, DI_IMAGE) : nullptr);
    if (!image) return nullptr;
    if (maskOut) *maskOut = mask.Release(); // a mask nobody wants is deleted
    return image.Release();
}

const char* IconSourceOf(const char* record, char* copy, int* index) {
    MenuItemFields fields;
    ParseCopy(record, copy, &fields);
    *index = fields.iconIndex;
    // Index -1 would ask for the file's icon count instead of an icon.
    if (fields.iconIndex == -1) return nullptr;
    if (fields.iconPath && *fields.iconPath) return fields.iconPath;
    return *fields.target ? fields.target : nullptr;
}

BOOL InsertWithIcon(NativeBuild& build, HMENU menu, const char* record, MENUITEMINFOA* item) {
    char copy[kRecordBufferSize];
    int index = 0;
    const char* source = IconSourceOf(record, copy, &index);
    OwnedBitmap image, mask;
    if (source) {
        HBITMAP maskBitmap = nullptr;
        const int size = build.IconSize();
        image.Reset(build.ItemIconBitmaps(source, index, size, size, &maskBitmap));
        if (image) mask.Reset(maskBitmap);
    }
    item->hbmpUnchecked = image.Get();
    item->hbmpChecked = mask.Get();
    BOOL inserted = InsertMenuItemA(menu, 0, TRUE, item);
    if (inserted) {
        image.Release(); // the item carries them from now on
        mask.Release();
    } else {
        item->hbmpUnchecked = item->hbmpChecked = nullptr;
    }
    return inserted;
}

BOOL InsertItemSeparator(HMENU menu, const char* record) {
    char copy[kRecordBufferSize];
    MenuItemFields fields;
    ParseCopy(record, copy, &fields);
    if (fields.separator == 0) return FALSE;
    MENUITEMINFOA item = {};
    item.cbSize = QUORIL_MENUITEMINFO_SIZE;
    item.fMask = MIIM_TYPE | MIIM_DATA;
    item.fType = MFT_SEPARATOR;
    OwnedItemData data(CopyItemData(record));
    if (!data) return FALSE;
    item.dwItemData = reinterpret_cast<ULONG_PTR>(data.Get());
    if (!InsertMenuItemA(menu, 0, TRUE, &item)) return FALSE;
    data.Release(); // the item carries it from now on
    return TRUE;
}

BOOL InsertLauncherItem(NativeBuild& build, HMENU menu, const char* text, const char* record) {
    OwnedItemData data(CopyItemData(record));
    if (!data) return FALSE;
    MENUITEMINFOA item = {};
    item.cbSize = QUORIL_MENUITEMINFO_SIZE;
    item.fMask = MIIM_STATE | MIIM_ID | MIIM_CHECKMARKS | MIIM_TYPE | MIIM_DATA;
    item.fType = MFT_STRING;
    item.dwItemData = reinterpret_cast<ULONG_PTR>(data.Get());
    item.dwTypeData = const_cast<char*>(text);
    item.cch = static_cast<UINT>(strlen(text));
    item.wID = NextItemId(menu);
    if (!InsertWithIcon(build, menu, record, &item)) return FALSE;
    data.Release(); // the item carries it from now on
    InsertItemSeparator(menu, record);
    return TRUE;
}

BOOL InsertSubmenuItem(NativeBuild& build, HMENU menu, HMENU submenu, const char* keyName,
                       const char* record) {
    MENUITEMINFOA item = {};
    item.cbSize = QUORIL_MENUITEMINFO_SIZE;
    item.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE;
    item.fType = MFT_STRING;
    item.hSubMenu = submenu;
    item.dwTypeData = const_cast<char*>(keyName);
    item.cch = static_cast<UINT>(strlen(keyName));
    item.wID = NextItemId(submenu);
    BOOL inserted;
    if (record) {
        OwnedItemData data(CopyItemData(record));
        if (!data) return FALSE;
        item.fMask |= MIIM_CHECKMARKS | MIIM_DATA;
        item.dwItemData = reinterpret_cast<ULONG_PTR>(data.Get());
        inserted = InsertWithIcon(build, menu, record, &item);
        if (inserted) data.Release(); // the item carries it from now on
    } else {
        inserted = InsertMenuItemA(menu, 0, TRUE, &item);
    }
    if (inserted && record) InsertItemSeparator(menu, record);
    return inserted;
}
