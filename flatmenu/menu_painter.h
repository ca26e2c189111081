// Paints one flat menu from its rows and its palette: the frame and
// background, each entry plain or hot, separators, icon frames, icons,
// submenu arrows and, for a menu that scrolls, its bands. A painter serves
// one paint (or one repaint of a row): what it sets up for a whole paint
// lives as long as it does.
#pragma once
#include <windows.h>
#include <memory>
#include <utility>
#include <vector>
#include "flatmenu/menu_drawing.h"
#include "flatmenu/menu_palette.h"
#include "flatmenu/menu_rows.h"

class MenuPainter {
  public:
    MenuPainter(HDC dc, const MenuRows& rows, const MenuPalette& palette);
    MenuPainter(const MenuPainter&) = delete;
    MenuPainter& operator=(const MenuPainter&) = delete;

    // The frame and the background of the whole client area.
    void DrawBackground(const RECT& client);
    // Everything a paint shows inside the DC's clip box: the rows that show
    // and, for a menu that scrolls, the bands. Over a background erased for
    // this paint, what would be drawn in the background's colour is left out.
    void DrawAll(bool overErasedBackground);
    // One entry, as the hot entry changes. A row of a scrolling menu that
    // does not show whole is not drawn.
    void DrawRow(int index);

  private:
    void DrawItem(int index, const FlatMenuItem& entry);
    void DrawSeparator(int top);
    void DrawIconFrame(int top, bool hot);
    void DrawLabel(const FlatMenuItem& entry, bool hot);
    // The search row: its text and a caret after it, in a sunken field.
    void DrawSearchField(const FlatMenuItem& entry);
    // The contexts for an entry's strips during DrawAll: the paint's own for
    // the menu's strips, one pair per other menu's strips (a search result's)
    // made on first use; null outside DrawAll.
    const StripContexts* ContextsFor(const FlatMenuItem& entry);
    void DrawArrow(int top, bool hot);
    void DrawScrollBands();
    void DrawScrollArrow(int bandTop, int direction);

    HDC m_dc;
    const MenuRows& m_rows;
    const MenuPalette& m_palette;
    const MenuGeometry& m_geometry; // the palette's
    // Set for the length of DrawAll.
    const StripContexts* m_stripContexts = nullptr;
    std::vector<std::pair<const MenuStrips*, std::unique_ptr<StripContexts>>> m_otherContexts;
    bool m_clipsRows = false; // the whole paint is clipped to the rows already
    bool m_overErasedBackground = false;
};
