#include "menubuild/press_display.h"

int PressDisplay::Depth(HDC dc) {
    if (!m_depth) m_depth = GetDeviceCaps(dc, BITSPIXEL);
    return m_depth;
}

WindowDc PressDisplay::DcFor(HWND window) const {
    if (window) return WindowDc(window);
    if (m_hostWindow) {
        WindowDc host(m_hostWindow);
        if (host.Get()) return host;
    }
    return WindowDc(GetDesktopWindow());
}
