#include "tests/scrolling/scroll_test_support.h"
#include <stdio.h>
#include <atomic>
#include <gtest/gtest.h>
#include "common/gdi_guards.h"
#include "tests/keyboard/key_test_support.h"
#include "tests/support/test_support.h"

namespace scrolltest {

namespace {
const UINT kSidewaysWheel = 0x020E;
WNDPROC g_hostProcedure = nullptr;
std::atomic<int> g_wheelWhileMenuShown(0);

LRESULT CALLBACK CountingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message == WM_MOUSEWHEEL || message == kSidewaysWheel) && !keytest::MenuWindows().empty())
        ++g_wheelWhileMenuShown;
    return CallWindowProcA(g_hostProcedure, window, message, wParam, lParam);
}
} // namespace

void TurnWheel(int notches) {
    qtest::KeepOnlySentPointerInput();
    const int step = notches < 0 ? -1 : 1;
    for (int i = 0; i != notches; i += step) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.mouseData = static_cast<DWORD>(step * WHEEL_DELTA);
        input.mi.dwFlags = MOUSEEVENTF_WHEEL;
        SendInput(1, &input, sizeof input);
    }
}

int RowsPerNotch() {
    UINT rows = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &rows, 0);
    return static_cast<int>(rows);
}

namespace {
// Absolute input coordinates are 65536ths of the screen, which the system
// scales back rounding down: round up here, so that they land on the pixel.
LONG ToAbsolute(int pixel, int extent) {
    return static_cast<LONG>((static_cast<long long>(pixel) * 65536 + extent - 1) / extent);
}

void MoveExactly(int x, int y) {
    qtest::PlacePointer(x, y);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = ToAbsolute(x, GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = ToAbsolute(y, GetSystemMetrics(SM_CYSCREEN));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
    const bool arrived = keytest::WaitFor([&] {
        POINT now;
        GetCursorPos(&now);
        return now.x == x && now.y == y;
    });
    if (!arrived) ADD_FAILURE() << "the pointer did not reach " << x << "," << y;
}
} // namespace

void GlideTo(int x, int y) {
    MoveExactly(x, y - 2);
    // The first move into another menu only hands it the capture, and two
    // queued moves are merged into one: the last move waits until the menu
    // under the pointer holds the capture.
    const POINT target = {x, y};
    const HWND under = WindowFromPoint(target);
    char className[32] = "";
    GetClassNameA(under, className, sizeof className);
    if (lstrcmpA(className, "fpmMenuClass") == 0) {
        const bool captured = keytest::WaitFor([&] {
            GUITHREADINFO info = {};
            info.cbSize = sizeof info;
            return GetGUIThreadInfo(GetWindowThreadProcessId(under, nullptr), &info) &&
                   info.hwndCapture == under;
        });
        if (!captured) ADD_FAILURE() << "the menu under " << x << "," << y << " took no capture";
    }
    MoveExactly(x, y);
}

HostWheelCount::HostWheelCount(HWND host) : m_host(host) {
    g_wheelWhileMenuShown = 0;
    g_hostProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProcedure)));
}

HostWheelCount::~HostWheelCount() {
    SetWindowLongPtrA(m_host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_hostProcedure));
}

int HostWheelCount::WhileMenuShown() const {
    return g_wheelWhileMenuShown;
}

RECT CurrentWorkArea() {
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

WorkAreaChange::WorkAreaChange(const RECT& workArea) : m_saved(CurrentWorkArea()) {
    RECT wanted = workArea;
    m_changed = SystemParametersInfoA(SPI_SETWORKAREA, 0, &wanted, 0) != FALSE;
}

WorkAreaChange::~WorkAreaChange() {
    SystemParametersInfoA(SPI_SETWORKAREA, 0, &m_saved, 0);
}

Snapshot::Snapshot(HWND window) {
    RECT client = {};
    if (!GetClientRect(window, &client)) return;
    m_width = client.right;
    m_height = client.bottom;
    if (m_width <= 0 || m_height <= 0) return;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = m_width;
    info.bmiHeader.biHeight = -m_height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    WindowDc dc(window);
    OwnedBitmap dib(CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    OwnedDc memory(CreateCompatibleDC(dc.Get()));
    if (!dc.Get() || !dib.Get() || !memory.Get() || !bits) {
        m_width = m_height = 0; // nothing read: no pixels
        return;
    }
    {
        SelectedObject selected(memory.Get(), dib.Get());
        BitBlt(memory.Get(), 0, 0, m_width, m_height, dc.Get(), 0, 0, SRCCOPY);
        GdiFlush();
    }
    const BYTE* p = static_cast<const BYTE*>(bits);
    m_pixels.resize(static_cast<size_t>(m_width) * m_height);
    for (size_t i = 0; i < m_pixels.size(); ++i)
        m_pixels[i] = RGB(p[4 * i + 2], p[4 * i + 1], p[4 * i]);
}

COLORREF Snapshot::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return CLR_INVALID;
    return m_pixels[static_cast<size_t>(y) * m_width + x];
}

std::map<COLORREF, int> Snapshot::Colours(const RECT& rect) const {
    std::map<COLORREF, int> colours;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            ++colours[Pixel(x, y)];
    return colours;
}

int Snapshot::CountOtherThan(const RECT& rect, COLORREF colour) const {
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            count += Pixel(x, y) != colour;
    return count;
}

bool Snapshot::Save(const std::string& path) const {
    const DWORD stride = ((m_width * 3 + 3) / 4) * 4;
    std::vector<BYTE> rows(static_cast<size_t>(stride) * m_height, 0);
    for (int y = 0; y < m_height; ++y) {
        BYTE* row = &rows[static_cast<size_t>(m_height - 1 - y) * stride]; // bottom-up
        for (int x = 0; x < m_width; ++x) {
            const COLORREF c = Pixel(x, y);
            row[3 * x] = GetBValue(c);
            row[3 * x + 1] = GetGValue(c);
            row[3 * x + 2] = GetRValue(c);
        }
    }
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = m_width;
    header.biHeight = m_height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(rows.size());
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = fwrite(&file, sizeof file, 1, f) == 1 &&
                    fwrite(&header, sizeof header, 1, f) == 1 &&
                    (rows.empty() || fwrite(rows.data(), rows.size(), 1, f) == 1);
    fclose(f);
    return ok;
}

std::string ProgramDirectory() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    while (n > 0 && path[n - 1] != '\\')
        --n;
    return std::string(path, n);
}

} // namespace scrolltest
