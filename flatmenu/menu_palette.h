// What a flat menu draws with on one display: its colours, its two fonts and
// their text heights, its pens and brushes, and the strips its icons come
// from. Every GDI object the palette makes is its own and goes with it.
#pragma once
#include <windows.h>
#include "common/gdi_guards.h"
#include "flatmenu/menu_geometry.h"

enum FlatMenuBitmapIds {
    fpmNoBitmap = -1,   // no image strip
    fpmUserBitmap = -2, // caller's image and mask strips, never deleted by the menu
};

// The system's menu colours, read once when a menu is made and not
// refreshed later.
struct MenuColours {
    COLORREF frame = 0, background = 0, text = 0, disabledText = 0, highlightedText = 0,
             highlight = 0, transparent = 0xFF00FF, light = 0, shadow = 0;
    static MenuColours FromSystem();
};

// One row of icons, each as wide as the strip is high (the menu's icon size), and an optional mask
// of the same layout (white where an icon is transparent). A strip loaded from a resource is owned;
// a caller's strips are only borrowed.
class MenuStrips {
  public:
    MenuStrips() = default;
    // The strips for a bitmap id: none for `fpmNoBitmap`, the caller's
    // `image` and `mask` for `fpmUserBitmap`, else the bitmap resource.
    static MenuStrips For(HINSTANCE instance, int bitmapId, HBITMAP image, HBITMAP mask);
    HBITMAP Image() const { return m_loaded ? m_loaded.Get() : m_image; }
    HBITMAP Mask() const { return m_mask; }

  private:
    OwnedBitmap m_loaded;
    HBITMAP m_image = nullptr; // borrowed
    HBITMAP m_mask = nullptr;  // borrowed
};

// A memory context on the screen: it measures text as the screen shows it.
// An information context on the display would do the same, but making one
// costs about ten times as much, and every press measures.
OwnedDc MakeMeasuringDc();

class MenuPalette {
  public:
    // Colours only: no fonts, pens, brushes or strips yet.
    explicit MenuPalette(const MenuColours& colours) : m_colours(colours) {}
    // Everything for `dpi` on the display that `measuringDc` stands for: the
    // fonts' size and the layout's measures follow the DPI, the fonts'
    // heights are measured on the DC.
    MenuPalette(const MenuColours& colours, HDC measuringDc, MenuStrips strips, int dpi);
    MenuPalette(MenuPalette&&) = default;
    MenuPalette& operator=(MenuPalette&&) = default;

    // Makes the fonts and the measures for another DPI; the rest stays.
    void SetDpi(HDC measuringDc, int dpi);

    const MenuColours& Colours() const { return m_colours; }
    const MenuGeometry& Geometry() const { return m_geometry; }
    HFONT NormalFont() const { return m_normalFont.Get(); }
    HFONT BoldFont() const { return m_boldFont.Get(); }
    int NormalTextHeight() const { return m_normalTextHeight; }
    int BoldTextHeight() const { return m_boldTextHeight; }
    HPEN FramePen() const { return m_framePen.Get(); }
    HPEN LightPen() const { return m_lightPen.Get(); }
    HPEN ShadowPen() const { return m_shadowPen.Get(); }
    HPEN BackgroundPen() const { return m_backgroundPen.Get(); }
    HPEN TextPen() const { return m_textPen.Get(); }
    HPEN HighlightedTextPen() const { return m_highlightedTextPen.Get(); }
    HBRUSH BackgroundBrush() const { return m_backgroundBrush.Get(); }
    HBRUSH HighlightBrush() const { return m_highlightBrush.Get(); }
    const MenuStrips& Strips() const { return m_strips; }

  private:
    MenuColours m_colours;
    MenuGeometry m_geometry;
    OwnedFont m_normalFont, m_boldFont;
    int m_normalTextHeight = 0, m_boldTextHeight = 0;
    OwnedPen m_framePen, m_lightPen, m_shadowPen, m_backgroundPen, m_textPen, m_highlightedTextPen;
    OwnedBrush m_backgroundBrush, m_highlightBrush;
    MenuStrips m_strips;
};
