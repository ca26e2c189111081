// What a press asks of the display once for every bitmap it makes. Under
// Wine each question about the display costs about 0.1 ms, and a DC of the
// desktop (another process's window) costs several times one of the host's.
#pragma once
#include <windows.h>
#include "common/gdi_guards.h"

class PressDisplay {
  public:
    explicit PressDisplay(HWND hostWindow) : m_hostWindow(hostWindow) {}
    // Bits per pixel of the display: asked of `dc` the first time only.
    int Depth(HDC dc);
    // A DC to make bitmaps compatible with the display on: `window`'s, else
    // the host window's, else (and when that cannot be had) the desktop's.
    WindowDc DcFor(HWND window) const;

  private:
    HWND m_hostWindow;
    int m_depth = 0; // 0: not asked yet
};
