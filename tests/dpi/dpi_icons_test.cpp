// Icons at the lane's DPI: a popup's strip holds each icon read from its file
// at the scaled small-icon size, and the menu shows it whole in its slot.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <vector>
#include "menubuild/flat_popup_build.h"
#include "menubuild/kept_icons.h"
#include "menubuild/native_build.h"
#include "menubuild/popup_tree.h"
#include "tests/dpi/dpi_test_support.h"
#include "tests/support/test_press.h"

using dpitest::Scaled;

namespace {
const char kNotepad[] = "C:\\windows\\notepad.exe";

// `icon` drawn at size x size on a fresh (black) bitmap, as pixels.
std::vector<DWORD> Drawn(HICON icon, int size, UINT part) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ old = SelectObject(dc, bitmap);
    DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, part);
    SelectObject(dc, old);
    std::vector<DWORD> pixels = qtest::BitmapPixels(bitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Icon 0 of `file` as the system reads it for `size` x `size`.
HICON IconOfSize(const char* file, int size) {
    HICON icon = nullptr;
    UINT id = 0;
    PrivateExtractIconsA(file, 0, size, size, &icon, &id, 1, 0);
    return icon;
}

// The pixels of slot `slot` (size x size) of a strip's pixels.
std::vector<DWORD> Slot(const std::vector<DWORD>& strip, int stripWidth, int slot, int size) {
    std::vector<DWORD> pixels;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            pixels.push_back(strip[static_cast<size_t>(y) * stripWidth + slot * size + x]);
    return pixels;
}

COLORREF AsColorRef(DWORD pixel) {
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

// A popup of one entry with Notepad's icon, built as a press builds it.
class DpiIcons : public ::testing::Test {
  protected:
    void SetUp() override {
        size = press.Context().IconSize();
        ASSERT_NE(nullptr, native.Get());
        NativeBuild build(press.Context(), host.Handle());
        HBITMAP mask = nullptr;
        HBITMAP image = build.ItemIconBitmaps(kNotepad, 0, size, size, &mask);
        ASSERT_NE(nullptr, image) << "Notepad has no icon";
        MENUITEMINFOA item = {};
        item.cbSize = QUORIL_MENUITEMINFO_SIZE;
        item.fMask = MIIM_CHECKMARKS | MIIM_TYPE | MIIM_ID;
        item.fType = MFT_STRING;
        item.dwTypeData = const_cast<char*>("Notepad");
        item.wID = 1;
        item.hbmpUnchecked = image;
        item.hbmpChecked = mask;
        ASSERT_TRUE(InsertMenuItemA(native.Get(), 0, TRUE, &item));
    }

    qtest::HostWindow host;
    qtest::TestPress press{host.Handle()};
    OwnedMenuTree native{CreatePopupMenu()};
    int size = 0;
};
} // namespace

TEST_F(DpiIcons, TheStripHoldsTheIconReadAtTheScaledSize) {
    EXPECT_EQ(Scaled(16), size);
    IconStrips strips = BuildIconStrips(press.Context(), native.Get(), host.Handle());
    ASSERT_TRUE(strips);
    BITMAP info = {};
    GetObjectA(strips.image.Get(), sizeof info, &info);
    EXPECT_EQ(size, info.bmWidth) << "one slot";
    EXPECT_EQ(size, info.bmHeight);

    // At 96 DPI the menus keep the icons they always had: the file's large
    // icon drawn small. At any other DPI the file's icon for that size.
    HICON icon = size == 16 ? ExtractIconA(GetModuleHandleA(nullptr), kNotepad, 0)
                            : IconOfSize(kNotepad, size);
    ASSERT_NE(nullptr, icon);
    const std::vector<DWORD> image = qtest::BitmapPixels(strips.image.Get());
    EXPECT_EQ(Drawn(icon, size, DI_IMAGE), Slot(image, info.bmWidth, 0, size));
    DestroyIcon(icon);
    if (size >= 32) {
        // Notepad has icons that large: not its 16-pixel icon stretched.
        HICON small = IconOfSize(kNotepad, 16);
        EXPECT_NE(Drawn(small, size, DI_IMAGE), Slot(image, info.bmWidth, 0, size));
        DestroyIcon(small);
    }
}

TEST_F(DpiIcons, TheMenuShowsTheIconWholeInItsScaledSlot) {
    IconStrips strips = BuildIconStrips(press.Context(), native.Get(), host.Handle());
    ASSERT_TRUE(strips);
    CFlatPopupMenu menu;
    ASSERT_TRUE(menu.Create(GetModuleHandleA(nullptr), fpmUserBitmap, host.Handle(),
                            strips.image.Get(), strips.mask.Get(), nullptr));
    menu.AppendItem(0, "Notepad", 1, 0);
    ASSERT_TRUE(dpitest::ShowPainted(menu, 100, 100));
    const qtest::Snapshot shot(menu.Window());
    const std::vector<DWORD> image = qtest::BitmapPixels(strips.image.Get());
    const std::vector<DWORD> mask = qtest::BitmapPixels(strips.mask.Get());
    const int left = Scaled(3) + Scaled(1), top = menu.Rows().Item(0)->top + Scaled(1);
    EXPECT_LE(left + size, Scaled(25)) << "the icon ends before the text starts";
    int opaque = 0, wrong = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const size_t at = static_cast<size_t>(y) * size + x;
            if ((mask[at] & 0xFFFFFF) != 0) continue; // transparent there
            ++opaque;
            if (shot.Pixel(left + x, top + y) != AsColorRef(image[at])) ++wrong;
        }
    EXPECT_GT(opaque, size * size / 4) << "hardly any of the icon is opaque";
    EXPECT_EQ(0, wrong) << "of " << opaque << " opaque pixels";
}

TEST(DpiKeptIcons, EachSizeOfAnIconIsKeptApart) {
    KeptIcons kept;
    kept.BeginUse();
    const IconFileStamp stamp = {1234, {5, 6}};
    for (int size : {16, 24}) {
        IconPixels pixels;
        pixels.cx = pixels.cy = size;
        pixels.image.assign(static_cast<size_t>(size) * size, static_cast<DWORD>(size));
        pixels.mask.assign(pixels.image.size(), 0);
        ASSERT_NE(nullptr, kept.Keep("C:\\app.exe", 0, stamp, std::move(pixels)));
    }
    EXPECT_EQ(2u, kept.Count()) << "the second size took the first one's place";
    for (int size : {16, 24}) {
        const IconPixels* found = kept.Find("C:\\app.exe", 0, stamp, size, size);
        ASSERT_NE(nullptr, found) << size;
        EXPECT_EQ(size, found->cx);
        EXPECT_EQ(static_cast<DWORD>(size), found->image[0]);
    }
    EXPECT_EQ(nullptr, kept.Find("C:\\app.exe", 0, stamp, 32, 32)) << "a size never read";
}

TEST_F(DpiIcons, APressForAnotherDpiReadsItsIconsAtThatDpisSize) {
    PressContext& context = press.Context();
    const int laneDpi = dpitest::ListedDpi();
    for (int dpi : {laneDpi * 2, laneDpi}) {
        context.dpi = dpi;
        NativeBuild build(context, host.Handle());
        HBITMAP mask = nullptr;
        OwnedBitmap image(
            build.ItemIconBitmaps(kNotepad, 0, build.IconSize(), build.IconSize(), &mask));
        OwnedBitmap ownedMask(mask);
        ASSERT_TRUE(image.Get()) << dpi;
        BITMAP info = {};
        GetObjectA(image.Get(), sizeof info, &info);
        EXPECT_EQ(MulDiv(16, dpi, 96), info.bmWidth) << "at " << dpi << " DPI";
        EXPECT_EQ(MulDiv(16, dpi, 96), info.bmHeight) << "at " << dpi << " DPI";
    }
}

TEST_F(DpiIcons, TheHotEntryFramesItsIconInScaledLinesAndIsHighlightedWhole) {
    IconStrips strips = BuildIconStrips(press.Context(), native.Get(), host.Handle());
    ASSERT_TRUE(strips);
    CFlatPopupMenu menu;
    ASSERT_TRUE(menu.Create(GetModuleHandleA(nullptr), fpmUserBitmap, host.Handle(),
                            strips.image.Get(), strips.mask.Get(), nullptr));
    menu.AppendItem(0, "Notepad", 1, 0);
    ASSERT_TRUE(dpitest::ShowPainted(menu, 100, 100));
    const FlatMenuItem& entry = *menu.Rows().Item(0);
    PostMessageA(menu.Window(), WM_MOUSEMOVE, 0,
                 MAKELPARAM(Scaled(40), entry.top + entry.height / 2));
    ASSERT_TRUE(qtest::WaitFor([&] { return menu.Rows().HotIndex() == 0; }));
    UpdateWindow(menu.Window());
    const qtest::Snapshot shot(menu.Window());

    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
    const int t = entry.top, line = Scaled(1);
    const int left = Scaled(3), right = Scaled(22), bottom = t + Scaled(18);
    const int middleX = (left + right) / 2, middleY = (t + bottom) / 2;
    for (int i = 0; i < line; ++i) {
        EXPECT_EQ(light, shot.Pixel(left + i, middleY)) << "left edge, line " << i;
        EXPECT_EQ(light, shot.Pixel(middleX, t + i)) << "top edge, line " << i;
        EXPECT_EQ(shadow, shot.Pixel(right - i, middleY)) << "right edge, line " << i;
        EXPECT_EQ(shadow, shot.Pixel(middleX, bottom - i)) << "bottom edge, line " << i;
    }
    // Between the icon and the frame's right edge: the edge is `line` wide.
    EXPECT_NE(shadow, shot.Pixel(right - line, middleY)) << "the frame is " << line << " wide";
    EXPECT_NE(shadow, shot.Pixel(right + 1, middleY));

    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    // Drawn without a pen, the bar's rectangle leaves out its last column.
    const int barRight = menu.Rows().Width() - Scaled(2) - 2;
    EXPECT_EQ(highlight, shot.Pixel(barRight, t));
    EXPECT_EQ(highlight, shot.Pixel(barRight, t + entry.height - 1));
    EXPECT_NE(highlight, shot.Pixel(barRight, t + entry.height));
    EXPECT_NE(highlight, shot.Pixel(barRight + 1, t + entry.height / 2));
    EXPECT_EQ(highlight, shot.Pixel(Scaled(23), t + entry.height / 2)) << "the bar's left end";
    EXPECT_NE(highlight, shot.Pixel(Scaled(23) - 1, t + entry.height / 2));
}
