// Helpers shared by the native menu builder's sources.
#pragma once
#include <windows.h>
#include <stddef.h>
#include <string>
#include <unordered_map>

// Item data of native items: a zero-terminated copy on the process heap, freed
// with FreeItemData when its item goes (DestroyMenuTree) or was never inserted.
char* CopyItemData(const char* text);
void FreeItemData(void* data);

// Size of MENUITEMINFOA without its final hbmpItem member, as every item is
// written and read with it.
#define QUORIL_MENUITEMINFO_SIZE ((UINT)offsetof(MENUITEMINFOA, hbmpItem))

// Command id of the next item counted in `menu`: its item count times 256
// plus the low byte of its handle.
UINT NextItemId(HMENU menu);

// While one of these lives (BuildRootMenu keeps one for the whole build), the
// icon of each distinct source and index is read from its file only once,
// and a source without that icon is not asked again; and the items' bitmaps
// for `window` are drawn on one surface made on first use, instead of a
// device context and two selections per item. The icons and the surface go
// when it ends; the items' bitmaps made from them stay.
struct BuildIconScope {
    explicit BuildIconScope(HWND window);
    ~BuildIconScope();
    BuildIconScope(const BuildIconScope&) = delete;
    BuildIconScope& operator=(const BuildIconScope&) = delete;
    BuildIconScope* previous;
    std::unordered_map<std::string, HICON> icons; // "source|index" -> icon or null
    HWND window;
    HDC windowDc = nullptr;       // the window's DC, held for the build
    HDC drawDc = nullptr;         // memory DC with drawBitmap selected
    HBITMAP drawBitmap = nullptr; // 32-bit top-down DIB section of cx x cy
    HGDIOBJ previousBitmap = nullptr;
    DWORD* drawBits = nullptr;
    int cx = 0, cy = 0;
    bool surfaceFailed = false;
};

// Icon `index` of the file `source`, or null when there is none. Outside a
// build scope the icon is fresh and *callerOwns is set: the caller destroys
// it. Within one the scope owns it.
HICON AcquireItemIcon(const char* source, int index, bool* callerOwns);

// IconToBitmaps on the surface of the build scope for `window`; null when no
// scope applies or its surface cannot be made (the caller then takes the
// general way). The mask output is set only on success.
HBITMAP IconToBitmapsInScope(HWND window, HICON icon, int cx, int cy, HBITMAP* maskOut);
