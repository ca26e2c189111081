// Scope guards for device contexts and GDI objects, so every painting and
// bitmap-making path hands back what it borrowed or made.
#pragma once
#include <windows.h>
#include "common/scoped_handle.h"

// Selects an object into a DC and selects the previous one back on scope exit.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object)
        : m_dc(dc), m_previous(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() {
        if (m_previous) SelectObject(m_dc, m_previous);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    // False when the object could not be selected.
    bool Selected() const { return m_previous != nullptr; }

  private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// A window's DC from GetDC (the screen's for a null window), released on
// scope exit. The one guard of a borrowed DC.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    ~WindowDc() { Reset(); }
    WindowDc(WindowDc&& other) noexcept : m_window(other.m_window), m_dc(other.m_dc) {
        other.m_dc = nullptr;
    }
    WindowDc& operator=(WindowDc&& other) noexcept {
        if (this != &other) {
            Reset();
            m_window = other.m_window;
            m_dc = other.m_dc;
            other.m_dc = nullptr;
        }
        return *this;
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const { return m_dc; }

  private:
    void Reset() {
        if (m_dc) ReleaseDC(m_window, m_dc);
        m_dc = nullptr;
    }
    HWND m_window;
    HDC m_dc;
};

struct DcDeleter {
    static void Close(HDC dc) { DeleteDC(dc); }
};
struct GdiObjectDeleter {
    static void Close(HGDIOBJ object) { DeleteObject(object); }
};

// A DC that is deleted on scope exit: memory DCs and information contexts.
typedef ScopedHandle<HDC, DcDeleter> OwnedDc;
// A GDI object deleted on scope exit (it must be deselected by then).
typedef ScopedHandle<HGDIOBJ, GdiObjectDeleter> OwnedGdiObject;
typedef ScopedHandle<HBITMAP, GdiObjectDeleter> OwnedBitmap;
typedef ScopedHandle<HFONT, GdiObjectDeleter> OwnedFont;
typedef ScopedHandle<HPEN, GdiObjectDeleter> OwnedPen;
typedef ScopedHandle<HBRUSH, GdiObjectDeleter> OwnedBrush;
