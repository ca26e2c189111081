// CFlatPopupMenu: painting the frame, the entries, separators, the 3-D icon
// frames, submenu arrows and icons out of the image strip.
#include "flatmenu/flat_popup_menu.h"
#include "flatmenu/flat_menu_layout.h"
#include "common/gdi_guards.h"
#include "flatmenu/scroll_rows.h"

namespace {
const int kIconFrameLeft = 3;
const int kIconFrameRight = 22;
const int kIconFrameBottom = 18; // below the entry's top
const int kBarLeftWithIcon = 23;
const int kBarLeftWithoutIcon = 3;
const int kBarHeight = 20;
const int kTextLeft = 25;
const int kTextBoxSize = 1000;
const int kPlainTextLimit = 1024; // longer text is drawn the general way
const int kArrowRows = 4;         // a scroll band's arrow: 1, 3, 5 and 7 pixels wide

// Narrows a DC's clipping to a rectangle while it lives, when asked to.
class ClippedTo {
  public:
    ClippedTo(HDC dc, bool clip, const RECT& area) : m_dc(dc), m_saved(clip ? SaveDC(dc) : 0) {
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

void CFlatPopupMenu::DrawBackground(HWND window, HDC dc) {
    RECT client;
    GetClientRect(window, &client);
    SelectedObject brush(dc, m_backgroundBrush);
    SelectedObject pen(dc, m_framePen);
    Rectangle(dc, client.left, client.top, client.right, client.bottom);
    m_backgroundErased = true;
}

void CFlatPopupMenu::DrawAllItems(HWND window, HDC dc) {
    // A scrolling menu draws the rows it shows, its bands and nothing else.
    int begin = 0, end = static_cast<int>(m_items.size());
    if (m_scrolls) {
        begin = m_firstRow;
        end = LastRowShown(m_items, m_firstRow, m_rowAreaBottom - m_rowAreaTop) + 1;
    }
    // Entries wholly outside the area being painted are not drawn. An entry
    // paints from its top to the bottom of its bar.
    RECT clip = {};
    const bool clipped = GetClipBox(dc, &clip) != ERROR;
    auto drawn = [&](const FlatMenuItem& entry) {
        return !clipped || (entry.top + kBarHeight > clip.top && entry.top < clip.bottom);
    };
    // One pair of contexts for the strips serves every icon of this paint;
    // a paint without icons makes none.
    bool icons = false;
    for (int i = begin; i < end && !icons; ++i)
        icons = m_items[i].iconIndex != -1 && drawn(m_items[i]);
    OwnedDc imageDc(icons && m_maskStrip ? CreateCompatibleDC(dc) : nullptr);
    OwnedDc maskDc(icons && m_maskStrip ? CreateCompatibleDC(dc) : nullptr);
    SelectedObject image(imageDc.Get(), imageDc.Get() ? m_imageStrip : nullptr);
    SelectedObject mask(maskDc.Get(), maskDc.Get() ? m_maskStrip : nullptr);
    struct PaintState {
        CFlatPopupMenu* menu;
        ~PaintState() {
            menu->m_paintImageDc = menu->m_paintMaskDc = nullptr;
            menu->m_paintClipsRows = false;
            menu->m_paintOverErasedBackground = false;
        }
    } paintState = {this};
    // Erased since the last paint: the whole area of this one shows nothing
    // but the background (the hot entry is repainted whenever it changes).
    m_paintOverErasedBackground = m_backgroundErased;
    m_backgroundErased = false;
    if (image.Selected() && mask.Selected()) {
        m_paintImageDc = imageDc.Get();
        m_paintMaskDc = maskDc.Get();
    }
    {
        // The rows of a scrolling menu are clipped to the area between the
        // bands once for the whole paint, not row by row.
        ClippedTo rowsOnly(dc, m_scrolls, RowArea());
        m_paintClipsRows = m_scrolls;
        for (int i = begin; i < end; ++i) {
            if (drawn(m_items[i])) DrawItem(dc, i, m_items[i]);
        }
        m_paintClipsRows = false;
    }
    if (m_scrolls) {
        // Below the last row that fits whole, down to the band, nothing shows.
        const int rowsEnd =
            end > begin ? m_items[end - 1].top + m_items[end - 1].height : m_rowAreaTop;
        RECT gap = {1, rowsEnd, m_width - 1, m_rowAreaBottom};
        if (gap.top < gap.bottom) FillRect(dc, &gap, m_backgroundBrush);
        DrawScrollBands(dc);
    }
}

void CFlatPopupMenu::DrawScrollBands(HDC dc) {
    RECT top = {1, 1, m_width - 1, m_rowAreaTop};
    RECT bottom = {1, m_rowAreaBottom, m_width - 1, m_rowAreaBottom + fpmlayout::kScrollBandHeight};
    FillRect(dc, &top, m_backgroundBrush);
    FillRect(dc, &bottom, m_backgroundBrush);
    DrawScrollArrow(dc, top.top, -1);
    DrawScrollArrow(dc, bottom.top, 1);
}

void CFlatPopupMenu::DrawScrollArrow(HDC dc, int bandTop, int direction) {
    // A solid triangle in the middle of its band, pointing the way the band
    // scrolls: in the text colour while there is more to see that way,
    // grayed when there is not. The stock DC pen takes the colour, so the
    // bands need no pen of the menu's own.
    SelectedObject pen(dc, GetStockObject(DC_PEN));
    SetDCPenColor(dc, CanScroll(direction) ? m_textColour : m_disabledTextColour);
    const int centre = m_width / 2;
    const int arrowTop = bandTop + (fpmlayout::kScrollBandHeight - kArrowRows) / 2;
    for (int row = 0; row < kArrowRows; ++row) {
        const int half = direction < 0 ? row : kArrowRows - 1 - row;
        POINT line[2] = {{centre - half, arrowTop + row}, {centre + half + 1, arrowTop + row}};
        Polyline(dc, line, 2);
    }
}

void CFlatPopupMenu::DrawSeparator(HDC dc, int top) {
    SelectedObject pen(dc, m_framePen);
    POINT line[2] = {{0, top + 2}, {m_width, top + 2}};
    Polyline(dc, line, 2);
}

void CFlatPopupMenu::DrawItem(HDC dc, int index, const FlatMenuItem& entry) {
    // A row of a scrolling menu that does not fit whole between the bands
    // is not drawn at all.
    if (!RowShown(entry)) return;
    // Whatever its font, nothing of a row reaches into a band.
    ClippedTo clip(dc, m_scrolls && !m_paintClipsRows, RowArea());
    const bool hot = index == m_hotIndex;
    const int t = entry.top;
    if (entry.flags & fpmSeparator) {
        DrawSeparator(dc, t);
        return;
    }

    // An icon index without a strip to take it from is drawn as no icon.
    int barLeft = kBarLeftWithoutIcon;
    // Over a background erased for this paint, what would be drawn in the
    // background's own colour is there already.
    const bool plainBackground = !hot && m_paintOverErasedBackground;
    if (entry.iconIndex != -1 && m_imageStrip) {
        if (!plainBackground) {
            SelectedObject pen(dc, hot ? m_lightPen : m_backgroundPen);
            POINT topLeft[3] = {
                {kIconFrameLeft, t + kIconFrameBottom}, {kIconFrameLeft, t}, {kIconFrameRight, t}};
            Polyline(dc, topLeft, 3);
        }
        if (!plainBackground) {
            SelectedObject pen(dc, hot ? m_shadowPen : m_backgroundPen);
            POINT bottomRight[3] = {{kIconFrameRight, t},
                                    {kIconFrameRight, t + kIconFrameBottom},
                                    {kIconFrameLeft, t + kIconFrameBottom}};
            Polyline(dc, bottomRight, 3);
        }
        DrawIcon(dc, GetSystemMetrics(SM_CXSMICON) * entry.iconIndex, kIconFrameLeft + 1, t + 1);
        barLeft = kBarLeftWithIcon;
    }

    if (!plainBackground) {
        SelectedObject brush(dc, hot ? m_highlightBrush : m_backgroundBrush);
        SelectedObject pen(dc, GetStockObject(NULL_PEN));
        Rectangle(dc, barLeft, t, m_width - 2, t + kBarHeight);
    }

    {
        const bool bold = (entry.flags & fpmBold) != 0;
        SelectedObject font(dc, bold ? m_boldFont : m_normalFont);
        const int textHeight = bold ? m_boldTextHeight : m_normalTextHeight;
        SetBkMode(dc, TRANSPARENT);
        COLORREF colour = m_textColour;
        if (hot)
            colour = m_highlightedTextColour;
        else if (entry.flags & fpmGrayed)
            colour = m_disabledTextColour;
        SetTextColor(dc, colour);
        const int textTop = t + (fpmlayout::kItemHeight - textHeight) / 2;
        DrawEntryText(dc, kTextLeft, textTop, entry.text);
    }

    if (entry.child) {
        // A solid triangle pointing right, tip at (W - 7, t + 8).
        SelectedObject pen(dc, hot ? m_highlightedTextPen : m_textPen);
        for (int stroke = 0; stroke < 4; ++stroke) {
            const int x = m_width - 7 - stroke;
            POINT line[2] = {{x, t + 8 - stroke}, {x, t + 9 + stroke}};
            Polyline(dc, line, 2);
        }
    }
}

RECT CFlatPopupMenu::RowArea() const {
    return {1, m_rowAreaTop, m_width - 1, m_rowAreaBottom};
}

void CFlatPopupMenu::DrawEntryText(HDC dc, int x, int y, const std::string& text) {
    // DrawText reads "&" as the mark of a mnemonic and breaks lines. Text
    // with neither draws exactly as DrawText would draw it (same conversion,
    // same origin, no clipping) at a fraction of the cost, which adds up over
    // a tall menu's rows.
    wchar_t wide[kPlainTextLimit];
    const int length =
        text.empty() ? 0
                     : MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                           wide, kPlainTextLimit);
    bool plain = length > 0 || text.empty();
    for (int i = 0; i < length && plain; ++i)
        plain = wide[i] != L'&' && wide[i] >= L' ';
    if (plain) {
        TextOutW(dc, x, y, wide, length);
        return;
    }
    RECT box = {x, y, x + kTextBoxSize, y + kTextBoxSize};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &box, DT_NOCLIP);
}

void CFlatPopupMenu::DrawMaskedIcon(HDC dc, HDC imageDc, HDC maskDc, int sourceX, int x, int y) {
    const int cx = GetSystemMetrics(SM_CXSMICON);
    const int cy = GetSystemMetrics(SM_CYSMICON);
    BitBlt(dc, x, y, cx, cy, maskDc, sourceX, 0, SRCAND);
    BitBlt(dc, x, y, cx, cy, imageDc, sourceX, 0, SRCPAINT);
}

void CFlatPopupMenu::DrawIcon(HDC dc, int sourceX, int x, int y) {
    const int cx = GetSystemMetrics(SM_CXSMICON);
    const int cy = GetSystemMetrics(SM_CYSMICON);
    if (!m_imageStrip) return;

    if (m_maskStrip) {
        if (m_paintImageDc && m_paintMaskDc) {
            DrawMaskedIcon(dc, m_paintImageDc, m_paintMaskDc, sourceX, x, y);
            return;
        }
        OwnedDc imageDc(CreateCompatibleDC(dc));
        OwnedDc maskDc(CreateCompatibleDC(dc));
        SelectedObject image(imageDc.Get(), m_imageStrip);
        SelectedObject mask(maskDc.Get(), m_maskStrip);
        DrawMaskedIcon(dc, imageDc.Get(), maskDc.Get(), sourceX, x, y);
        return;
    }

    // Colour-key transparency: masks are built from the whole strip, the
    // icon is composed over the screen behind it, and the strip is restored.
    OwnedDc stripDc(CreateCompatibleDC(dc));
    SelectedObject strip(stripDc.Get(), m_imageStrip);
    BITMAP info = {};
    GetObjectA(m_imageStrip, sizeof info, &info);
    POINT size = {info.bmWidth, info.bmHeight};
    DPtoLP(stripDc.Get(), &size, 1);
    const int w = size.x, h = size.y;

    OwnedDc backDc(CreateCompatibleDC(dc));
    OwnedDc objectDc(CreateCompatibleDC(dc));
    OwnedDc memoryDc(CreateCompatibleDC(dc));
    OwnedDc saveDc(CreateCompatibleDC(dc));
    OwnedGdiObject backBitmap(CreateBitmap(w, h, 1, 1, nullptr));
    OwnedGdiObject objectBitmap(CreateBitmap(w, h, 1, 1, nullptr));
    OwnedGdiObject memoryBitmap(CreateCompatibleBitmap(dc, w, h));
    OwnedGdiObject saveBitmap(CreateCompatibleBitmap(dc, w, h));
    SelectedObject back(backDc.Get(), backBitmap.Get());
    SelectedObject object(objectDc.Get(), objectBitmap.Get());
    SelectedObject memory(memoryDc.Get(), memoryBitmap.Get());
    SelectedObject save(saveDc.Get(), saveBitmap.Get());

    SetMapMode(stripDc.Get(), GetMapMode(dc));
    BitBlt(saveDc.Get(), 0, 0, w, h, stripDc.Get(), 0, 0, SRCCOPY);

    COLORREF previousBack = SetBkColor(stripDc.Get(), m_transparentColour);
    BitBlt(objectDc.Get(), 0, 0, w, h, stripDc.Get(), 0, 0, SRCCOPY);
    SetBkColor(stripDc.Get(), previousBack);

    BitBlt(backDc.Get(), 0, 0, w, h, objectDc.Get(), 0, 0, NOTSRCCOPY);
    BitBlt(memoryDc.Get(), sourceX, 0, cx, cy, dc, x, y, SRCCOPY);
    BitBlt(memoryDc.Get(), 0, 0, w, h, objectDc.Get(), 0, 0, SRCAND);
    BitBlt(stripDc.Get(), 0, 0, w, h, backDc.Get(), 0, 0, SRCAND);
    BitBlt(memoryDc.Get(), 0, 0, w, h, stripDc.Get(), 0, 0, SRCPAINT);
    BitBlt(dc, x, y, cx, cy, memoryDc.Get(), sourceX, 0, SRCCOPY);
    BitBlt(stripDc.Get(), 0, 0, w, h, saveDc.Get(), 0, 0, SRCCOPY);
}
