// Releasing the native tree, and what a failed insertion leaves behind:
// registry keys, GDI objects, record copies and submenus.
#include <gtest/gtest.h>
#include "menubuild/native_build.h"
#include "menubuild/native_menu.h"
#include "store/stored_menu.h"
#include "tests/menubuild/native_menu_test_util.h"

using namespace menutest;
using qtest::SetStringValue;

namespace {
const std::string kIcon = "C:\\windows\\notepad.exe,,,,0,0,";

class NativeMenuRelease : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetStore();
        // Three levels, icons, separators, an empty submenu and a submenu
        // without record: every kind of item and attachment.
        SetStringValue(kSettings, "A", kIcon + "1,0");
        SetStringValue(kSettings, "B", kIcon + "2,1");
        SetStringValue(Path("S"), "", ",,,C:\\windows\\system32\\shell32.dll,3,,3,1");
        SetStringValue(Path("S"), "C", kIcon + "1,0");
        SetStringValue(Path("S\\T"), "D", kIcon + "1,1");
        SetStringValue(Path("S\\Empty"), "", ",,,,,,2,0");
        SetStringValue(Path("NoRecord"), "E", "C:\\e.exe,,,,0,0,1,0");
    }
    void TearDown() override { qtest::DeleteProductKey(); }

    // Builds and releases once, so caches of the registry, GDI and menus
    // (and the icons kept between builds) are warm before anything is counted.
    void WarmUp() {
        HMENU root = CreatePopupMenu();
        Build(root);
        DestroyMenuTree(root);
        DestroyMenu(root);
    }
    int Build(HMENU root) { return qtest::BuildFromStore(m_press.Context(), nullptr, root); }

    // The builds of one test share the icons they keep.
    qtest::TestPress m_press;
};

// Every submenu of a tree, depth first.
void CollectSubmenus(HMENU menu, std::vector<HMENU>* out) {
    for (const Item& item : Items(menu)) {
        if (item.submenu) {
            out->push_back(item.submenu);
            CollectSubmenus(item.submenu, out);
        }
    }
}

// Items of a tree that carry icon bitmaps, and record copies.
void CountAttachments(HMENU menu, int* withIcons, int* copies) {
    for (const Item& item : Items(menu)) {
        if (item.image) ++*withIcons;
        if (item.data) ++*copies;
        if (item.submenu) CountAttachments(item.submenu, withIcons, copies);
    }
}
} // namespace

TEST_F(NativeMenuRelease, DestroyMenuTreeLeavesNothingBehind) {
    WarmUp();
    // The GDI counter must see one bitmap come and go.
    int gdiBase = qtest::LiveGdiObjects();
    HBITMAP probe = CreateBitmap(4, 4, 1, 32, nullptr);
    ASSERT_EQ(gdiBase + 1, qtest::LiveGdiObjects());
    DeleteObject(probe);
    ASSERT_EQ(gdiBase, qtest::LiveGdiObjects());
    int handlesBase = qtest::OpenHandles();
    size_t heapBase = qtest::HeapInUse();

    HMENU root = CreatePopupMenu();
    ASSERT_NE(0, Build(root));
    EXPECT_EQ(handlesBase, qtest::OpenHandles()) << "a registry key stayed open after the build";
    int withIcons = 0, copies = 0;
    CountAttachments(root, &withIcons, &copies);
    // A, B, S, C and D have icons; their records, the separators' records,
    // the submenu records and the placeholder are copies.
    EXPECT_EQ(5, withIcons);
    EXPECT_EQ(gdiBase + 2 * withIcons, qtest::LiveGdiObjects()) << "image and mask per icon";
    EXPECT_GT(qtest::HeapInUse(), heapBase);
    std::vector<HMENU> submenus;
    CollectSubmenus(root, &submenus);
    ASSERT_EQ(4u, submenus.size());

    EXPECT_EQ(1, DestroyMenuTree(root));
    EXPECT_EQ(0, GetMenuItemCount(root));
    EXPECT_TRUE(IsMenu(root)) << "the root belongs to its owner";
    for (HMENU submenu : submenus)
        EXPECT_FALSE(IsMenu(submenu));
    DestroyMenu(root);
    EXPECT_EQ(gdiBase, qtest::LiveGdiObjects()) << "icon bitmaps left behind";
    EXPECT_EQ(handlesBase, qtest::OpenHandles());
    EXPECT_EQ(heapBase, qtest::HeapInUse()) << "record copies or menus left on the heap";
}

TEST_F(NativeMenuRelease, HeapCountSeesRecordCopiesThatAreNotFreed) {
    WarmUp();
    size_t heapBase = qtest::HeapInUse();
    HMENU root = CreatePopupMenu();
    {
        NativeBuild build(m_press.Context(), nullptr);
        ASSERT_TRUE(InsertLauncherItem(build, root, "X", std::string(500, 'r').c_str()));
    }
    const char* data = ReadItem(root, 0).data;
    ASSERT_NE(nullptr, data);
    // Removing the item without DestroyMenuTree loses the copy: the counter
    // must notice, or the test above would prove nothing.
    RemoveMenu(root, 0, MF_BYPOSITION);
    DestroyMenu(root);
    EXPECT_GE(qtest::HeapInUse(), heapBase + 501);
    HeapFree(GetProcessHeap(), 0, const_cast<char*>(data));
    EXPECT_EQ(heapBase, qtest::HeapInUse());
}

TEST_F(NativeMenuRelease, FailedInsertionsReleaseWhatWasMadeForThem) {
    WarmUp();
    HMENU gone = CreatePopupMenu();
    DestroyMenu(gone);
    StoredKey tree;
    ASSERT_TRUE(qtest::ReadSettingsTree(&tree));
    int gdiBase = qtest::LiveGdiObjects();
    size_t heapBase = qtest::HeapInUse();
    {
        NativeBuild build(m_press.Context(), nullptr);
        EXPECT_FALSE(InsertLauncherItem(build, gone, "A", (kIcon + "1,1").c_str()));
        EXPECT_EQ(0, AddLauncherItems(build, gone, tree)) << "a failed insertion reports 0";
        // Every subkey's subtree is built, then dropped when its item cannot go in.
        EXPECT_EQ(0, AddSubmenuItems(build, gone, tree));
        EXPECT_EQ(0, FillMenuFromStore(build, gone, tree));
    }
    EXPECT_EQ(gdiBase, qtest::LiveGdiObjects());
    EXPECT_EQ(heapBase, qtest::HeapInUse());
}
