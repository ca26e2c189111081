// The icons of the native items: looked up once per build and kept between
// builds (see native_build.h), under the file's full path (a bare name as the
// search path finds it on each build), for as long as the file keeps its size
// and last-write time. Items still get bitmaps of their own, made from those
// pixels.
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <utility>
#include "common/handle_guards.h"
#include "common/icon_file.h"
#include "menubuild/native_build.h"
#include "menubuild/native_menu.h"
#include "menubuild/press_context.h"
#include "store/stored_menu.h"

namespace {
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

// Icon `index` of `source` for drawing at cx x cy. At 16 x 16 (96 DPI) it is the
// file's large icon, as the menus have always shown it; at any other DPI the
// file's icon nearest to that size, scaled once here if the file has no icon
// of that size, so that it is not an icon of another size stretched.
HICON ReadIcon(HINSTANCE module, const char* source, int index, int cx, int cy) {
    if (cx == MenuGeometry().iconSize && cy == cx) return ExtractIconOrNull(module, source, index);
    HICON icon = nullptr;
    UINT id = 0;
    const UINT read = PrivateExtractIconsA(source, index, cx, cy, &icon, &id, 1, 0);
    if (read == 0 || read == 0xFFFFFFFF) return nullptr;
    return icon;
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

IconSurface::IconSurface(HWND window, int width, int height, PressDisplay& display)
    : cx(width), cy(height), windowDc(window),
      drawDc(windowDc.Get() ? CreateCompatibleDC(windowDc.Get()) : nullptr),
      bits(drawDc ? static_cast<DWORD*>(
                        CreateDibSurface(windowDc.Get(), width, height, drawBitmap.Put()))
                  : nullptr),
      selected(drawDc.Get(), drawBitmap.Get()),
      displayBits(windowDc.Get() ? display.Depth(windowDc.Get()) : 0) {
    if (!selected.Selected()) bits = nullptr;
}

NativeBuild::NativeBuild(PressContext& press, HWND window) : m_press(press), m_window(window) {
    m_press.cache.icons.BeginUse();
}

bool NativeBuild::PrepareSurface(int cx, int cy) {
    if (m_surface) return m_surface->cx == cx && m_surface->cy == cy;
    if (m_surfaceFailed) return false;
    m_surface.emplace(m_window, cx, cy, m_press.display);
    if (m_surface->Ready()) return true;
    m_surface.reset();
    m_surfaceFailed = true;
    return false;
}

bool NativeBuild::ReadIconPixels(const char* source, int index, int cx, int cy,
                                 IconPixels* pixels) {
    pixels->cx = cx;
    pixels->cy = cy;
    OwnedIcon icon(ReadIcon(m_press.module, source, index, cx, cy));
    if (!icon) return true; // no surface is made for a menu without icons
    if (!PrepareSurface(cx, cy)) return false;
    DrawPixels(*m_surface, icon.Get(), DI_MASK, &pixels->mask);
    DrawPixels(*m_surface, icon.Get(), DI_IMAGE, &pixels->image);
    return true;
}

const IconPixels* NativeBuild::Pixels(const char* source, int index, int cx, int cy, bool* ready) {
    *ready = true;
    char indexText[16];
    snprintf(indexText, sizeof indexText, "|%d", index);
    std::string key = std::string(source) + indexText;
    auto found = m_icons.find(key);
    if (found != m_icons.end()) return found->second;

    KeptIcons& kept = m_press.cache.icons;
    const IconPixels* pixels = nullptr;
    IconFileStamp stamp;
    char searched[MAX_PATH];
    const char* file = FileOfIconSource(source, searched);
    const bool fullPath = IsFullPath(file);
    // A full path to nothing has no icon; nothing needs to be read to know.
    if (!fullPath || StampOf(file, &stamp)) {
        const bool keep = fullPath && Settled(stamp);
        if (keep) pixels = kept.Find(file, index, stamp, cx, cy);
        if (!pixels) {
            IconPixels read;
            if (!ReadIconPixels(file, index, cx, cy, &read)) {
                *ready = false;
                return nullptr;
            }
            if (keep) pixels = kept.Keep(file, index, stamp, std::move(read));
            if (!pixels) pixels = &m_ownIcons.emplace_back(std::move(read));
        }
        if (!pixels->Present()) pixels = nullptr;
    }
    m_icons.emplace(std::move(key), pixels);
    return pixels;
}

HBITMAP NativeBuild::ItemIconBitmaps(const char* source, int index, int cx, int cy,
                                     HBITMAP* maskOut) {
    bool ready = false;
    const IconPixels* pixels = Pixels(source, index, cx, cy, &ready);
    if (ready && !pixels) return nullptr;
    // Kept pixels may come without the surface having been made yet.
    if (ready && PrepareSurface(cx, cy)) return BitmapsOfPixels(*m_surface, *pixels, maskOut);
    // The general way: the icon read afresh and drawn on the window's DC.
    OwnedIcon icon(ReadIcon(m_press.module, source, index, cx, cy));
    return icon ? IconToBitmaps(m_window, icon.Get(), cx, cy, maskOut) : nullptr;
}

void NativeBuild::LookUpIconOf(const char* record, int cx, int cy) {
    char copy[kRecordBufferSize];
    int index = 0;
    bool ready = false;
    if (const char* source = IconSourceOf(record, copy, &index))
        Pixels(source, index, cx, cy, &ready);
}

void NativeBuild::LookUpIconsOf(const StoredKey& key, int cx, int cy) {
    char record[kRecordBufferSize];
    for (const StoredKey& subkey : key.subkeys) {
        if (!subkey.exact || subkey.ansiName.empty()) continue; // not shown
        if (subkey.hasRecord && StoredAnsiRecord(subkey.record, record) && record[0])
            LookUpIconOf(record, cx, cy);
        LookUpIconsOf(subkey, cx, cy);
    }
    for (const StoredValue& value : key.values) {
        if (value.exact && !value.ansiName.empty() && StoredAnsiRecord(value, record))
            LookUpIconOf(record, cx, cy);
    }
}

void NativeBuild::LookUpIcons(const StoredKey& tree) {
    LookUpIconsOf(tree, IconSize(), IconSize());
}

int NativeBuild::IconSize() const {
    return m_press.IconSize();
}
