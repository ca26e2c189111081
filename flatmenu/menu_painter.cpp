#include "flatmenu/menu_painter.h"
#include "common/gdi_guards.h"
#include "flatmenu/entry_text.h"

namespace {
// Narrows a DC's clipping to a rectangle while it lives, when asked to.
class ClippedTo {
  public:
    ClippedTo(HDC dc, bool clip, const RowRect& area) : m_dc(dc), m_saved(clip ? SaveDC(dc) : 0) {
        if (m_saved) IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    }
    ~ClippedTo() {
        if (m_saved) RestoreDC(m_dc, m_saved);
    }
    ClippedTo(const ClippedTo&) = delete;
    ClippedTo& operator=(const ClippedTo&) = delete;

  private:
    HDC m_dc;
    int m_saved;
};
} // namespace

MenuPainter::MenuPainter(HDC dc, const MenuRows& rows, const MenuPalette& palette)
    : m_dc(dc), m_rows(rows), m_palette(palette), m_geometry(palette.Geometry()) {}

void MenuPainter::DrawBackground(const RECT& client) {
    SelectedObject brush(m_dc, m_palette.BackgroundBrush());
    SelectedObject pen(m_dc, m_palette.FramePen());
    Rectangle(m_dc, client.left, client.top, client.right, client.bottom);
    // A frame wider than a pixel: one more outline inside it per pixel.
    SelectedObject hollow(m_dc, m_geometry.frame > 1 ? GetStockObject(NULL_BRUSH) : nullptr);
    for (int inset = 1; inset < m_geometry.frame; ++inset)
        Rectangle(m_dc, client.left + inset, client.top + inset, client.right - inset,
                  client.bottom - inset);
}

void MenuPainter::DrawAll(bool overErasedBackground) {
    // A scrolling menu draws the rows it shows, its bands and nothing else.
    const int begin = m_rows.Scrolls() ? m_rows.FirstRow() : 0;
    const int end = m_rows.LastRowShown() + 1;
    const std::vector<FlatMenuItem>& items = m_rows.Items();
    // Entries wholly outside the area being painted are not drawn. An entry
    // paints from its top to the bottom of its bar.
    RECT clip = {};
    const bool clipped = GetClipBox(m_dc, &clip) != ERROR;
    auto drawn = [&](const FlatMenuItem& entry) {
        return !clipped ||
               (entry.top + m_geometry.BarHeight() > clip.top && entry.top < clip.bottom);
    };
    // One pair of contexts for the strips serves every icon of this paint;
    // a paint without icons makes none.
    bool icons = false;
    for (int i = begin; i < end && !icons; ++i)
        icons = items[i].iconIndex != -1 && drawn(items[i]);
    const StripContexts contexts(m_dc, m_palette.Strips(), icons);
    m_stripContexts = &contexts;
    m_overErasedBackground = overErasedBackground;
    {
        // The rows of a scrolling menu are clipped to the area between the
        // bands once for the whole paint, not row by row.
        ClippedTo rowsOnly(m_dc, m_rows.Scrolls(), m_rows.RowArea());
        m_clipsRows = m_rows.Scrolls();
        for (int i = begin; i < end; ++i) {
            if (drawn(items[i])) DrawItem(i, items[i]);
        }
        m_clipsRows = false;
    }
    m_stripContexts = nullptr;
    m_otherContexts.clear();
    m_overErasedBackground = false;
    if (m_rows.Scrolls()) {
        // Below the last row that fits whole, down to the band, nothing shows.
        const int rowsEnd =
            end > begin ? items[end - 1].top + items[end - 1].height : m_rows.RowAreaTop();
        const RECT gap = {m_geometry.frame, rowsEnd, m_rows.Width() - m_geometry.frame,
                          m_rows.RowAreaBottom()};
        if (gap.top < gap.bottom) FillRect(m_dc, &gap, m_palette.BackgroundBrush());
        DrawScrollBands();
    }
}

void MenuPainter::DrawRow(int index) {
    if (const FlatMenuItem* entry = m_rows.Item(index)) DrawItem(index, *entry);
}

void MenuPainter::DrawItem(int index, const FlatMenuItem& entry) {
    if (!m_rows.RowShown(index)) return;
    // Whatever its font, nothing of a row reaches into a band.
    ClippedTo clip(m_dc, m_rows.Scrolls() && !m_clipsRows, m_rows.RowArea());
    const bool hot = index == m_rows.HotIndex();
    const int t = entry.top;
    if (entry.flags & fpmSeparator) {
        DrawSeparator(t);
        return;
    }
    if (entry.flags & fpmSearchField) {
        DrawSearchField(entry);
        return;
    }

    // An icon index without a strip to take it from is drawn as no icon.
    int barLeft = m_geometry.barLeftWithoutIcon;
    // Over a background erased for this paint, what would be drawn in the
    // background's own colour is there already.
    const bool plainBackground = !hot && m_overErasedBackground;
    const MenuStrips& strips = entry.strips ? *entry.strips : m_palette.Strips();
    if (entry.iconIndex != -1 && strips.Image()) {
        if (!plainBackground) DrawIconFrame(t, hot);
        const int inset = m_geometry.iconInset, size = m_geometry.iconSize;
        DrawStripIcon(m_dc, strips, m_palette.Colours().transparent, size * entry.iconIndex,
                      m_geometry.iconFrameLeft + inset, t + inset, size, ContextsFor(entry));
        barLeft = m_geometry.barLeftWithIcon;
    }

    if (!plainBackground) {
        SelectedObject brush(m_dc, hot ? m_palette.HighlightBrush() : m_palette.BackgroundBrush());
        SelectedObject pen(m_dc, GetStockObject(NULL_PEN));
        Rectangle(m_dc, barLeft, t, m_rows.Width() - m_geometry.barRightGap,
                  t + m_geometry.BarHeight());
    }
    DrawLabel(entry, hot);
    if (entry.child) DrawArrow(t, hot);
}

void MenuPainter::DrawSeparator(int top) {
    // One line a pixel high per pixel of the line's width.
    SelectedObject pen(m_dc, m_palette.FramePen());
    for (int row = 0; row < m_geometry.lineWidth; ++row) {
        const int y = top + m_geometry.separatorLineTop + row;
        POINT line[2] = {{0, y}, {m_rows.Width(), y}};
        Polyline(m_dc, line, 2);
    }
}

void MenuPainter::DrawIconFrame(int t, bool hot) {
    // Not hot, both sides take the background's pen, which erases a frame
    // drawn while the entry was hot. A frame wider than a pixel is drawn as
    // outlines nested inwards.
    const int left = m_geometry.iconFrameLeft, right = m_geometry.iconFrameRight;
    const int bottom = t + m_geometry.iconFrameBottom;
    for (int i = 0; i < m_geometry.lineWidth; ++i) {
        SelectedObject pen(m_dc, hot ? m_palette.LightPen() : m_palette.BackgroundPen());
        POINT topLeft[3] = {{left + i, bottom - i}, {left + i, t + i}, {right - i, t + i}};
        Polyline(m_dc, topLeft, 3);
    }
    for (int i = 0; i < m_geometry.lineWidth; ++i) {
        SelectedObject pen(m_dc, hot ? m_palette.ShadowPen() : m_palette.BackgroundPen());
        POINT bottomRight[3] = {
            {right - i, t + i}, {right - i, bottom - i}, {left + i, bottom - i}};
        Polyline(m_dc, bottomRight, 3);
    }
}

void MenuPainter::DrawLabel(const FlatMenuItem& entry, bool hot) {
    const bool bold = (entry.flags & fpmBold) != 0;
    SelectedObject font(m_dc, bold ? m_palette.BoldFont() : m_palette.NormalFont());
    const int textHeight = bold ? m_palette.BoldTextHeight() : m_palette.NormalTextHeight();
    SetBkMode(m_dc, TRANSPARENT);
    const MenuColours& colours = m_palette.Colours();
    COLORREF colour = colours.text;
    if (hot)
        colour = colours.highlightedText;
    else if (entry.flags & fpmGrayed)
        colour = colours.disabledText;
    SetTextColor(m_dc, colour);
    const int textTop = entry.top + (m_geometry.itemHeight - textHeight) / 2;
    DrawEntryText(m_dc, m_geometry.textLeft, textTop, entry.text);
    if (entry.detail.empty()) return;
    // Where the entry lies, after its name.
    const std::string name = ReadableEntryText(entry.text);
    SIZE extent = {};
    GetTextExtentPoint32A(m_dc, name.c_str(), static_cast<int>(name.size()), &extent);
    SetTextColor(m_dc, colours.disabledText);
    TextOutW(m_dc, m_geometry.textLeft + extent.cx + m_geometry.detailGap, textTop,
             entry.detail.c_str(), static_cast<int>(entry.detail.size()));
}

void MenuPainter::DrawSearchField(const FlatMenuItem& entry) {
    const int t = entry.top;
    const int left = m_geometry.barLeftWithoutIcon;
    const int right = m_rows.Width() - m_geometry.barRightGap;
    {
        SelectedObject brush(m_dc, m_palette.BackgroundBrush());
        SelectedObject pen(m_dc, m_palette.FramePen());
        Rectangle(m_dc, left, t, right, t + m_geometry.BarHeight());
    }
    SelectedObject font(m_dc, m_palette.NormalFont());
    SetBkMode(m_dc, TRANSPARENT);
    SetTextColor(m_dc, m_palette.Colours().text);
    const int textTop = t + (m_geometry.itemHeight - m_palette.NormalTextHeight()) / 2;
    const std::wstring& text = entry.fieldText;
    TextOutW(m_dc, m_geometry.textLeft, textTop, text.c_str(), static_cast<int>(text.size()));
    SIZE extent = {};
    GetTextExtentPoint32W(m_dc, text.c_str(), static_cast<int>(text.size()), &extent);
    // The caret: a bar as high as the text, as wide as a line.
    const int caretLeft = m_geometry.textLeft + extent.cx + m_geometry.caretGap;
    SelectedObject pen(m_dc, m_palette.TextPen());
    for (int column = 0; column < m_geometry.lineWidth; ++column) {
        POINT line[2] = {{caretLeft + column, textTop},
                         {caretLeft + column, textTop + m_palette.NormalTextHeight()}};
        Polyline(m_dc, line, 2);
    }
}

const StripContexts* MenuPainter::ContextsFor(const FlatMenuItem& entry) {
    if (!entry.strips || !m_stripContexts) return m_stripContexts;
    for (const auto& made : m_otherContexts) {
        if (made.first == entry.strips) return made.second.get();
    }
    m_otherContexts.emplace_back(
        entry.strips, std::unique_ptr<StripContexts>(new StripContexts(m_dc, *entry.strips, true)));
    return m_otherContexts.back().second.get();
}

void MenuPainter::DrawArrow(int t, bool hot) {
    // A solid triangle pointing right, one column a stroke, each two pixels
    // taller than the one right of it (at 96 DPI: tip at (W - 7, t + 8)).
    SelectedObject pen(m_dc, hot ? m_palette.HighlightedTextPen() : m_palette.TextPen());
    const int tip = m_rows.Width() - m_geometry.submenuArrowTipInset;
    const int middle = t + m_geometry.submenuArrowMiddle;
    for (int stroke = 0; stroke < m_geometry.submenuArrowColumns; ++stroke) {
        const int x = tip - stroke;
        POINT line[2] = {{x, middle - stroke}, {x, middle + stroke + 1}};
        Polyline(m_dc, line, 2);
    }
}

void MenuPainter::DrawScrollBands() {
    const int frame = m_geometry.frame, right = m_rows.Width() - m_geometry.frame;
    const RECT top = {frame, frame, right, m_rows.RowAreaTop()};
    const RECT bottom = {frame, m_rows.RowAreaBottom(), right,
                         m_rows.RowAreaBottom() + m_geometry.scrollBandHeight};
    FillRect(m_dc, &top, m_palette.BackgroundBrush());
    FillRect(m_dc, &bottom, m_palette.BackgroundBrush());
    DrawScrollArrow(top.top, -1);
    DrawScrollArrow(bottom.top, 1);
}

void MenuPainter::DrawScrollArrow(int bandTop, int direction) {
    // A solid triangle in the middle of its band, pointing the way the band
    // scrolls: in the text colour while there is more to see that way,
    // grayed when there is not. The stock DC pen takes the colour, so the
    // bands need no pen of the menu's own.
    SelectedObject pen(m_dc, GetStockObject(DC_PEN));
    const MenuColours& colours = m_palette.Colours();
    SetDCPenColor(m_dc, m_rows.CanScroll(direction) ? colours.text : colours.disabledText);
    const int centre = m_rows.Width() / 2;
    const int rows = m_geometry.scrollArrowRows; // 1, 3, 5... pixels wide
    const int arrowTop = bandTop + (m_geometry.scrollBandHeight - rows) / 2;
    for (int row = 0; row < rows; ++row) {
        const int half = direction < 0 ? row : rows - 1 - row;
        POINT line[2] = {{centre - half, arrowTop + row}, {centre + half + 1, arrowTop + row}};
        Polyline(m_dc, line, 2);
    }
}
