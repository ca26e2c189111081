// The four entry points the host calls.
#include "plugin/exports.h"
#include "common/gdi_guards.h"
#include "plugin/module.h"

namespace {
void DrawFace(HDC dc, const RECT* rc) {
    const PluginModule& plugin = ThePlugin();
    HBITMAP face = plugin.ButtonFace();
    if (!face || !rc) return;
    OwnedDc memory(CreateCompatibleDC(dc));
    if (!memory) return;
    SelectedObject selected(memory.Get(), face);
    SIZE size = plugin.ButtonFaceSize();
    StretchBlt(dc, rc->left, rc->top, rc->right - rc->left, rc->bottom - rc->top, memory.Get(), 0,
               0, size.cx, size.cy, SRCCOPY);
}
} // namespace

int WINAPI WBDraw(DWORD, HDC dc, const RECT* rc, DWORD, DWORD) {
    try { // nothing may unwind into the host
        DrawFace(dc, rc);
    } catch (...) {
    }
    return 1;
}

int WINAPI WBQuery(DWORD) {
    return 0;
}

int WINAPI WBRelease(DWORD, DWORD, DWORD, DWORD) {
    // What was kept for later presses is given up with the plug-in.
    ThePlugin().Cache().Release();
    return 1;
}
