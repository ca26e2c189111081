#include "menubuild/press_display.h"

namespace {
struct PressDisplayState {
    bool active = false;
    HWND hostWindow = nullptr;
    int depth = 0; // 0: not asked yet
};
PressDisplayState g_press;
} // namespace

PressDisplay::PressDisplay(HWND hostWindow) : m_outermost(!g_press.active) {
    if (m_outermost) g_press = {true, hostWindow, 0};
}

PressDisplay::~PressDisplay() {
    if (m_outermost) g_press = PressDisplayState();
}

int DisplayDepth(HDC dc) {
    if (g_press.active && g_press.depth) return g_press.depth;
    const int depth = GetDeviceCaps(dc, BITSPIXEL);
    if (g_press.active) g_press.depth = depth;
    return depth;
}

DisplayDc::DisplayDc(HWND window) : m_window(window), m_dc(nullptr) {
    if (m_window) {
        m_dc = GetDC(m_window);
        return;
    }
    if (g_press.active && g_press.hostWindow) {
        m_window = g_press.hostWindow;
        m_dc = GetDC(m_window);
        if (m_dc) return;
    }
    m_window = GetDesktopWindow();
    m_dc = GetDC(m_window);
}

DisplayDc::~DisplayDc() {
    if (m_dc) ReleaseDC(m_window, m_dc);
}
