// The four entry points the host calls.
#include "plugin/exports.h"
#include "plugin/module.h"

namespace {
// Selects a bitmap into a DC for the guard's lifetime.
struct SelectedBitmap {
    HDC dc;
    HGDIOBJ previous;
    SelectedBitmap(HDC d, HBITMAP b) : dc(d), previous(SelectObject(d, b)) {}
    ~SelectedBitmap() { SelectObject(dc, previous); }
};
} // namespace

int WINAPI WBDraw(DWORD, HDC dc, const RECT* rc, DWORD, DWORD) {
    HBITMAP face = ButtonFace();
    if (!face || !rc) return 1;
    HDC memory = CreateCompatibleDC(dc);
    if (!memory) return 1;
    {
        SelectedBitmap selected(memory, face);
        SIZE size = ButtonFaceSize();
        StretchBlt(dc, rc->left, rc->top, rc->right - rc->left, rc->bottom - rc->top, memory, 0,
                   0, size.cx, size.cy, SRCCOPY);
    }
    DeleteDC(memory);
    return 1;
}

int WINAPI WBQuery(DWORD) { return 0; }

int WINAPI WBRelease(DWORD, DWORD, DWORD, DWORD) { return 1; }
