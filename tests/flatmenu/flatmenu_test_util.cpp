#include "tests/flatmenu/flatmenu_test_util.h"
#include <gtest/gtest.h>
#include <stdio.h>

namespace fmtest {

HINSTANCE Instance() {
    return GetModuleHandleA(nullptr);
}

std::vector<HWND> MenuWindows() {
    return qtest::FindWindowsOfClass("fpmMenuClass");
}

TrackOutcome TrackDriven(CFlatPopupMenu& menu, int x, int y, const std::function<void()>& steps,
                         HWND notifyWindow) {
    TrackOutcome outcome;
    qtest::Watchdog watchdog("the tracked menu");
    const int failures = qtest::FailureCount();
    qtest::InputThread input([&] {
        steps();
        // A failed step leaves the menus as they are: close them now.
        if (qtest::FailureCount() > failures) watchdog.Fire();
    });
    outcome.result = menu.Track(x, y, notifyWindow, true, false, &outcome.contextCommand);
    watchdog.Disarm();
    input.Join();
    outcome.rescued = watchdog.Fired();
    qtest::ReleaseAllButtons();
    qtest::PumpMessages();
    return outcome;
}

bool WaitShown(const CFlatPopupMenu& menu, int timeoutMs) {
    return qtest::PollUntil(
        [&] {
            // The menu has its window once Track has shown it and taken the
            // capture (or not).
            HWND w = menu.Window();
            return w && IsWindowVisible(w);
        },
        timeoutMs);
}

bool WaitGone(const CFlatPopupMenu& menu, int timeoutMs) {
    return qtest::PollUntil([&] { return menu.Window() == nullptr; }, timeoutMs);
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

HWND CaptureOf(DWORD threadId) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(threadId, &info)) return nullptr;
    return info.hwndCapture;
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

int CountPixels(HWND window, const RECT& rect, COLORREF colour) {
    HDC dc = GetDC(window);
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            if (GetPixel(dc, x, y) == colour) ++count;
    ReleaseDC(window, dc);
    return count;
}

int CountPixelsOtherThan(HWND window, const RECT& rect, COLORREF colour) {
    const int all = (rect.right - rect.left) * (rect.bottom - rect.top);
    return all - CountPixels(window, rect, colour);
}

bool SaveScreen(const char* path) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = w;
    header.biHeight = h;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP dib = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS,
                                   &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD stride = ((w * 3 + 3) / 4) * 4, imageSize = stride * h;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + imageSize;
    header.biSizeImage = imageSize;
    bool ok = false;
    if (FILE* f = fopen(path, "wb")) {
        ok = fwrite(&file, sizeof file, 1, f) == 1 && fwrite(&header, sizeof header, 1, f) == 1 &&
             fwrite(bits, imageSize, 1, f) == 1;
        fclose(f);
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(dib);
    ReleaseDC(nullptr, screen);
    return ok;
}

} // namespace fmtest
