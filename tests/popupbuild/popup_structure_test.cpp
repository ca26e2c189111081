// What the flat popups built from native menus hold: titles, the context
// popup, the display order, flags, icons and strips.
#include <gtest/gtest.h>
#include <optional>
#include "flatmenu/flat_popup_menu.h"
#include "menubuild/flat_popup_build.h"
#include "menubuild/native_menu.h"
#include "menubuild/press_display.h"
#include "menubuild/strip_pixels.h"
#include "plugin/module.h"
#include "resources/resource_ids.h"
#include "tests/popupbuild/native_menu_fixture.h"
#include "tests/support/test_support.h"

using Texts = std::vector<std::string>;

namespace {
// The colour in the middle of icon slot `slot` of a strip.
COLORREF SlotColour(HBITMAP strip, int slot) {
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, strip);
    COLORREF colour = GetPixel(dc, slot * cx + cx / 2, cy / 2);
    SelectObject(dc, old);
    DeleteDC(dc);
    return colour;
}

class PopupStructure : public ::testing::Test {
  protected:
    void SetUp() override { SetModuleInstance(GetModuleHandleA(nullptr)); }
    void TearDown() override {
        for (PopupBuildNode* n = m_node.next; n;) {
            PopupBuildNode* next = n->next;
            DeleteObject(n->imageStrip);
            DeleteObject(n->maskStrip);
            delete n->popup;
            free(n->title);
            delete n;
            n = next;
        }
        DeleteObject(m_node.imageStrip);
        DeleteObject(m_node.maskStrip);
    }
    // Builds `menu` into m_popup with an optional title.
    bool Build(HMENU menu, const char* title = nullptr) {
        m_node = {menu, title ? _strdup(title) : nullptr, &m_popup, nullptr, nullptr, nullptr};
        bool ok = BuildPopupMenu(GetModuleHandleA(nullptr), nullptr, &m_node, nullptr);
        free(m_node.title);
        m_node.title = nullptr;
        return ok;
    }
    NativeMenuFixture m_menus;
    CFlatPopupMenu m_popup;
    PopupBuildNode m_node = {};
};
} // namespace

TEST_F(PopupStructure, ContextPopupShowsTheResourceCommandsWithOpenInBold) {
    HMENU resource = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_CONTEXT_MENU));
    ASSERT_TRUE(resource);
    ASSERT_TRUE(Build(GetSubMenu(resource, 0)));
    EXPECT_EQ((Texts{"&Open", "&Insert", "&Delete", "&Properties", "-", "&Cancel"}),
              EntryTexts(m_popup));
    const int ids[] = {
        ID_CONTEXT_OPEN,  ID_CONTEXT_INSERT, ID_CONTEXT_DELETE, ID_CONTEXT_PROPERTIES, 0,
        ID_CONTEXT_CANCEL};
    for (int i = 0; i < m_popup.Rows().Count(); ++i) {
        EXPECT_EQ(ids[i], m_popup.Rows().Item(i)->commandId) << "entry " << i;
        EXPECT_EQ(-1, m_popup.Rows().Item(i)->iconIndex) << "entry " << i;
        EXPECT_EQ(i == 0 ? fpmBold : (i == 4 ? fpmSeparator : 0), m_popup.Rows().Item(i)->flags)
            << "entry " << i;
    }
    DestroyMenu(resource);
}

TEST_F(PopupStructure, EmptyStoreShowsTitleSeparatorAndPlaceholderOnly) {
    qtest::DeleteProductKey();
    HMENU root = CreatePopupMenu();
    ASSERT_TRUE(BuildRootMenu(nullptr, root));
    ASSERT_TRUE(Build(root, QUORIL_LAUNCHER_TITLE));
    ASSERT_EQ((Texts{"Quoril 2.0", "-", "Insert Item..."}), EntryTexts(m_popup));
    EXPECT_EQ(fpmDisabled | fpmBold, m_popup.Rows().Item(0)->flags);
    EXPECT_EQ(0, m_popup.Rows().Item(0)->commandId);
    EXPECT_EQ(-1, m_popup.Rows().Item(0)->iconIndex);
    EXPECT_EQ(0, m_popup.Rows().Item(2)->flags) << "the placeholder is enabled";
    EXPECT_EQ(-1, m_popup.Rows().Item(2)->iconIndex);
    EXPECT_NE(0, m_popup.Rows().Item(2)->commandId);
    TearDown();
    m_node = {};
    DestroyMenuTree(root);
    DestroyMenu(root);
    qtest::DeleteProductKey();
}

TEST_F(PopupStructure, ItemsFollowStoredPositionsWithTiesInNativeOrder) {
    HMENU root = m_menus.Root();
    m_menus.AddItem(root, "Third", 0x100, "a.exe,,,,0,0,3,0");
    m_menus.AddItem(root, "First", 0x200, "b.exe,,,,0,0,1,0");
    m_menus.AddItem(root, "Second", 0x300, "c.exe,,,,0,0,2,0");
    ASSERT_TRUE(Build(root));
    EXPECT_EQ((Texts{"First", "Second", "Third"}), EntryTexts(m_popup));
    EXPECT_EQ(0x200, m_popup.Rows().Item(0)->commandId);
    EXPECT_EQ(fpmBold, m_popup.Rows().Item(0)->flags) << "an untitled popup's first entry is bold";
}

TEST_F(PopupStructure, ItemsWithoutPositionTakeTheirNativeIndex) {
    HMENU root = m_menus.Root();
    m_menus.AddItem(root, "NoRecordA", 0x100, nullptr);   // native 0 -> rank 0
    m_menus.AddItem(root, "AtThree", 0x200, ",,,,,,3,0"); // rank 2
    m_menus.AddItem(root, "NoPosition", 0x300, "x.exe");  // native 2 -> rank 2, after AtThree
    m_menus.AddItem(root, "AtTwo", 0x400, ",,,,,,2,0");   // rank 1
    ASSERT_TRUE(Build(root));
    EXPECT_EQ((Texts{"NoRecordA", "AtTwo", "AtThree", "NoPosition"}), EntryTexts(m_popup));
}

TEST_F(PopupStructure, PositionsOutsideTheMenuStillShowAfterTheOthers) {
    HMENU root = m_menus.Root();
    m_menus.AddItem(root, "Three", 1, "a,,,,0,0,3,0");
    m_menus.AddItem(root, "Nine", 2, "b,,,,0,0,9,0");
    m_menus.AddItem(root, "One", 3, "c,,,,0,0,1,0");
    m_menus.AddItem(root, "Two", 4, "d,,,,0,0,2,0");
    m_menus.AddItem(root, "Negative", 5, "e,,,,0,0,-4,0");
    ASSERT_TRUE(Build(root));
    EXPECT_EQ((Texts{"One", "Two", "Three", "Nine", "Negative"}), EntryTexts(m_popup));
}

TEST_F(PopupStructure, ItemSeparatorStandsDirectlyAboveItsItem) {
    HMENU root = m_menus.Root();
    m_menus.AddItem(root, "Second", 1, "a,,,,0,0,2,0");
    m_menus.AddSeparator(root, "b,,,,0,0,1,1");
    m_menus.AddItem(root, "First", 2, "b,,,,0,0,1,1");
    m_menus.AddItem(root, "Third", 3, "c,,,,0,0,3,0");
    ASSERT_TRUE(Build(root, "T"));
    // The separator and its item share the stored position 1 and stand in
    // that native order, so the line comes directly above the item.
    EXPECT_EQ((Texts{"T", "-", "-", "First", "Second", "Third"}), EntryTexts(m_popup));
}

TEST_F(PopupStructure, GrayedOrDisabledNativeItemsBecomeDisabledAndGrayed) {
    HMENU root = m_menus.Root();
    m_menus.AddItem(root, "Plain", 1, nullptr);
    m_menus.AddItem(root, "Grayed", 2, nullptr, CLR_INVALID, MFS_GRAYED);
    m_menus.AddItem(root, "Disabled", 3, nullptr, CLR_INVALID, MFS_DISABLED);
    ASSERT_TRUE(Build(root, "T"));
    EXPECT_EQ(0, m_popup.Rows().Item(2)->flags);
    EXPECT_EQ(fpmDisabled | fpmGrayed, m_popup.Rows().Item(3)->flags);
    EXPECT_EQ(fpmDisabled | fpmGrayed, m_popup.Rows().Item(4)->flags);
}

TEST_F(PopupStructure, SubmenuPopupIsTitledWithItsItemText) {
    HMENU root = m_menus.Root();
    HMENU tools = m_menus.NewSubmenu();
    m_menus.AddItem(tools, "Calc", 0x11, "calc.exe,,,,0,0,1,0");
    m_menus.AddSubmenu(root, "Tools", 0x21, tools, ",,,,,,1,0");
    m_menus.AddItem(root, "Editor", 0x31, "ed.exe,,,,0,0,2,0");
    ASSERT_TRUE(Build(root, QUORIL_LAUNCHER_TITLE));
    ASSERT_EQ((Texts{"Quoril 2.0", "-", "Tools", "Editor"}), EntryTexts(m_popup));
    const FlatMenuItem* tools_entry = m_popup.Rows().Item(2);
    ASSERT_TRUE(tools_entry->child);
    EXPECT_EQ(0x21, tools_entry->commandId);
    EXPECT_EQ((Texts{"Tools", "-", "Calc"}), EntryTexts(*tools_entry->child));
    EXPECT_EQ(fpmDisabled | fpmBold, tools_entry->child->Rows().Item(0)->flags);
    ASSERT_TRUE(m_node.next) << "the submenu's node is appended to the list";
    EXPECT_EQ(m_node.next->popup, tools_entry->child) << "the node's popup is the child";
    EXPECT_EQ(tools, m_node.next->nativeMenu);
    EXPECT_STREQ("Tools", m_node.next->title);
}

TEST_F(PopupStructure, IconIndexIsTheNativePositionAndStripSlotsHoldEachIcon) {
    HMENU root = m_menus.Root();
    m_menus.AddItem(root, "Blue", 1, "a,,,,0,0,3,0", RGB(0, 0, 255));
    m_menus.AddSeparator(root, "x,,,,0,0,2,1");
    m_menus.AddItem(root, "Red", 2, "b,,,,0,0,1,0", RGB(255, 0, 0));
    m_menus.AddItem(root, "None", 3, "c,,,,0,0,4,0");
    ASSERT_TRUE(Build(root));
    ASSERT_EQ((Texts{"Red", "-", "Blue", "None"}), EntryTexts(m_popup));
    EXPECT_EQ(2, m_popup.Rows().Item(0)->iconIndex);
    EXPECT_EQ(0, m_popup.Rows().Item(2)->iconIndex);
    EXPECT_EQ(-1, m_popup.Rows().Item(3)->iconIndex);

    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    BITMAP info;
    ASSERT_TRUE(GetObjectA(m_node.imageStrip, sizeof info, &info));
    EXPECT_EQ(4 * cx, info.bmWidth);
    EXPECT_EQ(cy, info.bmHeight);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, m_node.imageStrip);
    EXPECT_EQ(RGB(0, 0, 255), GetPixel(dc, cx / 2, cy / 2));
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 2 * cx + cx / 2, cy / 2));
    SelectObject(dc, m_node.maskStrip);
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(dc, cx / 2, cy / 2));
    SelectObject(dc, old);
    DeleteDC(dc);
}

// Strips are gathered in buffers kept from one build to the next: a build
// finds nothing of the one before in its strips, and building the same menu
// again keeps no more than the first build did.
TEST_F(PopupStructure, StripsHoldOnlyTheirOwnMenusIcons) {
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    NativeMenuFixture wide;
    for (int i = 0; i < 6; ++i)
        wide.AddItem(wide.Root(), ("Red " + std::to_string(i)).c_str(), i + 1,
                     ("r,,,,0,0," + std::to_string(i + 1) + ",0").c_str(), RGB(255, 0, 0));
    HBITMAP mask = nullptr;
    HBITMAP image = BuildIconStrips(wide.Root(), nullptr, &mask);
    ASSERT_TRUE(image && mask);
    DeleteObject(image);
    DeleteObject(mask);
    const size_t kept = KeptStripPixelCount();
    EXPECT_GE(kept, static_cast<size_t>(2 * 6 * cx * cy));

    HMENU root = m_menus.Root();
    m_menus.AddItem(root, "None", 1, "a,,,,0,0,1,0");
    m_menus.AddItem(root, "Blue", 2, "b,,,,0,0,2,0", RGB(0, 0, 255));
    m_menus.AddItem(root, "Also none", 3, "c,,,,0,0,3,0");
    for (int build = 0; build < 3; ++build) {
        image = BuildIconStrips(root, nullptr, &mask);
        ASSERT_TRUE(image && mask);
        EXPECT_EQ(RGB(0, 0, 0), SlotColour(image, 0)) << "build " << build;
        EXPECT_EQ(RGB(0, 0, 255), SlotColour(image, 1)) << "build " << build;
        EXPECT_EQ(RGB(0, 0, 0), SlotColour(image, 2)) << "build " << build;
        EXPECT_EQ(RGB(0, 0, 0), SlotColour(mask, 0)) << "build " << build;
        DeleteObject(image);
        DeleteObject(mask);
        EXPECT_EQ(kept, KeptStripPixelCount()) << "build " << build;
    }
    ReleaseStripPixels();
    EXPECT_EQ(0u, KeptStripPixelCount());
}

// Within a press a popup without an owner makes its strips on the host
// window's DC, and on the desktop's when the host window cannot give one:
// the same strips as outside a press either way.
TEST_F(PopupStructure, StripsMadeWithinAPressAreThoseMadeOutsideOne) {
    HMENU root = m_menus.Root();
    m_menus.AddItem(root, "None", 1, "a,,,,0,0,1,0");
    m_menus.AddItem(root, "Blue", 2, "b,,,,0,0,2,0", RGB(0, 0, 255));
    m_menus.AddItem(root, "Green", 3, "c,,,,0,0,3,0", RGB(0, 255, 0));
    auto slots = [&](bool inPress, HWND host) {
        std::optional<PressDisplay> press;
        if (inPress) press.emplace(host);
        std::vector<COLORREF> colours;
        HBITMAP mask = nullptr;
        HBITMAP image = BuildIconStrips(root, nullptr, &mask);
        if (!image || !mask) return colours;
        BITMAP format = {};
        GetObjectA(image, sizeof format, &format);
        colours.push_back(format.bmBitsPixel);
        for (int slot = 0; slot < 3; ++slot) {
            colours.push_back(SlotColour(image, slot));
            colours.push_back(SlotColour(mask, slot));
        }
        DeleteObject(image);
        DeleteObject(mask);
        return colours;
    };
    const std::vector<COLORREF> outside = slots(false, nullptr);
    ASSERT_EQ(7u, outside.size()) << "no strips were made outside a press";
    EXPECT_EQ(RGB(0, 0, 255), outside[3]);
    EXPECT_EQ(RGB(0, 255, 0), outside[5]);

    qtest::HostWindow host;
    EXPECT_EQ(outside, slots(true, host.Handle())) << "on the host window's DC";
    HWND gone =
        CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(gone);
    DestroyWindow(gone);
    EXPECT_EQ(outside, slots(true, gone)) << "with the host window gone";
    {
        PressDisplay outer(host.Handle());
        EXPECT_EQ(outside, slots(true, gone)) << "within a press inside another";
    }
}

TEST_F(PopupStructure, PaintedIconsAreThoseOfTheirItems) {
    qtest::HostWindow host;
    HMENU root = m_menus.Root();
    m_menus.AddItem(root, "Green", 1, "a,,,,0,0,2,0", RGB(0, 255, 0));
    m_menus.AddItem(root, "Red", 2, "b,,,,0,0,1,0", RGB(255, 0, 0));
    ASSERT_TRUE(Build(root));
    m_popup.Track(50, 50, nullptr, false, true, nullptr);
    HWND window = m_popup.Window();
    ASSERT_TRUE(window);
    qtest::PumpMessages();
    UpdateWindow(window);
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    int redTop = m_popup.Rows().Item(0)->top, greenTop = m_popup.Rows().Item(1)->top;
    EXPECT_EQ(RGB(255, 0, 0), qtest::PixelAt(window, 4 + cx / 2, redTop + 1 + cy / 2));
    EXPECT_EQ(RGB(0, 255, 0), qtest::PixelAt(window, 4 + cx / 2, greenTop + 1 + cy / 2));
    DestroyWindow(window);
}

TEST_F(PopupStructure, EmptyOrMissingMenuBuildsNothing) {
    HMENU empty = CreatePopupMenu();
    EXPECT_FALSE(Build(empty));
    EXPECT_EQ(0, m_popup.Rows().Count());
    EXPECT_EQ(nullptr, m_node.imageStrip);
    DestroyMenu(empty);
    HBITMAP mask = reinterpret_cast<HBITMAP>(1);
    EXPECT_EQ(nullptr, BuildIconStrips(nullptr, nullptr, &mask));
    EXPECT_EQ(nullptr, mask);
}
