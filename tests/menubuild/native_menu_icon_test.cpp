// Icons of native items: where they come from, and the image and mask
// bitmaps made from them.
#include <gtest/gtest.h>
#include "tests/support/test_support.h"
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include "menubuild/native_menu.h"
#include "tests/menubuild/native_menu_test_util.h"

using namespace menutest;
using qtest::SetStringValue;

namespace {
const char kNotepad[] = "C:\\windows\\notepad.exe";
const char kShell32[] = "C:\\windows\\system32\\shell32.dll";

int SmallX() {
    return GetSystemMetrics(SM_CXSMICON);
}
int SmallY() {
    return GetSystemMetrics(SM_CYSMICON);
}


// The icon `index` of `file` drawn the way the item's bitmaps should be.
struct Reference {
    std::vector<DWORD> image, mask;
};

Reference DrawReference(const char* file, UINT index) {
    Reference ref;
    HICON icon = ExtractIconA(GetModuleHandleA(nullptr), file, index);
    if (!icon || icon == reinterpret_cast<HICON>(1)) return ref;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    for (UINT flag : {DI_IMAGE, DI_MASK}) {
        HBITMAP bitmap = CreateCompatibleBitmap(screen, SmallX(), SmallY());
        HGDIOBJ old = SelectObject(dc, bitmap);
        DrawIconEx(dc, 0, 0, icon, SmallX(), SmallY(), 0, nullptr, flag);
        SelectObject(dc, old);
        (flag == DI_IMAGE ? ref.image : ref.mask) = qtest::BitmapPixels(bitmap);
        DeleteObject(bitmap);
    }
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    DestroyIcon(icon);
    return ref;
}

void ExpectSmallColourBitmap(HBITMAP bitmap) {
    BITMAP bm = {};
    ASSERT_EQ(static_cast<int>(sizeof bm), GetObjectA(bitmap, sizeof bm, &bm));
    EXPECT_EQ(SmallX(), bm.bmWidth);
    EXPECT_EQ(SmallY(), bm.bmHeight);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), bm.bmBitsPixel) << "not monochrome";
    ReleaseDC(nullptr, screen);
}

class NativeMenuIcons : public ::testing::Test {
  protected:
    void SetUp() override { ResetStore(); }
    void TearDown() override { qtest::DeleteProductKey(); }
};
} // namespace

TEST_F(NativeMenuIcons, ProgramIconBecomesImageAndMask) {
    SetStringValue(kSettings, "Notepad", std::string(kNotepad) + ",,,,0,0,1,0");
    qtest::HostWindow host;
    BuiltMenu menu(host.Handle());
    Item item = ItemAt(menu.Root(), "Notepad");
    ASSERT_NE(nullptr, item.image);
    ASSERT_NE(nullptr, item.mask);
    ExpectSmallColourBitmap(item.image);
    ExpectSmallColourBitmap(item.mask);
    Reference ref = DrawReference(kNotepad, 0);
    ASSERT_FALSE(ref.image.empty());
    EXPECT_EQ(ref.image, qtest::BitmapPixels(item.image));
    std::vector<DWORD> mask = qtest::BitmapPixels(item.mask);
    EXPECT_EQ(ref.mask, mask);
    for (DWORD p : mask)
        ASSERT_TRUE(p == 0 || p == 0xFFFFFF) << std::hex << p;
}

TEST_F(NativeMenuIcons, IconPathAndIndexComeBeforeTheTarget) {
    SetStringValue(kSettings, "Item", std::string(kNotepad) + ",,," + kShell32 + ",3,0,1,0");
    BuiltMenu menu;
    Item item = ItemAt(menu.Root(), "Item");
    ASSERT_NE(nullptr, item.image);
    ASSERT_NE(nullptr, item.mask);
    Reference third = DrawReference(kShell32, 3);
    Reference notepad = DrawReference(kNotepad, 0);
    ASSERT_FALSE(third.image.empty());
    ASSERT_NE(notepad.image, third.image) << "the two icons must be told apart";
    EXPECT_EQ(third.image, qtest::BitmapPixels(item.image));
    EXPECT_EQ(third.mask, qtest::BitmapPixels(item.mask));
}

TEST_F(NativeMenuIcons, SubmenuTakesItsIconFromItsRecord) {
    SetStringValue(Path("Sub"), "", std::string(",,,") + kShell32 + ",3,,1,0");
    SetStringValue(Path("Plain"), "", ",,,,,,2,0");
    BuiltMenu menu;
    Item sub = ItemAt(menu.Root(), "Sub");
    ASSERT_NE(nullptr, sub.image);
    EXPECT_EQ(DrawReference(kShell32, 3).image, qtest::BitmapPixels(sub.image));
    Item plain = ItemAt(menu.Root(), "Plain");
    EXPECT_EQ(nullptr, plain.image);
    EXPECT_EQ(nullptr, plain.mask);
}

TEST_F(NativeMenuIcons, ItemsWithoutAnIconAreStillInserted) {
    char textFile[MAX_PATH];
    GetTempPathA(MAX_PATH, textFile);
    lstrcatA(textFile, "quoril-icon-test.txt");
    FILE* f = fopen(textFile, "w");
    ASSERT_NE(nullptr, f);
    fputs("no icons here\n", f);
    fclose(f);

    SetStringValue(kSettings, "Beyond", std::string(kShell32) + ",,,,100000,0,1,0");
    SetStringValue(kSettings, "Text", std::string(textFile) + ",,,,0,0,2,0");
    SetStringValue(kSettings, "Missing", "C:\\no\\such\\file.exe,,,,0,0,3,0");
    SetStringValue(kSettings, "Nothing", ",,,,0,0,4,0");
    SetStringValue(kSettings, "CountIndex", std::string(kShell32) + ",,,,-1,0,5,0");
    int gdiBefore = qtest::LiveGdiObjects();
    {
        BuiltMenu menu;
        EXPECT_EQ(5, GetMenuItemCount(menu.Root()));
        for (const Item& item : Items(menu.Root())) {
            EXPECT_EQ(nullptr, item.image) << item.text;
            EXPECT_EQ(nullptr, item.mask) << item.text;
        }
    }
    EXPECT_EQ(gdiBefore, qtest::LiveGdiObjects()) << "a rejected icon was left behind";
    DeleteFileA(textFile);
}

TEST_F(NativeMenuIcons, IconToBitmapsHandsOutOrDeletesTheMask) {
    HICON icon = ExtractIconA(GetModuleHandleA(nullptr), kNotepad, 0);
    ASSERT_NE(nullptr, icon);
    // Warm up the DC cache, then make sure the counter sees a single bitmap
    // come and go.
    DeleteObject(IconToBitmaps(nullptr, icon, 16, 16, nullptr));
    HDC screen = GetDC(nullptr);
    int base = qtest::LiveGdiObjects();
    HBITMAP probe = CreateCompatibleBitmap(screen, 4, 4);
    ASSERT_EQ(base + 1, qtest::LiveGdiObjects());
    DeleteObject(probe);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(base, qtest::LiveGdiObjects());

    HBITMAP mask = nullptr;
    HBITMAP image = IconToBitmaps(nullptr, icon, 20, 12, &mask);
    ASSERT_NE(nullptr, image);
    ASSERT_NE(nullptr, mask);
    EXPECT_EQ(base + 2, qtest::LiveGdiObjects()) << "only the two bitmaps may stay";
    BITMAP bm = {};
    GetObjectA(mask, sizeof bm, &bm);
    EXPECT_EQ(20, bm.bmWidth);
    EXPECT_EQ(12, bm.bmHeight);
    DeleteObject(image);
    DeleteObject(mask);

    image = IconToBitmaps(nullptr, icon, 16, 16, nullptr);
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(base + 1, qtest::LiveGdiObjects()) << "an unwanted mask must be deleted";
    DeleteObject(image);
    EXPECT_EQ(base, qtest::LiveGdiObjects());
    DestroyIcon(icon);
}

TEST_F(NativeMenuIcons, IconToBitmapsWithoutDeviceContextLeavesMaskUntouched) {
    HICON icon = ExtractIconA(GetModuleHandleA(nullptr), kNotepad, 0);
    ASSERT_NE(nullptr, icon);
    HWND gone = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    HBITMAP marker = reinterpret_cast<HBITMAP>(0x1234);
    HBITMAP mask = marker;
    int base = qtest::LiveGdiObjects();
    EXPECT_EQ(nullptr, IconToBitmaps(gone, icon, 16, 16, &mask));
    EXPECT_EQ(marker, mask);
    EXPECT_EQ(base, qtest::LiveGdiObjects());
    DestroyIcon(icon);
}
