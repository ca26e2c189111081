// The icons of one build of the native menu tree. A menu often shows the same
// icon many times (one program in several places, many icons of one library
// file), and reading an icon from a file is the slowest step of a build: so
// while BuildRootMenu runs, each distinct (source, index) is read once, and a
// source that yields no icon is not asked again. Items still get bitmaps of
// their own, drawn on one surface that serves the whole build; the icons
// themselves are destroyed when the build ends.
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <utility>
#include "common/icon_file.h"
#include "menubuild/native_menu_internal.h"

namespace {
BuildIconScope* g_activeScope = nullptr;

void* CreateDibSurface(HDC dc, int cx, int cy, HBITMAP* bitmap) {
    BITMAPINFO info = TopDownDibInfo(cx, cy);
    void* bits = nullptr;
    *bitmap = dc ? CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    return *bitmap ? bits : nullptr;
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
      selected(drawDc.Get(), drawBitmap.Get()) {
    if (!selected.Selected()) bits = nullptr;
}

BuildIconScope::BuildIconScope(HWND forWindow, HINSTANCE forModule)
    : previous(g_activeScope), window(forWindow), module(forModule) {
    g_activeScope = this;
}

BuildIconScope::~BuildIconScope() {
    g_activeScope = previous;
}

HICON AcquireItemIcon(const char* source, int index, bool* callerOwns) {
    *callerOwns = false;
    if (!g_activeScope) {
        *callerOwns = true;
        return ExtractIconOrNull(nullptr, source, index);
    }
    char indexText[16];
    snprintf(indexText, sizeof indexText, "|%d", index);
    std::string key = std::string(source) + indexText;
    auto found = g_activeScope->icons.find(key);
    if (found != g_activeScope->icons.end()) return found->second.Get();
    OwnedIcon icon(ExtractIconOrNull(g_activeScope->module, source, index));
    return g_activeScope->icons.emplace(std::move(key), std::move(icon)).first->second.Get();
}

namespace {
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
// bitmap) and copies it into a new bitmap compatible with the window's DC.
HBITMAP DrawPart(const IconSurface& surface, HICON icon, UINT part) {
    const int cx = surface.cx, cy = surface.cy;
    memset(surface.bits, 0, sizeof(DWORD) * cx * cy);
    DrawIconEx(surface.drawDc.Get(), 0, 0, icon, cx, cy, 0, nullptr, part);
    GdiFlush();
    OwnedBitmap bitmap(CreateCompatibleBitmap(surface.windowDc.Get(), cx, cy));
    BITMAPINFO info = TopDownDibInfo(cx, cy);
    if (!bitmap || SetDIBits(surface.windowDc.Get(), bitmap.Get(), 0, cy, surface.bits, &info,
                             DIB_RGB_COLORS) != cy)
        return nullptr;
    return bitmap.Release();
}
} // namespace

HBITMAP IconToBitmapsInScope(HWND window, HICON icon, int cx, int cy, HBITMAP* maskOut) {
    BuildIconScope* scope = g_activeScope;
    if (!scope || scope->window != window || !PrepareSurface(scope, cx, cy)) return nullptr;
    OwnedBitmap mask(DrawPart(*scope->surface, icon, DI_MASK));
    OwnedBitmap image(mask ? DrawPart(*scope->surface, icon, DI_IMAGE) : nullptr);
    if (!image) return nullptr;
    if (maskOut) *maskOut = mask.Release();
    return image.Release();
}
