#include "flatmenu/menu_drawing.h"

namespace {
const int kTextBoxSize = 1000;
const int kPlainTextLimit = 1024; // longer text is drawn the general way

HDC ContextFor(HDC dc, bool wanted) {
    return wanted ? CreateCompatibleDC(dc) : nullptr;
}

void DrawMaskedIcon(HDC dc, HDC imageDc, HDC maskDc, int sourceX, int x, int y, int size) {
    const int cx = size, cy = size;
    BitBlt(dc, x, y, cx, cy, maskDc, sourceX, 0, SRCAND);
    BitBlt(dc, x, y, cx, cy, imageDc, sourceX, 0, SRCPAINT);
}

// Colour-key transparency: masks are built from the whole strip, the icon is
// composed over the screen behind it, and the strip is restored.
void DrawKeyedIcon(HDC dc, HBITMAP image, COLORREF transparent, int sourceX, int x, int y,
                   int iconSize) {
    const int cx = iconSize, cy = iconSize;
    OwnedDc stripDc(CreateCompatibleDC(dc));
    SelectedObject strip(stripDc.Get(), image);
    BITMAP info = {};
    GetObjectA(image, sizeof info, &info);
    POINT size = {info.bmWidth, info.bmHeight};
    DPtoLP(stripDc.Get(), &size, 1);
    const int w = size.x, h = size.y;

    OwnedDc backDc(CreateCompatibleDC(dc));
    OwnedDc objectDc(CreateCompatibleDC(dc));
    OwnedDc memoryDc(CreateCompatibleDC(dc));
    OwnedDc saveDc(CreateCompatibleDC(dc));
    OwnedBitmap backBitmap(CreateBitmap(w, h, 1, 1, nullptr));
    OwnedBitmap objectBitmap(CreateBitmap(w, h, 1, 1, nullptr));
    OwnedBitmap memoryBitmap(CreateCompatibleBitmap(dc, w, h));
    OwnedBitmap saveBitmap(CreateCompatibleBitmap(dc, w, h));
    SelectedObject back(backDc.Get(), backBitmap.Get());
    SelectedObject object(objectDc.Get(), objectBitmap.Get());
    SelectedObject memory(memoryDc.Get(), memoryBitmap.Get());
    SelectedObject save(saveDc.Get(), saveBitmap.Get());

    SetMapMode(stripDc.Get(), GetMapMode(dc));
    BitBlt(saveDc.Get(), 0, 0, w, h, stripDc.Get(), 0, 0, SRCCOPY);

    COLORREF previousBack = SetBkColor(stripDc.Get(), transparent);
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
} // namespace

void DrawEntryText(HDC dc, int x, int y, const std::string& text) {
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

StripContexts::StripContexts(HDC dc, const MenuStrips& strips, bool wanted)
    : m_imageDc(ContextFor(dc, wanted && strips.Mask())),
      m_maskDc(ContextFor(dc, wanted && strips.Mask())),
      m_image(m_imageDc.Get(), m_imageDc ? strips.Image() : nullptr),
      m_mask(m_maskDc.Get(), m_maskDc ? strips.Mask() : nullptr) {}

void DrawStripIcon(HDC dc, const MenuStrips& strips, COLORREF transparent, int sourceX, int x,
                   int y, int size, const StripContexts* paintContexts) {
    if (!strips.Image()) return;
    if (!strips.Mask()) {
        DrawKeyedIcon(dc, strips.Image(), transparent, sourceX, x, y, size);
        return;
    }
    if (paintContexts && paintContexts->Ready()) {
        DrawMaskedIcon(dc, paintContexts->Image(), paintContexts->Mask(), sourceX, x, y, size);
        return;
    }
    OwnedDc imageDc(CreateCompatibleDC(dc));
    OwnedDc maskDc(CreateCompatibleDC(dc));
    SelectedObject image(imageDc.Get(), strips.Image());
    SelectedObject mask(maskDc.Get(), strips.Mask());
    DrawMaskedIcon(dc, imageDc.Get(), maskDc.Get(), sourceX, x, y, size);
}
