// The four entry points the host calls.
#include "plugin/exports.h"
#include "common/gdi_guards.h"
#include "plugin/module.h"

int WINAPI WBDraw(DWORD, HDC dc, const RECT* rc, DWORD, DWORD) {
    HBITMAP face = ButtonFace();
    if (!face || !rc) return 1;
    OwnedDc memory(CreateCompatibleDC(dc));
    if (!memory) return 1;
    SelectedObject selected(memory.Get(), face);
    SIZE size = ButtonFaceSize();
    StretchBlt(dc, rc->left, rc->top, rc->right - rc->left, rc->bottom - rc->top, memory.Get(), 0,
               0, size.cx, size.cy, SRCCOPY);
    return 1;
}

int WINAPI WBQuery(DWORD) {
    return 0;
}

int WINAPI WBRelease(DWORD, DWORD, DWORD, DWORD) {
    return 1;
}
