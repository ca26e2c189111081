// What the flat popups built from native menus hold: titles, the context
// popup, the display order, flags, icons and strips.
#include <gtest/gtest.h>
#include "flatmenu/flat_popup_menu.h"
#include "menubuild/flat_popup_build.h"
#include "menubuild/native_menu.h"
#include "menubuild/press_context.h"
#include "resources/resource_ids.h"
#include "tests/popupbuild/native_menu_fixture.h"
#include "tests/support/test_press.h"
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
    // Builds `menu` into m_popup with an optional title; the popups of its
    // submenus go to the press's tree.
    bool Build(HMENU menu, const char* title = nullptr) {
        m_node.nativeMenu = menu;
        m_node.titled = title != nullptr;
        m_node.title = title ? title : "";
        return BuildPopupMenu(m_press.Context(), m_node, nullptr);
    }
    // The strips of `menu`, as a popup built within the test's press makes them.
    IconStrips Strips(HMENU menu) { return BuildIconStrips(m_press.Context(), menu, nullptr); }

    NativeMenuFixture m_menus;
    qtest::TestPress m_press;
    PopupNode m_node{nullptr, nullptr};
    CFlatPopupMenu& m_popup = m_node.popup;
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
    ASSERT_TRUE(qtest::BuildFromStore(m_press.Context(), nullptr, root));
    ASSERT_TRUE(Build(root, QUORIL_LAUNCHER_TITLE));
    ASSERT_EQ((Texts{"Quoril 2.0", "-", "Insert Item..."}), EntryTexts(m_popup));
    EXPECT_EQ(fpmDisabled | fpmBold, m_popup.Rows().Item(0)->flags);
    EXPECT_EQ(0, m_popup.Rows().Item(0)->commandId);
    EXPECT_EQ(-1, m_popup.Rows().Item(0)->iconIndex);
    EXPECT_EQ(0, m_popup.Rows().Item(2)->flags) << "the placeholder is enabled";
    EXPECT_EQ(-1, m_popup.Rows().Item(2)->iconIndex);
    EXPECT_NE(0, m_popup.Rows().Item(2)->commandId);
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
    PopupTree& tree = m_press.Context().popups;
    ASSERT_EQ(1u, tree.Count()) << "the submenu's node is added to the press's tree";
    EXPECT_EQ(tools, tree.Node(0).nativeMenu);
    EXPECT_TRUE(tree.Node(0).titled);
    EXPECT_EQ("Tools", tree.Node(0).title);
    EXPECT_EQ(tools_entry->child, &tree.Node(0).popup) << "the node's popup is the child";
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
    ASSERT_TRUE(GetObjectA(m_node.strips.image.Get(), sizeof info, &info));
    EXPECT_EQ(4 * cx, info.bmWidth);
    EXPECT_EQ(cy, info.bmHeight);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, m_node.strips.image.Get());
    EXPECT_EQ(RGB(0, 0, 255), GetPixel(dc, cx / 2, cy / 2));
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 2 * cx + cx / 2, cy / 2));
    SelectObject(dc, m_node.strips.mask.Get());
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
    ASSERT_TRUE(Strips(wide.Root()));
    StripBuffers& buffers = m_press.Cache().strips;
    const size_t kept = buffers.PixelCount();
    EXPECT_GE(kept, static_cast<size_t>(2 * 6 * cx * cy));

    HMENU root = m_menus.Root();
    m_menus.AddItem(root, "None", 1, "a,,,,0,0,1,0");
    m_menus.AddItem(root, "Blue", 2, "b,,,,0,0,2,0", RGB(0, 0, 255));
    m_menus.AddItem(root, "Also none", 3, "c,,,,0,0,3,0");
    for (int build = 0; build < 3; ++build) {
        IconStrips strips = Strips(root);
        ASSERT_TRUE(strips);
        EXPECT_EQ(RGB(0, 0, 0), SlotColour(strips.image.Get(), 0)) << "build " << build;
        EXPECT_EQ(RGB(0, 0, 255), SlotColour(strips.image.Get(), 1)) << "build " << build;
        EXPECT_EQ(RGB(0, 0, 0), SlotColour(strips.image.Get(), 2)) << "build " << build;
        EXPECT_EQ(RGB(0, 0, 0), SlotColour(strips.mask.Get(), 0)) << "build " << build;
        EXPECT_EQ(kept, buffers.PixelCount()) << "build " << build;
    }
    buffers.Release();
    EXPECT_EQ(0u, buffers.PixelCount());
}

// A popup without an owner makes its strips on the press's host window's DC,
// and on the desktop's when there is no host window or it cannot give one:
// the same strips either way.
TEST_F(PopupStructure, StripsMadeWithinAPressAreThoseMadeOutsideOne) {
    HMENU root = m_menus.Root();
    m_menus.AddItem(root, "None", 1, "a,,,,0,0,1,0");
    m_menus.AddItem(root, "Blue", 2, "b,,,,0,0,2,0", RGB(0, 0, 255));
    m_menus.AddItem(root, "Green", 3, "c,,,,0,0,3,0", RGB(0, 255, 0));
    auto slots = [&](HWND host) {
        qtest::TestPress press(host);
        std::vector<COLORREF> colours;
        IconStrips strips = BuildIconStrips(press.Context(), root, nullptr);
        if (!strips) return colours;
        BITMAP format = {};
        GetObjectA(strips.image.Get(), sizeof format, &format);
        colours.push_back(format.bmBitsPixel);
        for (int slot = 0; slot < 3; ++slot) {
            colours.push_back(SlotColour(strips.image.Get(), slot));
            colours.push_back(SlotColour(strips.mask.Get(), slot));
        }
        return colours;
    };
    const std::vector<COLORREF> desktop = slots(nullptr);
    ASSERT_EQ(7u, desktop.size()) << "no strips were made without a host window";
    EXPECT_EQ(RGB(0, 0, 255), desktop[3]);
    EXPECT_EQ(RGB(0, 255, 0), desktop[5]);

    qtest::HostWindow host;
    EXPECT_EQ(desktop, slots(host.Handle())) << "on the host window's DC";
    HWND gone =
        CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(gone);
    DestroyWindow(gone);
    EXPECT_EQ(desktop, slots(gone)) << "with the host window gone";
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
    EXPECT_FALSE(m_node.strips.image);
    DestroyMenu(empty);
    IconStrips none = Strips(nullptr);
    EXPECT_FALSE(none.image);
    EXPECT_FALSE(none.mask);
}
