#include "flatmenu/menu_palette.h"
#include <utility>

namespace {
const char kFontFace[] = "MS Sans Serif";
const int kFontPoints = 8;

int TextHeight(HDC dc, HFONT font) {
    SelectedObject selected(dc, font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    return metrics.tmHeight;
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

MenuPalette::MenuPalette(const MenuColours& colours, HDC measuringDc, MenuStrips strips)
    : m_colours(colours), m_strips(std::move(strips)) {
    LOGFONTA font = {};
    font.lfHeight = -MulDiv(kFontPoints, GetDeviceCaps(measuringDc, LOGPIXELSY), 72);
    font.lfWeight = FW_NORMAL;
    lstrcpynA(font.lfFaceName, kFontFace, LF_FACESIZE);
    m_normalFont.Reset(CreateFontIndirectA(&font));
    font.lfWeight = FW_BOLD;
    m_boldFont.Reset(CreateFontIndirectA(&font));
    m_normalTextHeight = TextHeight(measuringDc, m_normalFont.Get());
    m_boldTextHeight = TextHeight(measuringDc, m_boldFont.Get());

    m_framePen.Reset(SolidPen(colours.frame));
    m_lightPen.Reset(SolidPen(colours.light));
    m_shadowPen.Reset(SolidPen(colours.shadow));
    m_backgroundPen.Reset(SolidPen(colours.background));
    m_textPen.Reset(SolidPen(colours.text));
    m_highlightedTextPen.Reset(SolidPen(colours.highlightedText));
    m_backgroundBrush.Reset(CreateSolidBrush(colours.background));
    m_highlightBrush.Reset(CreateSolidBrush(colours.highlight));
}
