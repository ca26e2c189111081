// The icons of one build of the native menu tree. A menu often shows the same
// icon many times (one program in several places, many icons of one library
// file), and reading an icon from a file is the slowest step of a build: so
// while BuildRootMenu runs, each distinct (source, index) is read once, and a
// source that yields no icon is not asked again. Items still get bitmaps of
// their own, drawn on one surface that serves the whole build; the icons
// themselves are destroyed when the build ends.
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>
#include "menubuild/native_menu_internal.h"
#include "plugin/module.h"

namespace {
BuildIconScope* g_activeScope = nullptr;

HICON ExtractFromFile(const char* source, int index) {
    HICON icon = ExtractIconA(ModuleInstance(), source, static_cast<UINT>(index));
    // 1 means the file holds no icons; either way there is none to show.
    return icon == reinterpret_cast<HICON>(1) ? nullptr : icon;
}
} // namespace

BuildIconScope::BuildIconScope(HWND forWindow) : previous(g_activeScope), window(forWindow) {
    g_activeScope = this;
}

BuildIconScope::~BuildIconScope() {
    for (const auto& entry : icons) {
        if (entry.second) DestroyIcon(entry.second);
    }
    if (previousBitmap) SelectObject(drawDc, previousBitmap);
    if (drawBitmap) DeleteObject(drawBitmap);
    if (drawDc) DeleteDC(drawDc);
    if (windowDc) ReleaseDC(window, windowDc);
    g_activeScope = previous;
}

HICON AcquireItemIcon(const char* source, int index, bool* callerOwns) {
    *callerOwns = false;
    if (!g_activeScope) {
        *callerOwns = true;
        return ExtractFromFile(source, index);
    }
    char indexText[16];
    snprintf(indexText, sizeof indexText, "|%d", index);
    std::string key = std::string(source) + indexText;
    auto found = g_activeScope->icons.find(key);
    if (found != g_activeScope->icons.end()) return found->second;
    HICON icon = ExtractFromFile(source, index);
    g_activeScope->icons.emplace(std::move(key), icon);
    return icon;
}

namespace {
// A top-down 32-bit DIB description of cx x cy pixels.
BITMAPINFO SurfaceInfo(int cx, int cy) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = -cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// Makes the scope's surface on first use; false when it cannot serve cx x cy.
bool PrepareSurface(BuildIconScope* scope, int cx, int cy) {
    if (scope->drawDc && scope->previousBitmap) return scope->cx == cx && scope->cy == cy;
    if (scope->surfaceFailed) return false;
    scope->surfaceFailed = true; // until everything below has worked
    scope->windowDc = GetDC(scope->window);
    if (!scope->windowDc) return false;
    scope->drawDc = CreateCompatibleDC(scope->windowDc);
    if (!scope->drawDc) return false;
    BITMAPINFO info = SurfaceInfo(cx, cy);
    void* bits = nullptr;
    scope->drawBitmap = CreateDIBSection(scope->windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!scope->drawBitmap || !bits) return false;
    scope->previousBitmap = SelectObject(scope->drawDc, scope->drawBitmap);
    if (!scope->previousBitmap) return false;
    scope->drawBits = static_cast<DWORD*>(bits);
    scope->cx = cx;
    scope->cy = cy;
    scope->surfaceFailed = false;
    return true;
}

// Draws one part of the icon on the cleared surface (as on a fresh, black
// bitmap) and copies it into a new bitmap compatible with the window's DC.
HBITMAP DrawPart(BuildIconScope* scope, HICON icon, UINT part) {
    const int cx = scope->cx, cy = scope->cy;
    memset(scope->drawBits, 0, sizeof(DWORD) * cx * cy);
    DrawIconEx(scope->drawDc, 0, 0, icon, cx, cy, 0, nullptr, part);
    GdiFlush();
    HBITMAP bitmap = CreateCompatibleBitmap(scope->windowDc, cx, cy);
    if (!bitmap) return nullptr;
    BITMAPINFO info = SurfaceInfo(cx, cy);
    if (SetDIBits(scope->windowDc, bitmap, 0, cy, scope->drawBits, &info, DIB_RGB_COLORS) != cy) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}
} // namespace

HBITMAP IconToBitmapsInScope(HWND window, HICON icon, int cx, int cy, HBITMAP* maskOut) {
    BuildIconScope* scope = g_activeScope;
    if (!scope || scope->window != window || !PrepareSurface(scope, cx, cy)) return nullptr;
    HBITMAP mask = DrawPart(scope, icon, DI_MASK);
    HBITMAP image = mask ? DrawPart(scope, icon, DI_IMAGE) : nullptr;
    if (!image) {
        if (mask) DeleteObject(mask);
        return nullptr;
    }
    if (maskOut)
        *maskOut = mask;
    else
        DeleteObject(mask);
    return image;
}
