#include "flatmenu/menu_palette.h"
#include <utility>

namespace {
const char kFontFace[] = "MS Sans Serif";
const int kFontPoints = 8;

HFONT MakeFont(int dpi, int weight) {
    LOGFONTA font = {};
    font.lfHeight = -MulDiv(kFontPoints, dpi, 72);
    font.lfWeight = weight;
    lstrcpynA(font.lfFaceName, kFontFace, LF_FACESIZE);
    return CreateFontIndirectA(&font);
}

int TextHeight(HDC dc, HFONT font) {
    SelectedObject selected(dc, font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    return metrics.tmHeight;
}

// The taller of the two fonts at 96 DPI: the same for every menu of the
// process, so measured once.
int TallestTextAtBaseDpi(HDC measuringDc) {
    static const int tallest = [measuringDc] {
        OwnedFont normal(MakeFont(MenuGeometry::kBaseDpi, FW_NORMAL));
        OwnedFont bold(MakeFont(MenuGeometry::kBaseDpi, FW_BOLD));
        const int normalHeight = TextHeight(measuringDc, normal.Get());
        const int boldHeight = TextHeight(measuringDc, bold.Get());
        return normalHeight > boldHeight ? normalHeight : boldHeight;
    }();
    return tallest;
}

HPEN SolidPen(COLORREF colour) {
    return CreatePen(PS_SOLID, 1, colour);
}
} // namespace

MenuColours MenuColours::FromSystem() {
    MenuColours colours;
    colours.frame = GetSysColor(COLOR_MENUTEXT);
    colours.background = GetSysColor(COLOR_MENU);
    colours.text = GetSysColor(COLOR_MENUTEXT);
    colours.disabledText = GetSysColor(COLOR_GRAYTEXT);
    colours.highlightedText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    colours.highlight = GetSysColor(COLOR_HIGHLIGHT);
    colours.transparent = 0xFF00FF; // magenta
    colours.light = GetSysColor(COLOR_BTNHIGHLIGHT);
    colours.shadow = GetSysColor(COLOR_BTNSHADOW);
    return colours;
}

MenuStrips MenuStrips::For(HINSTANCE instance, int bitmapId, HBITMAP image, HBITMAP mask) {
    MenuStrips strips;
    if (bitmapId == fpmUserBitmap) {
        strips.m_image = image;
        strips.m_mask = mask;
    } else if (bitmapId != fpmNoBitmap) {
        strips.m_loaded.Reset(LoadBitmapA(instance, MAKEINTRESOURCEA(bitmapId & 0xFFFF)));
    }
    return strips;
}

OwnedDc MakeMeasuringDc() {
    return OwnedDc(CreateCompatibleDC(nullptr));
}

MenuPalette::MenuPalette(const MenuColours& colours, HDC measuringDc, MenuStrips strips, int dpi)
    : m_colours(colours), m_strips(std::move(strips)) {
    SetDpi(measuringDc, dpi);

    m_framePen.Reset(SolidPen(colours.frame));
    m_lightPen.Reset(SolidPen(colours.light));
    m_shadowPen.Reset(SolidPen(colours.shadow));
    m_backgroundPen.Reset(SolidPen(colours.background));
    m_textPen.Reset(SolidPen(colours.text));
    m_highlightedTextPen.Reset(SolidPen(colours.highlightedText));
    m_backgroundBrush.Reset(CreateSolidBrush(colours.background));
    m_highlightBrush.Reset(CreateSolidBrush(colours.highlight));
}

void MenuPalette::SetDpi(HDC measuringDc, int dpi) {
    m_normalFont.Reset(MakeFont(dpi, FW_NORMAL));
    m_boldFont.Reset(MakeFont(dpi, FW_BOLD));
    m_normalTextHeight = TextHeight(measuringDc, m_normalFont.Get());
    m_boldTextHeight = TextHeight(measuringDc, m_boldFont.Get());
    int tallest = m_normalTextHeight > m_boldTextHeight ? m_normalTextHeight : m_boldTextHeight;
    // An entry keeps at least the margin around its text that it has at 96
    // DPI, whatever size the fonts come in at another DPI.
    const int baseTallest =
        dpi == MenuGeometry::kBaseDpi ? tallest : TallestTextAtBaseDpi(measuringDc);
    m_geometry = MenuGeometry::ForDpi(dpi, tallest, baseTallest);
}
