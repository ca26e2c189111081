// One build of a native menu tree: the press it serves, the window its
// bitmaps are made for, and the icons it has looked up. Reading an icon from
// a file is the slowest step of a build, and a menu often shows the same icon
// many times and is opened again and again unchanged: so each distinct
// (source, index) is looked up once per build, in the icons kept between
// builds when its file is unchanged, else read from the file (and kept, when
// the file is named by a full path and was not written just now). The items'
// bitmaps are made from those pixels on one surface made on first use.
#pragma once
#include <windows.h>
#include <stddef.h>
#include <deque>
#include <optional>
#include <string>
#include <unordered_map>
#include "common/gdi_guards.h"
#include "common/scoped_handle.h"
#include "menubuild/kept_icons.h"

class PressDisplay;
struct PressContext;
struct StoredKey;

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
    IconSurface(HWND window, int width, int height, PressDisplay& display);
    bool Ready() const { return bits != nullptr; }
    int cx, cy;
    WindowDc windowDc;
    OwnedDc drawDc;
    OwnedBitmap drawBitmap;
    DWORD* bits = nullptr;   // the pixels of drawBitmap, null when it cannot be used
    SelectedObject selected; // goes first: the bitmap is deselected before it is deleted
    int displayBits;         // bits per pixel of the window's DC
};

class NativeBuild {
  public:
    NativeBuild(PressContext& press, HWND window);
    NativeBuild(const NativeBuild&) = delete;
    NativeBuild& operator=(const NativeBuild&) = delete;

    HWND Window() const { return m_window; }
    // The size of the items' icons: the small icons at the press's DPI.
    int IconSize() const;
    // Looks up the icon of every item that the menu built from `tree` shows:
    // first of all the build's work, so that it can be told apart from
    // building the native tree.
    void LookUpIcons(const StoredKey& tree);
    // The bitmaps of icon `index` of `source`, cx x cy, compatible with the
    // window's DC: the image, with the mask through `maskOut`; null (and the
    // mask output untouched) when there is no such icon or the bitmaps cannot
    // be made.
    HBITMAP ItemIconBitmaps(const char* source, int index, int cx, int cy, HBITMAP* maskOut);

  private:
    void LookUpIconsOf(const StoredKey& key, int cx, int cy);
    void LookUpIconOf(const char* record, int cx, int cy);
    // The pixels of icon `index` of `source`: null when there is no such
    // icon. *ready is cleared when the build cannot make them.
    const IconPixels* Pixels(const char* source, int index, int cx, int cy, bool* ready);
    bool ReadIconPixels(const char* source, int index, int cx, int cy, IconPixels* pixels);
    bool PrepareSurface(int cx, int cy);

    PressContext& m_press;
    HWND m_window;
    std::unordered_map<std::string, const IconPixels*> m_icons; // "source|index"
    std::deque<IconPixels> m_ownIcons;                          // read for this build only
    std::optional<IconSurface> m_surface;
    bool m_surfaceFailed = false;
};
