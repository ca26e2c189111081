// The drawing a menu's painter is made of below the level of rows: an
// entry's text, and icons out of the menu's strips.
#pragma once
#include <windows.h>
#include <string>
#include "common/gdi_guards.h"
#include "flatmenu/menu_palette.h"

// Draws an entry's text at (x, y) as DrawText draws it ("&" marks a
// mnemonic), in the DC's font and colour.
void DrawEntryText(HDC dc, int x, int y, const std::string& text);

// Contexts holding the image and mask strips for a whole paint, made once for
// all its icons instead of once per icon; none when not `wanted` or when the
// strips have no mask.
class StripContexts {
  public:
    StripContexts(HDC dc, const MenuStrips& strips, bool wanted);
    StripContexts(const StripContexts&) = delete;
    StripContexts& operator=(const StripContexts&) = delete;
    bool Ready() const { return m_image.Selected() && m_mask.Selected(); }
    HDC Image() const { return m_imageDc.Get(); }
    HDC Mask() const { return m_maskDc.Get(); }

  private:
    OwnedDc m_imageDc, m_maskDc;
    SelectedObject m_image, m_mask; // deselected before the contexts go
};

// Draws the `size` x `size` icon at `sourceX` of the strips with its top-left
// at (x, y):
// through the mask strip when there is one (with the contexts of the whole
// paint when they are ready), else with `transparent` as the colour that
// shows what lies behind. Nothing without an image strip.
void DrawStripIcon(HDC dc, const MenuStrips& strips, COLORREF transparent, int sourceX, int x,
                   int y, int size, const StripContexts* paintContexts);
