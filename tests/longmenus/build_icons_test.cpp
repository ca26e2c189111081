// Menus whose items share icons: every item still gets bitmaps of its own,
// true to its icon, and nothing read or drawn for the build outlives it.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <set>
#include <vector>
#include "menubuild/native_menu.h"
#include "tests/support/test_press.h"
#include "tests/support/test_support.h"

namespace {
const char kSettings[] = "Software\\Quoril\\RoduzuRodidiVo\\Settings";
const char kNotepad[] = "C:\\windows\\notepad.exe";
const char kShell32[] = "C:\\windows\\system32\\shell32.dll";

// Image and mask of icon `index` of `file`, drawn the general way, outside
// any build.
struct Drawn {
    std::vector<DWORD> image, mask;
};
Drawn Reference(const char* file, int index) {
    Drawn drawn;
    HICON icon = ExtractIconA(GetModuleHandleA(nullptr), file, index);
    if (!icon || icon == reinterpret_cast<HICON>(1)) return drawn;
    HBITMAP mask = nullptr;
    HBITMAP image = IconToBitmaps(nullptr, icon, GetSystemMetrics(SM_CXSMICON),
                                  GetSystemMetrics(SM_CYSMICON), &mask);
    drawn.image = qtest::BitmapPixels(image);
    drawn.mask = qtest::BitmapPixels(mask);
    DeleteObject(image);
    DeleteObject(mask);
    DestroyIcon(icon);
    return drawn;
}

struct ItemBitmaps {
    std::string text;
    HBITMAP image, mask;
};
std::vector<ItemBitmaps> ItemsOf(HMENU menu) {
    std::vector<ItemBitmaps> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[260] = "";
        MENUITEMINFOA info = {};
        info.cbSize = offsetof(MENUITEMINFOA, hbmpItem);
        info.fMask = MIIM_CHECKMARKS | MIIM_TYPE;
        info.dwTypeData = text;
        info.cch = sizeof text;
        if (GetMenuItemInfoA(menu, i, TRUE, &info))
            items.push_back({text, info.hbmpUnchecked, info.hbmpChecked});
    }
    return items;
}

class BuildIcons : public ::testing::Test {
  protected:
    void SetUp() override { qtest::DeleteProductKey(); }
    void TearDown() override { qtest::DeleteProductKey(); }
    // Builds the stored menu into `root` as a press of this test does; the
    // presses of one test share what they keep.
    int Build(HWND window, HMENU root) {
        return qtest::BuildFromStore(m_press.Context(), window, root);
    }
    qtest::TestPress m_press;
    // `count` items of each kind: notepad's icon, icon 3 of shell32.dll, and a
    // program that does not exist.
    void Seed(int count) {
        for (int i = 0; i < count; ++i) {
            char name[32];
            snprintf(name, sizeof name, "Notepad %02d", i);
            qtest::SetStringValue(kSettings, name, std::string(kNotepad) + ",,,,0,0,0,0");
            snprintf(name, sizeof name, "Library %02d", i);
            qtest::SetStringValue(kSettings, name, std::string("x.exe,,,") + kShell32 + ",3,0,0,0");
            snprintf(name, sizeof name, "Missing %02d", i);
            qtest::SetStringValue(kSettings, name, "C:\\nowhere\\gone.exe,,,,0,0,0,0");
        }
    }
};
} // namespace

TEST_F(BuildIcons, ItemsSharingAnIconEachGetTheirOwnTrueBitmaps) {
    Seed(20);
    const Drawn notepad = Reference(kNotepad, 0);
    const Drawn library = Reference(kShell32, 3);
    ASSERT_FALSE(notepad.image.empty());
    ASSERT_FALSE(library.image.empty());
    HMENU root = CreatePopupMenu();
    ASSERT_TRUE(Build(nullptr, root));
    std::vector<ItemBitmaps> items = ItemsOf(root);
    ASSERT_EQ(60u, items.size());
    std::set<HBITMAP> seen;
    for (const ItemBitmaps& item : items) {
        SCOPED_TRACE(item.text);
        if (item.text.compare(0, 7, "Missing") == 0) {
            EXPECT_EQ(nullptr, item.image);
            EXPECT_EQ(nullptr, item.mask);
            continue;
        }
        ASSERT_NE(nullptr, item.image);
        ASSERT_NE(nullptr, item.mask);
        EXPECT_TRUE(seen.insert(item.image).second) << "an image bitmap shared by two items";
        EXPECT_TRUE(seen.insert(item.mask).second) << "a mask bitmap shared by two items";
        // Read after the build has ended and released its icons.
        const Drawn& expected = item.text[0] == 'N' ? notepad : library;
        EXPECT_EQ(expected.image, qtest::BitmapPixels(item.image));
        EXPECT_EQ(expected.mask, qtest::BitmapPixels(item.mask));
    }
    DestroyMenuTree(root);
    DestroyMenu(root);
}

TEST_F(BuildIcons, RepeatedBuildsLeaveNoIconOrBitmapBehind) {
    Seed(10);
    HMENU warmUp = CreatePopupMenu();
    Build(nullptr, warmUp);
    DestroyMenuTree(warmUp);
    DestroyMenu(warmUp);
    const int gdi = qtest::LiveGdiObjects();
    for (int i = 0; i < 20; ++i) {
        HMENU root = CreatePopupMenu();
        ASSERT_TRUE(Build(nullptr, root));
        DestroyMenuTree(root);
        DestroyMenu(root);
    }
    // An icon kept past its build would hold its colour and mask bitmaps.
    EXPECT_EQ(gdi, qtest::LiveGdiObjects());
}

TEST_F(BuildIcons, IconsForAWindowAreMadeForThatWindowsDeviceContext) {
    Seed(2);
    qtest::HostWindow host;
    HMENU root = CreatePopupMenu();
    ASSERT_TRUE(Build(host.Handle(), root));
    HDC dc = GetDC(host.Handle());
    const int depth = GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(host.Handle(), dc);
    int withIcons = 0;
    for (const ItemBitmaps& item : ItemsOf(root)) {
        if (!item.image) continue;
        ++withIcons;
        BITMAP bm = {};
        ASSERT_TRUE(GetObjectA(item.image, sizeof bm, &bm));
        EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), bm.bmWidth);
        EXPECT_EQ(GetSystemMetrics(SM_CYSMICON), bm.bmHeight);
        EXPECT_EQ(depth, bm.bmBitsPixel) << "a colour bitmap of the window's format";
        ASSERT_TRUE(GetObjectA(item.mask, sizeof bm, &bm));
        EXPECT_EQ(depth, bm.bmBitsPixel) << "the mask too is a colour bitmap";
        DIBSECTION section = {};
        EXPECT_EQ(static_cast<int>(sizeof(BITMAP)),
                  GetObjectA(item.image, sizeof section, &section))
            << "a device-dependent bitmap, not a DIB section";
    }
    EXPECT_EQ(4, withIcons);
    DestroyMenuTree(root);
    DestroyMenu(root);
}
