// What a press asks of the display once for every bitmap it makes. Under
// Wine each question about the display costs about 0.1 ms, and a DC of the
// desktop (another process's window) costs several times one of the host's.
#pragma once
#include <windows.h>

// While one lives, the display's depth is asked once, and popups made
// without an owner make their strips on the host window's DC. Nested ones
// leave everything to the outermost.
class PressDisplay {
  public:
    explicit PressDisplay(HWND hostWindow);
    ~PressDisplay();
    PressDisplay(const PressDisplay&) = delete;
    PressDisplay& operator=(const PressDisplay&) = delete;

  private:
    bool m_outermost;
};

// Bits per pixel of the display, asked of `dc` unless the press knows it.
int DisplayDepth(HDC dc);

// A DC to make bitmaps compatible with the display on: `window`'s, else the
// press's host window's, else (and when that cannot be had) the desktop's.
class DisplayDc {
  public:
    explicit DisplayDc(HWND window);
    ~DisplayDc();
    DisplayDc(const DisplayDc&) = delete;
    DisplayDc& operator=(const DisplayDc&) = delete;
    HDC Get() const { return m_dc; }

  private:
    HWND m_window;
    HDC m_dc;
};
