// The entries of one flat menu as rows: where each lies, which one is hot,
// which ones show while the menu scrolls, and the questions the painter, the
// mouse, the keys and any other reader ask of them. No window, no GDI: text
// widths are given by whoever measures.
#pragma once
#include <functional>
#include <vector>
#include "flatmenu/menu_geometry.h"
#include "flatmenu/menu_item.h"

// A rectangle in a menu's client coordinates; right and bottom lie outside.
struct RowRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

class MenuRows {
  public:
    // The measures the rows are laid out with (those of 96 DPI until set);
    // set before Measure.
    void SetGeometry(const MenuGeometry& geometry) { m_geometry = geometry; }
    const MenuGeometry& Geometry() const { return m_geometry; }

    // The entries, top to bottom.
    void Clear(); // no entries, none hot
    void Append(const FlatMenuItem& item);
    int Count() const { return static_cast<int>(m_items.size()); }
    // The entry at `index`; null when there is none.
    const FlatMenuItem* Item(int index) const;
    const std::vector<FlatMenuItem>& Items() const { return m_items; }
    // The entry at position `key`, or the first whose command id is `key`.
    FlatMenuItem* Find(unsigned key, bool byIndex);

    // Lays the entries out in one column from the top margin: a separator
    // is not measured, any other entry is as wide as `textWidth` says; each
    // is as high as the geometry says. The menu is the widest text plus the
    // geometry's extra width wide. Returns the height of the content (the
    // window adds its bottom margin).
    int Measure(const std::function<int(const FlatMenuItem&)>& textWidth);
    int Width() const { return m_width; }
    // The client rectangle of entry `index` across the menu's width.
    RowRect RowBounds(int index) const;

    // The hot (highlighted) entry; -1 for none.
    int HotIndex() const { return m_hotIndex; }
    void SetHotIndex(int index) { m_hotIndex = index; }
    // The hot entry's command id, or -1 (no hot entry, or its id is 0).
    int HotCommand() const;

    // Whether a client point lies inside the menu for a click: past the dead
    // band at the left and top edges and within the client rectangle.
    bool Inside(int x, int y, const RowRect& client) const;
    // The entry under a client point, or -1: not past the dead band, on an
    // entry's top row, on a scroll band, or a disabled entry or one that
    // does not show whole, or the search row. A separator can be hit.
    int HitTest(int x, int y, const RowRect& client) const;
    // An entry that the keys can make hot and choose: not a separator,
    // disabled or grayed, nor the search row.
    bool IsChoosable(int index) const;
    // The next choosable entry `step` (1 or -1) away from `from`, wrapping
    // around; from no entry (-1) the first or the last. -1 when none is.
    int NextChoosable(int from, int step) const;

    // Scrolling. A menu taller than its window shows the entries that fit
    // whole between its two bands, from the first row on; a menu that fits
    // shows them all. Directions: -1 towards the top, 1 towards the bottom.
    void SetUpView(bool scrolls, int windowHeight);
    bool Scrolls() const { return m_scrolls; }
    int FirstRow() const { return m_firstRow; }
    // Client rows where entries show: between the bands, or the whole window.
    int RowAreaTop() const { return m_rowAreaTop; }
    int RowAreaBottom() const { return m_rowAreaBottom; }
    RowRect RowArea() const; // inside the frame, between the bands
    bool RowShown(int index) const;
    int LastRowShown() const; // FirstRow() - 1 when none fits
    int LastFirstRow() const; // from it on, the last entry shows
    bool CanScroll(int direction) const;
    int ClampFirstRow(int first) const;
    // Shows the rows from `first` (clamped) on. Returns true when the hot
    // entry no longer shows and so stopped being hot.
    bool ShowFrom(int first);
    // The first row of a view that shows entry `index`: the current one when
    // it shows; else the view that starts or ends with it, or the menu's top
    // or end when nothing choosable lies beyond it.
    int FirstRowShowing(int index) const;
    // The first row after the wheel turned `notches`, `rowsPerNotch` rows
    // each or a page each when `byPage`: turned away from the user (positive)
    // it shows what lies above. Kept within the entries, not yet clamped to
    // the last first row.
    int FirstRowAfterWheel(int notches, unsigned rowsPerNotch, bool byPage) const;
    // The scroll band at a client point: -1 the top one, 1 the bottom one, 0 none.
    int ScrollBandAt(int x, int y) const;

  private:
    int ViewHeight() const { return m_rowAreaBottom - m_rowAreaTop; }

    MenuGeometry m_geometry;
    std::vector<FlatMenuItem> m_items;
    int m_width = 0;
    int m_hotIndex = -1;
    bool m_scrolls = false;
    int m_firstRow = 0;
    int m_rowAreaTop = 0, m_rowAreaBottom = 0;
};
