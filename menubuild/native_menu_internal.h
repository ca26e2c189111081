// Helpers shared by the native menu builder's sources.
#pragma once
#include <windows.h>
#include <stddef.h>
#include <deque>
#include <optional>
#include <string>
#include <unordered_map>
#include "common/gdi_guards.h"
#include "common/handle_guards.h"
#include "menubuild/kept_icons.h"

// Item data of native items: a zero-terminated copy on the process heap, freed
// with FreeItemData when its item goes (DestroyMenuTree) or was never inserted.
char* CopyItemData(const char* text);
void FreeItemData(void* data);
struct ItemDataFreer {
    static void Close(char* data) { FreeItemData(data); }
};
typedef ScopedHandle<char*, ItemDataFreer> OwnedItemData;

// Size of MENUITEMINFOA without its final hbmpItem member, as every item is
// written and read with it.
#define QUORIL_MENUITEMINFO_SIZE ((UINT)offsetof(MENUITEMINFOA, hbmpItem))

struct StoredKey;

// The builders over a key as read already: what FillMenuFromKey,
// AddSubmenuItems and AddLauncherItems do over an open key.
int FillMenuFromStore(HWND window, HMENU menu, const StoredKey& key);
int AddStoredSubmenuItems(HWND window, HMENU menu, const StoredKey& key);
int AddStoredLauncherItems(HWND window, HMENU menu, const StoredKey& key);
// InsertSubmenuItem with the submenu's record (null: none, or empty).
BOOL InsertSubmenuItemWithRecord(HWND window, HMENU menu, HMENU submenu, const char* keyName,
                                 const char* record);

// The icon source of `record`: its icon path, else its target; null when it
// names none. `copy` (kRecordBufferSize bytes) holds the parsed record.
const char* IconSourceOf(const char* record, char* copy, int* index);

// Command id of the next item counted in `menu`: its item count times 256
// plus the low byte of its handle.
UINT NextItemId(HMENU menu);

// A top-down 32-bit DIB description of `width` x `height` pixels.
BITMAPINFO TopDownDibInfo(int width, int height);

// One surface of cx x cy pixels, compatible with a window's DC, on which the
// items' icons are drawn: a memory DC with a 32-bit DIB section selected.
struct IconSurface {
    IconSurface(HWND window, int width, int height);
    bool Ready() const { return bits != nullptr; }
    int cx, cy;
    WindowDc windowDc;
    OwnedDc drawDc;
    OwnedBitmap drawBitmap;
    DWORD* bits = nullptr;   // the pixels of drawBitmap, null when it cannot be used
    SelectedObject selected; // goes first: the bitmap is deselected before it is deleted
    int displayBits;         // bits per pixel of the window's DC
};

// While one of these lives (BuildRootMenu keeps one for the whole build), the
// icon of each distinct source and index is looked up only once: in the icons
// kept between builds when its file is unchanged, else read from the file
// (and kept, when the file is named by a full path and was not written just
// now). The items' bitmaps for `window` are made from those pixels with the
// help of one surface made on first use, instead of a device context and two
// selections per item. What the build read for itself and the surface go when
// it ends; the items' bitmaps made from them stay.
struct BuildIconScope {
    BuildIconScope(HWND window, HINSTANCE module);
    ~BuildIconScope();
    BuildIconScope(const BuildIconScope&) = delete;
    BuildIconScope& operator=(const BuildIconScope&) = delete;
    BuildIconScope* previous;
    HWND window;
    HINSTANCE module; // handed to ExtractIconA
    // "source|index" -> the icon's pixels for this build (null: no icon)
    std::unordered_map<std::string, const IconPixels*> icons;
    std::deque<IconPixels> ownIcons; // read for this build only
    std::optional<IconSurface> surface;
    bool surfaceFailed = false;
};

// Looks up, within the running build scope, the icon of every item that the
// menu built from `tree` shows: first of all the build's work, so that it can
// be told apart from building the native tree.
void LookUpIcons(const StoredKey& tree);

// The bitmaps of icon `index` of `source`, cx x cy, compatible with
// `window`'s DC: the image, with the mask through `maskOut`; null (and the
// mask output untouched) when there is no such icon or the bitmaps cannot be
// made. Within a build scope for `window` the icon comes from the scope.
HBITMAP MakeItemIconBitmaps(HWND window, const char* source, int index, int cx, int cy,
                            HBITMAP* maskOut);

// IconToBitmaps on the surface of the build scope for `window`; null when no
// scope applies or its surface cannot be made (the caller then takes the
// general way). The mask output is set only on success.
HBITMAP IconToBitmapsInScope(HWND window, HICON icon, int cx, int cy, HBITMAP* maskOut);
