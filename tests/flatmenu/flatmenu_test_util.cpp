#include "tests/flatmenu/flatmenu_test_util.h"
#include <gtest/gtest.h>

namespace fmtest {

HINSTANCE Instance() {
    return GetModuleHandleA(nullptr);
}

qtest::ModalOutcome TrackDriven(CFlatPopupMenu& menu, int x, int y,
                                const std::function<void()>& steps, HWND notifyWindow) {
    return qtest::DriveModal(
        [&](int* contextCommand) {
            return menu.Track(x, y, notifyWindow, true, false, contextCommand);
        },
        steps, "the tracked menu");
}

POINT Origin(const CFlatPopupMenu& menu) {
    RECT r = {};
    GetWindowRect(menu.Window(), &r);
    return POINT{r.left, r.top};
}

POINT EntryPoint(const CFlatPopupMenu& menu, size_t index, int dx, int dy) {
    RECT r = {};
    GetWindowRect(menu.Window(), &r);
    const FlatMenuItem* item = menu.Rows().Item(static_cast<int>(index));
    POINT p = {r.left + dx, r.top + (item ? item->top : 0) + dy};
    return p;
}

void MoveToEntry(const CFlatPopupMenu& menu, size_t index, int dx, int dy) {
    POINT p = EntryPoint(menu, index, dx, dy);
    qtest::MoveMouse(p.x, p.y);
}

bool HoverEntry(const CFlatPopupMenu& menu, size_t index, int timeoutMs) {
    // The first move into another menu window only hands the capture over,
    // so move again (to a slightly different point) until the entry is hot.
    const DWORD start = GetTickCount();
    for (int attempt = 0;; ++attempt) {
        MoveToEntry(menu, index, 30 + (attempt % 2) * 3);
        qtest::SyncInput();
        if (menu.Rows().HotIndex() == static_cast<int>(index)) return true;
        if (static_cast<int>(GetTickCount() - start) > timeoutMs) return false;
    }
}

bool StillShownAfterInput(const CFlatPopupMenu& menu) {
    EXPECT_TRUE(qtest::SyncInput()) << "the tracking thread did not take the input";
    return menu.Window() != nullptr;
}

void HoverByMessage(const CFlatPopupMenu& menu, size_t index, int x) {
    const FlatMenuItem* item = menu.Rows().Item(static_cast<int>(index));
    SendMessageA(menu.Window(), WM_MOUSEMOVE, 0, MAKELPARAM(x, item->top + item->height / 2));
}

HBITMAP MakeStrip(const std::vector<COLORREF>& colours) {
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    HDC screen = GetDC(nullptr);
    HBITMAP strip = CreateCompatibleBitmap(screen, cx * static_cast<int>(colours.size()), cy);
    ReleaseDC(nullptr, screen);
    for (size_t i = 0; i < colours.size(); ++i) {
        RECT r = {static_cast<int>(i) * cx, 0, static_cast<int>(i + 1) * cx, cy};
        FillBitmapRect(strip, r, colours[i]);
    }
    return strip;
}

void FillBitmapRect(HBITMAP bitmap, const RECT& rect, COLORREF colour) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
}

COLORREF BitmapPixel(HBITMAP bitmap, int x, int y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
}

} // namespace fmtest
