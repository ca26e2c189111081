#include "tests/support/snapshot.h"
#include <stdio.h>
#include "common/gdi_guards.h"

namespace qtest {

Snapshot::Snapshot(HWND window) {
    RECT client = {};
    if (window) {
        if (!GetClientRect(window, &client)) return;
    } else {
        client.right = GetSystemMetrics(SM_CXSCREEN);
        client.bottom = GetSystemMetrics(SM_CYSCREEN);
    }
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

int Snapshot::Count(const RECT& rect, COLORREF colour) const {
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            count += Pixel(x, y) == colour;
    return count;
}

int Snapshot::CountOtherThan(const RECT& rect, COLORREF colour) const {
    const int all = (rect.right - rect.left) * (rect.bottom - rect.top);
    return all > 0 ? all - Count(rect, colour) : 0;
}

bool Snapshot::Save(const std::string& path) const {
    return SaveBmp(path, m_width, m_height, m_pixels);
}

bool SaveBmp(const std::string& path, int width, int height, const std::vector<COLORREF>& pixels) {
    if (width < 0 || height < 0 || pixels.size() < static_cast<size_t>(width) * height)
        return false;
    const DWORD stride = ((width * 3 + 3) / 4) * 4;
    std::vector<BYTE> rows(static_cast<size_t>(stride) * height, 0);
    for (int y = 0; y < height; ++y) {
        BYTE* row = &rows[static_cast<size_t>(height - 1 - y) * stride]; // bottom-up
        for (int x = 0; x < width; ++x) {
            const COLORREF c = pixels[static_cast<size_t>(y) * width + x];
            row[3 * x] = GetBValue(c);
            row[3 * x + 1] = GetGValue(c);
            row[3 * x + 2] = GetRValue(c);
        }
    }
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
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

} // namespace qtest
