// The measures of a flat menu's layout, in pixels, for one DPI: entries,
// margins, the icon slot, the arrows and the scroll bands. Each is its value
// at 96 DPI scaled by DPI/96 and rounded as MulDiv rounds, so a menu at 96
// DPI keeps the exact layout it always had. Free of Win32, for the rows and
// for whatever draws them.
#pragma once

// value * numerator / denominator, rounded half away from zero as Win32's
// MulDiv rounds; -1 for a zero denominator, as MulDiv answers.
constexpr int ScaleRounded(int value, int numerator, int denominator) {
    if (denominator == 0) return -1;
    const long long product = static_cast<long long>(value) * numerator;
    const bool negative = (product < 0) != (denominator < 0);
    const long long n = product < 0 ? -product : product;
    const long long d = denominator < 0 ? -static_cast<long long>(denominator) : denominator;
    const long long magnitude = (n + d / 2) / d;
    return static_cast<int>(negative ? -magnitude : magnitude);
}

struct MenuGeometry {
    static const int kBaseDpi = 96;

    int dpi = kBaseDpi;
    int topMargin = 3;   // top of the first entry
    int itemHeight = 19; // an ordinary entry
    int separatorHeight = 5;
    int separatorLineTop = 2; // the line, below the separator's top
    int lineWidth = 1;        // separators, the frame and the icon's 3-D frame
    int bottomMargin = 2;     // added to the window's height
    int extraWidth = 46;      // added to the widest text
    int submenuOverlap = 3;
    // Client points with x or y up to this belong to no entry and lie
    // outside the menu for a click.
    int deadBand = 2;
    int frame = 1; // the window's frame
    // A menu taller than its monitor's work area scrolls: a band at its top
    // and at its bottom, inside the frame, each with an arrow of so many rows
    // (1, 3, 5... pixels wide), and the entries between them.
    int scrollBandHeight = 12;
    int scrollArrowRows = 4;

    // An entry: its icon's 3-D frame (left, right and bottom edges, from the
    // entry's top-left), the icon inside it, the highlight bar (left of it
    // with and without an icon, gap to the window's right edge) and the text.
    int iconFrameLeft = 3;
    int iconFrameRight = 22;
    int iconFrameBottom = 18;
    int iconInset = 1; // the icon's top-left, inside the frame's
    int iconSize = 16;
    int barLeftWithIcon = 23;
    int barLeftWithoutIcon = 3;
    int barRightGap = 2;
    int textLeft = 25;
    // A submenu's arrow: a solid triangle pointing right, so many columns
    // wide, its tip this far from the window's right edge, its middle row
    // this far below the entry's top.
    int submenuArrowColumns = 4;
    int submenuArrowTipInset = 7;
    int submenuArrowMiddle = 8;
    // Where Shift+F10 opens the context menu, inside the hot entry.
    int contextKeyX = 8;
    int contextKeyY = 4;
    // A search result: between its name and the submenus that hold it. The
    // search row: between its text and the caret.
    int detailGap = 12;
    int caretGap = 1;

    // The highlight bar is drawn as a rectangle without a pen, which leaves
    // out its last row: it covers the whole entry.
    int BarHeight() const { return itemHeight + 1; }

    // The measures at `dpi`. An entry is never lower than the text in it
    // plus the margin it has at 96 DPI: `textHeight` is the tallest of the
    // menu's fonts at `dpi`, `baseTextHeight` the same font's at 96 DPI.
    static MenuGeometry ForDpi(int dpi, int textHeight = 0, int baseTextHeight = 0) {
        MenuGeometry g;
        if (dpi <= 0) dpi = kBaseDpi;
        g.dpi = dpi;
        int* const measures[] = {&g.topMargin,
                                 &g.itemHeight,
                                 &g.separatorHeight,
                                 &g.separatorLineTop,
                                 &g.lineWidth,
                                 &g.bottomMargin,
                                 &g.extraWidth,
                                 &g.submenuOverlap,
                                 &g.deadBand,
                                 &g.frame,
                                 &g.scrollBandHeight,
                                 &g.scrollArrowRows,
                                 &g.iconFrameLeft,
                                 &g.iconFrameRight,
                                 &g.iconFrameBottom,
                                 &g.iconInset,
                                 &g.iconSize,
                                 &g.barLeftWithIcon,
                                 &g.barLeftWithoutIcon,
                                 &g.barRightGap,
                                 &g.textLeft,
                                 &g.submenuArrowColumns,
                                 &g.submenuArrowTipInset,
                                 &g.submenuArrowMiddle,
                                 &g.contextKeyX,
                                 &g.contextKeyY,
                                 &g.detailGap,
                                 &g.caretGap};
        for (int* measure : measures)
            *measure = ScaleRounded(*measure, dpi, kBaseDpi);
        const int textMargin = MenuGeometry().itemHeight - baseTextHeight;
        if (baseTextHeight > 0 && textHeight + textMargin > g.itemHeight)
            g.itemHeight = textHeight + textMargin;
        return g;
    }
};
