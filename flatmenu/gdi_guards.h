// Small scope guards for device contexts and selected GDI objects, so every
// painting path hands back what it borrowed.
#pragma once
#include <windows.h>

// Selects an object into a DC and selects the previous one back on scope exit.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (m_previous) SelectObject(m_dc, m_previous);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// A window's DC from GetDC, released on scope exit.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    ~WindowDc() {
        if (m_dc) ReleaseDC(m_window, m_dc);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const { return m_dc; }

  private:
    HWND m_window;
    HDC m_dc;
};

// A DC that is deleted on scope exit: memory DCs and information contexts.
class OwnedDc {
  public:
    explicit OwnedDc(HDC dc) : m_dc(dc) {}
    ~OwnedDc() {
        if (m_dc) DeleteDC(m_dc);
    }
    OwnedDc(const OwnedDc&) = delete;
    OwnedDc& operator=(const OwnedDc&) = delete;
    HDC Get() const { return m_dc; }

  private:
    HDC m_dc;
};

// Deletes a GDI object on scope exit (it must be deselected by then).
class OwnedGdiObject {
  public:
    explicit OwnedGdiObject(HGDIOBJ object) : m_object(object) {}
    ~OwnedGdiObject() {
        if (m_object) DeleteObject(m_object);
    }
    OwnedGdiObject(const OwnedGdiObject&) = delete;
    OwnedGdiObject& operator=(const OwnedGdiObject&) = delete;
    HGDIOBJ Get() const { return m_object; }

  private:
    HGDIOBJ m_object;
};
