// The icons of the native items. Reading an icon from a file is the slowest
// step of a build, and a menu often shows the same icon many times (one
// program in several places, many icons of one library file) and is opened
// again and again unchanged: so while BuildRootMenu runs, each distinct
// (source, index) is looked up once, and the pixels of an icon read from a
// file are kept for later builds (kept_icons.h), under the file's full path
// (a bare name as the search path finds it on each build), for as long as
// the file keeps its size and last-write time. Items still get
// bitmaps of their own, made from those pixels.
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <utility>
#include "common/icon_file.h"
#include "menubuild/native_menu.h"
#include "menubuild/native_menu_internal.h"
#include "menubuild/press_display.h"
#include "store/stored_menu.h"

namespace {
BuildIconScope* g_activeScope = nullptr;

// A file written less than this long ago (in 100 ns units) may still be
// written again within the resolution of its time stamp: its icon is read
// afresh by every build until it has settled.
const ULONGLONG kSettleTime = 3ULL * 10000000ULL;

void* CreateDibSurface(HDC dc, int cx, int cy, HBITMAP* bitmap) {
    BITMAPINFO info = TopDownDibInfo(cx, cy);
    void* bits = nullptr;
    *bitmap = dc ? CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    return *bitmap ? bits : nullptr;
}

ULONGLONG Ticks(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// A path that names one file whatever the current directory and search path
// are: "X:\..." or "\\server\...". Only such files' icons are kept.
bool IsFullPath(const char* path) {
    const bool drive = ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
                       path[1] == ':' && (path[2] == '\\' || path[2] == '/');
    return drive || (path[0] == '\\' && path[1] == '\\');
}

// The file an icon source names: a full path as it is; any other name as
// the search path finds it (the file ExtractIcon would open), in `found`
// (MAX_PATH characters). A name the search path does not find is left to
// ExtractIcon as it is.
const char* FileOfIconSource(const char* source, char* found) {
    if (IsFullPath(source)) return source;
    const DWORD length = SearchPathA(nullptr, source, nullptr, MAX_PATH, found, nullptr);
    return length > 0 && length < MAX_PATH && IsFullPath(found) ? found : source;
}

// False when there is no such file or folder.
bool StampOf(const char* path, IconFileStamp* stamp) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return false;
    stamp->size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp->written = data.ftLastWriteTime;
    return true;
}

bool Settled(const IconFileStamp& stamp) {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return Ticks(stamp.written) + kSettleTime <= Ticks(now);
}

// Makes the scope's surface on first use; false when it cannot serve cx x cy.
bool PrepareSurface(BuildIconScope* scope, int cx, int cy) {
    if (scope->surface) return scope->surface->cx == cx && scope->surface->cy == cy;
    if (scope->surfaceFailed) return false;
    scope->surface.emplace(scope->window, cx, cy);
    if (scope->surface->Ready()) return true;
    scope->surface.reset();
    scope->surfaceFailed = true;
    return false;
}

// Draws one part of the icon on the cleared surface (as on a fresh, black
// bitmap) and takes its pixels.
void DrawPixels(const IconSurface& surface, HICON icon, UINT part, std::vector<DWORD>* pixels) {
    const size_t count = static_cast<size_t>(surface.cx) * surface.cy;
    memset(surface.bits, 0, sizeof(DWORD) * count);
    DrawIconEx(surface.drawDc.Get(), 0, 0, icon, surface.cx, surface.cy, 0, nullptr, part);
    GdiFlush();
    pixels->assign(surface.bits, surface.bits + count);
}

// A new bitmap compatible with the window's DC holding `pixels`. On a 32-bit
// display the pixels are already in the bitmap's own format: one call makes
// and fills it, instead of making it and converting them into it.
HBITMAP BitmapOfPixels(const IconSurface& surface, const std::vector<DWORD>& pixels) {
    if (surface.displayBits == 32)
        return CreateBitmap(surface.cx, surface.cy, 1, 32, pixels.data());
    OwnedBitmap bitmap(CreateCompatibleBitmap(surface.windowDc.Get(), surface.cx, surface.cy));
    BITMAPINFO info = TopDownDibInfo(surface.cx, surface.cy);
    if (!bitmap || SetDIBits(surface.windowDc.Get(), bitmap.Get(), 0, surface.cy, pixels.data(),
                             &info, DIB_RGB_COLORS) != surface.cy)
        return nullptr;
    return bitmap.Release();
}

HBITMAP BitmapsOfPixels(const IconSurface& surface, const IconPixels& pixels, HBITMAP* maskOut) {
    OwnedBitmap mask(BitmapOfPixels(surface, pixels.mask));
    OwnedBitmap image(mask ? BitmapOfPixels(surface, pixels.image) : nullptr);
    if (!image) return nullptr;
    if (maskOut) *maskOut = mask.Release(); // a mask nobody wants is deleted
    return image.Release();
}

// Reads icon `index` of `source` into `pixels` (none when there is no such
// icon); false when the scope cannot draw it.
bool ReadIconPixels(BuildIconScope* scope, const char* source, int index, int cx, int cy,
                    IconPixels* pixels) {
    pixels->cx = cx;
    pixels->cy = cy;
    OwnedIcon icon(ExtractIconOrNull(scope->module, source, index));
    if (!icon) return true; // no surface is made for a menu without icons
    if (!PrepareSurface(scope, cx, cy)) return false;
    DrawPixels(*scope->surface, icon.Get(), DI_MASK, &pixels->mask);
    DrawPixels(*scope->surface, icon.Get(), DI_IMAGE, &pixels->image);
    return true;
}

// The pixels of icon `index` of `source` for this build: null when there is
// no such icon. *ready is cleared when the scope cannot make them.
const IconPixels* ScopePixels(BuildIconScope* scope, const char* source, int index, int cx, int cy,
                              bool* ready) {
    *ready = true;
    char indexText[16];
    snprintf(indexText, sizeof indexText, "|%d", index);
    std::string key = std::string(source) + indexText;
    auto found = scope->icons.find(key);
    if (found != scope->icons.end()) return found->second;

    const IconPixels* pixels = nullptr;
    IconFileStamp stamp;
    char searched[MAX_PATH];
    const char* file = FileOfIconSource(source, searched);
    const bool fullPath = IsFullPath(file);
    // A full path to nothing has no icon; nothing needs to be read to know.
    if (!fullPath || StampOf(file, &stamp)) {
        const bool keep = fullPath && Settled(stamp);
        if (keep) pixels = FindKeptIcon(file, index, stamp, cx, cy);
        if (!pixels) {
            IconPixels read;
            if (!ReadIconPixels(scope, file, index, cx, cy, &read)) {
                *ready = false;
                return nullptr;
            }
            if (keep) pixels = KeepIcon(file, index, stamp, std::move(read));
            if (!pixels) pixels = &scope->ownIcons.emplace_back(std::move(read));
        }
        if (!pixels->Present()) pixels = nullptr;
    }
    scope->icons.emplace(std::move(key), pixels);
    return pixels;
}
} // namespace

BITMAPINFO TopDownDibInfo(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

IconSurface::IconSurface(HWND window, int width, int height)
    : cx(width), cy(height), windowDc(window),
      drawDc(windowDc.Get() ? CreateCompatibleDC(windowDc.Get()) : nullptr),
      bits(drawDc ? static_cast<DWORD*>(
                        CreateDibSurface(windowDc.Get(), width, height, drawBitmap.Put()))
                  : nullptr),
      selected(drawDc.Get(), drawBitmap.Get()),
      displayBits(windowDc.Get() ? DisplayDepth(windowDc.Get()) : 0) {
    if (!selected.Selected()) bits = nullptr;
}

BuildIconScope::BuildIconScope(HWND forWindow, HINSTANCE forModule)
    : previous(g_activeScope), window(forWindow), module(forModule) {
    g_activeScope = this;
    BeginIconUse();
}

BuildIconScope::~BuildIconScope() {
    g_activeScope = previous;
}

HBITMAP MakeItemIconBitmaps(HWND window, const char* source, int index, int cx, int cy,
                            HBITMAP* maskOut) {
    BuildIconScope* scope = g_activeScope;
    if (scope && scope->window == window) {
        bool ready = false;
        const IconPixels* pixels = ScopePixels(scope, source, index, cx, cy, &ready);
        if (ready && !pixels) return nullptr;
        // Kept pixels may come without the surface having been made yet.
        if (ready && PrepareSurface(scope, cx, cy))
            return BitmapsOfPixels(*scope->surface, *pixels, maskOut);
    }
    // The general way: the icon read afresh and drawn on the window's DC.
    OwnedIcon icon(ExtractIconOrNull(scope ? scope->module : nullptr, source, index));
    return icon ? IconToBitmaps(window, icon.Get(), cx, cy, maskOut) : nullptr;
}

namespace {
void LookUpIconOf(BuildIconScope* scope, const char* record, int cx, int cy) {
    char copy[kRecordBufferSize];
    int index = 0;
    bool ready = false;
    if (const char* source = IconSourceOf(record, copy, &index))
        ScopePixels(scope, source, index, cx, cy, &ready);
}

void LookUpIconsOf(BuildIconScope* scope, const StoredKey& key, int cx, int cy) {
    char record[kRecordBufferSize];
    for (const StoredKey& subkey : key.subkeys) {
        if (!subkey.exact || subkey.ansiName.empty()) continue; // not shown
        if (subkey.hasRecord && StoredAnsiRecord(subkey.record, record) && record[0])
            LookUpIconOf(scope, record, cx, cy);
        LookUpIconsOf(scope, subkey, cx, cy);
    }
    for (const StoredValue& value : key.values) {
        if (value.exact && !value.ansiName.empty() && StoredAnsiRecord(value, record))
            LookUpIconOf(scope, record, cx, cy);
    }
}
} // namespace

void LookUpIcons(const StoredKey& tree) {
    if (g_activeScope)
        LookUpIconsOf(g_activeScope, tree, GetSystemMetrics(SM_CXSMICON),
                      GetSystemMetrics(SM_CYSMICON));
}

HBITMAP IconToBitmapsInScope(HWND window, HICON icon, int cx, int cy, HBITMAP* maskOut) {
    BuildIconScope* scope = g_activeScope;
    if (!scope || scope->window != window || !PrepareSurface(scope, cx, cy)) return nullptr;
    IconPixels pixels;
    DrawPixels(*scope->surface, icon, DI_MASK, &pixels.mask);
    DrawPixels(*scope->surface, icon, DI_IMAGE, &pixels.image);
    return BitmapsOfPixels(*scope->surface, pixels, maskOut);
}
