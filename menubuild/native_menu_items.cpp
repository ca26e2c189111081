// Inserting single native items: launcher items, submenu items, separators,
// and the icon bitmaps they carry.
#include <windows.h>
#include <stddef.h>
#include <string.h>
#include "menubuild/native_menu.h"
#include "menubuild/native_menu_internal.h"
#include "store/item_record.h"
#include "store/store_edits_values.h"

const char PlaceholderMarker[] = "\x01\x02\x03\x04\x05\x06\x07\x08";

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
    lstrcpynA(copy, record, kRecordBufferSize);
    ParseItemRecord(0, false, copy, fields);
}

void DeleteItemBitmaps(MENUITEMINFOA* item) {
    if (item->hbmpUnchecked) DeleteObject(item->hbmpUnchecked);
    if (item->hbmpChecked) DeleteObject(item->hbmpChecked);
    item->hbmpUnchecked = nullptr;
    item->hbmpChecked = nullptr;
}

// A memory DC with one bitmap selected into it; restores and deletes on exit.
struct SelectedBitmap {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    SelectedBitmap(HDC screen, int cx, int cy) {
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, cx, cy);
        if (dc && bitmap) previous = SelectObject(dc, bitmap);
    }
    bool Ok() const { return dc && bitmap && previous; }
    // Hands the bitmap over to the caller once it is deselected.
    HBITMAP Release() {
        HBITMAP b = bitmap;
        bitmap = nullptr;
        return b;
    }
    ~SelectedBitmap() {
        if (previous) SelectObject(dc, previous);
        if (dc) DeleteDC(dc);
        if (bitmap) DeleteObject(bitmap);
    }
};
} // namespace

HBITMAP IconToBitmaps(HWND window, HICON icon, int cx, int cy, HBITMAP* maskOut) {
    // During a build the bitmaps are drawn on the build's own surface.
    if (HBITMAP image = IconToBitmapsInScope(window, icon, cx, cy, maskOut)) return image;
    HDC screen = GetDC(window);
    if (!screen) return nullptr;
    HBITMAP image = nullptr, mask = nullptr;
    {
        SelectedBitmap maskBits(screen, cx, cy);
        SelectedBitmap imageBits(screen, cx, cy);
        if (maskBits.Ok() && imageBits.Ok()) {
            DrawIconEx(maskBits.dc, 0, 0, icon, cx, cy, 0, nullptr, DI_MASK);
            DrawIconEx(imageBits.dc, 0, 0, icon, cx, cy, 0, nullptr, DI_IMAGE);
            image = imageBits.Release();
            if (maskOut) mask = maskBits.Release();
        }
    } // both bitmaps are deselected here; a mask nobody wants is deleted
    ReleaseDC(window, screen);
    if (image && maskOut) *maskOut = mask;
    return image;
}

BOOL InsertWithIcon(HWND window, HMENU menu, const char* record, MENUITEMINFOA* item) {
    char copy[kRecordBufferSize];
    MenuItemFields fields;
    ParseCopy(record, copy, &fields);
    const char* source = nullptr;
    if (fields.iconPath && *fields.iconPath)
        source = fields.iconPath;
    else if (*fields.target)
        source = fields.target;
    // Index -1 would ask for the file's icon count instead of an icon.
    if (source && fields.iconIndex != -1) {
        bool callerOwns = false;
        HICON icon = AcquireItemIcon(source, fields.iconIndex, &callerOwns);
        if (icon) {
            HBITMAP mask = nullptr;
            HBITMAP image = IconToBitmaps(window, icon, GetSystemMetrics(SM_CXSMICON),
                                          GetSystemMetrics(SM_CYSMICON), &mask);
            if (image) {
                item->hbmpUnchecked = image;
                item->hbmpChecked = mask;
            }
            if (callerOwns) DestroyIcon(icon);
        }
    }
    BOOL inserted = InsertMenuItemA(menu, 0, TRUE, item);
    if (!inserted) DeleteItemBitmaps(item);
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
    char* data = CopyItemData(record);
    if (!data) return FALSE;
    item.dwItemData = reinterpret_cast<ULONG_PTR>(data);
    if (InsertMenuItemA(menu, 0, TRUE, &item)) return TRUE;
    FreeItemData(data);
    return FALSE;
}

BOOL InsertLauncherItem(HWND window, HMENU menu, const char* text, const char* record) {
    char* data = CopyItemData(record);
    if (!data) return FALSE;
    MENUITEMINFOA item = {};
    item.cbSize = QUORIL_MENUITEMINFO_SIZE;
    item.fMask = MIIM_STATE | MIIM_ID | MIIM_CHECKMARKS | MIIM_TYPE | MIIM_DATA;
    item.fType = MFT_STRING;
    item.dwItemData = reinterpret_cast<ULONG_PTR>(data);
    item.dwTypeData = const_cast<char*>(text);
    item.cch = static_cast<UINT>(strlen(text));
    item.wID = NextItemId(menu);
    if (!InsertWithIcon(window, menu, record, &item)) {
        FreeItemData(data);
        return FALSE;
    }
    InsertItemSeparator(menu, record);
    return TRUE;
}

BOOL InsertSubmenuItem(HKEY subkey, HWND window, HMENU menu, HMENU submenu, const char* keyName) {
    char record[kRecordBufferSize];
    bool hasRecord = ReadRecordValue(subkey, nullptr, record) && record[0];
    MENUITEMINFOA item = {};
    item.cbSize = QUORIL_MENUITEMINFO_SIZE;
    item.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE;
    item.fType = MFT_STRING;
    item.hSubMenu = submenu;
    item.dwTypeData = const_cast<char*>(keyName);
    item.cch = static_cast<UINT>(strlen(keyName));
    item.wID = NextItemId(submenu);
    BOOL inserted;
    if (hasRecord) {
        char* data = CopyItemData(record);
        if (!data) return FALSE;
        item.fMask |= MIIM_CHECKMARKS | MIIM_DATA;
        item.dwItemData = reinterpret_cast<ULONG_PTR>(data);
        inserted = InsertWithIcon(window, menu, record, &item);
        if (!inserted) FreeItemData(data);
    } else {
        inserted = InsertMenuItemA(menu, 0, TRUE, &item);
    }
    if (inserted && hasRecord) InsertItemSeparator(menu, record);
    return inserted;
}
