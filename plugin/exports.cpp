// The four entry points the host calls.
#include "plugin/exports.h"
#include "common/gdi_guards.h"
#include "plugin/module.h"

namespace {
void DrawFace(HDC dc, const RECT* rc) {
    HBITMAP face = ButtonFace();
    if (!face || !rc) return;
    OwnedDc memory(CreateCompatibleDC(dc));
    if (!memory) return;
    SelectedObject selected(memory.Get(), face);
    SIZE size = ButtonFaceSize();
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
    return 1;
}
