#include <gtest/gtest.h>
#include "resources/resource_ids.h"
#include "tests/flatmenu/flatmenu_test_util.h"

using fmtest::Instance;

TEST(FlatMenuModel, CreateSetsUpFontsAndAnEmptyList) {
    CFlatPopupMenu menu;
    const MenuPalette& palette = menu.Palette();
    EXPECT_EQ(nullptr, palette.NormalFont()) << "no GDI objects before Create";
    ASSERT_TRUE(menu.Create(Instance(), fpmNoBitmap, nullptr, nullptr, nullptr, nullptr));
    EXPECT_NE(nullptr, palette.NormalFont());
    EXPECT_NE(nullptr, palette.BoldFont());
    EXPECT_GT(palette.NormalTextHeight(), 0);
    EXPECT_GT(palette.BoldTextHeight(), 0);
    EXPECT_EQ(nullptr, palette.Strips().Image());
    EXPECT_EQ(0, menu.Rows().Count());
    EXPECT_EQ(-1, menu.Rows().HotIndex());
    EXPECT_EQ(nullptr, menu.Window());

    // The normal font is the 8-point face the menu asks for.
    LOGFONTA font = {};
    ASSERT_NE(0, GetObjectA(palette.NormalFont(), sizeof font, &font));
    EXPECT_STREQ("MS Sans Serif", font.lfFaceName);
    EXPECT_EQ(400, font.lfWeight);
    LOGFONTA bold = {};
    GetObjectA(palette.BoldFont(), sizeof bold, &bold);
    EXPECT_EQ(700, bold.lfWeight);
    EXPECT_EQ(font.lfHeight, bold.lfHeight);
}

TEST(FlatMenuModel, AppendItemKeepsValuesAndNullTextIsEmpty) {
    CFlatPopupMenu menu;
    menu.Create(Instance(), fpmNoBitmap, nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(menu.AppendItem(fpmBold, "&Open", 7, 2));
    EXPECT_TRUE(menu.AppendItem(0, nullptr, 8, -1));
    EXPECT_TRUE(menu.AppendItem(fpmSeparator, nullptr, 0, -1));
    const MenuRows& rows = menu.Rows();
    ASSERT_EQ(3, rows.Count());
    EXPECT_EQ("&Open", rows.Item(0)->text);
    EXPECT_EQ(fpmBold, rows.Item(0)->flags);
    EXPECT_EQ(7, menu.Rows().Item(0)->commandId);
    EXPECT_EQ(2, menu.Rows().Item(0)->iconIndex);
    EXPECT_EQ(nullptr, menu.Rows().Item(0)->child);
    EXPECT_EQ("", menu.Rows().Item(1)->text);
    EXPECT_EQ(fpmSeparator, menu.Rows().Item(2)->flags);
    EXPECT_EQ(nullptr, menu.Rows().Item(3));
}

// A linked child opens beside its parent, whatever point it is given; a
// refused one stays a menu of its own. (That the child takes its parent's
// context menu is seen in FlatMenuContext.RightClickInASubmenuReportsTheSubmenuEntry.)
TEST(FlatMenuModel, AppendPopupLinksChildAndCopiesContextMenu) {
    CFlatPopupMenu context, parent, child, refused;
    context.Create(Instance(), fpmNoBitmap, nullptr, nullptr, nullptr, nullptr);
    parent.Create(Instance(), fpmNoBitmap, nullptr, nullptr, nullptr, &context);
    child.Create(Instance(), fpmNoBitmap, nullptr, nullptr, nullptr, nullptr);
    refused.Create(Instance(), fpmNoBitmap, nullptr, nullptr, nullptr, nullptr);
    child.AppendItem(0, "Inner", 9, -1);
    refused.AppendItem(0, "Alone", 8, -1);

    EXPECT_FALSE(parent.AppendPopup(fpmSeparator, "Sep", &refused, -1, 0));
    EXPECT_EQ(0, parent.Rows().Count());

    EXPECT_TRUE(parent.AppendPopup(0, "Sub", &child, 1, 55));
    ASSERT_EQ(1, parent.Rows().Count());
    EXPECT_EQ(&child, parent.Rows().Item(0)->child);
    EXPECT_EQ(55, parent.Rows().Item(0)->commandId);
    EXPECT_EQ(1, parent.Rows().Item(0)->iconIndex);

    parent.Track(100, 100, nullptr, false, true, nullptr);
    child.Track(700, 150, nullptr, false, true, nullptr);
    refused.Track(700, 300, nullptr, false, true, nullptr);
    ASSERT_TRUE(parent.Window() && child.Window() && refused.Window());
    EXPECT_EQ(100 + parent.Rows().Width() - 3, fmtest::Origin(child).x) << "beside its parent";
    EXPECT_EQ(700, fmtest::Origin(refused).x) << "a refused child stays unlinked";
}

TEST(FlatMenuModel, SetItemFlagsReplacesAllBitsByIndexOrFirstCommand) {
    CFlatPopupMenu menu;
    menu.Create(Instance(), fpmNoBitmap, nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(menu.SetItemFlags(0, fpmBold, true)) << "empty list";
    menu.AppendItem(fpmDisabled | fpmGrayed, "Title", 1, -1);
    menu.AppendItem(0, "Twin A", 9, -1);
    menu.AppendItem(0, "Twin B", 9, -1);

    EXPECT_TRUE(menu.SetItemFlags(0, fpmBold, true));
    EXPECT_EQ(fpmBold, menu.Rows().Item(0)->flags) << "flags are replaced, not or-ed";

    EXPECT_TRUE(menu.SetItemFlags(9, fpmGrayed, false));
    EXPECT_EQ(fpmGrayed, menu.Rows().Item(1)->flags);
    EXPECT_EQ(0, menu.Rows().Item(2)->flags) << "only the first entry with the id changes";

    EXPECT_FALSE(menu.SetItemFlags(3, 0, true)) << "index past the end";
    EXPECT_FALSE(menu.SetItemFlags(77, 0, false)) << "unknown command id";
}

TEST(FlatMenuModel, CreateAgainEmptiesTheList) {
    CFlatPopupMenu menu;
    menu.Create(Instance(), fpmNoBitmap, nullptr, nullptr, nullptr, nullptr);
    menu.AppendItem(0, "One", 1, -1);
    ASSERT_TRUE(menu.Create(Instance(), fpmNoBitmap, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(0, menu.Rows().Count());
    EXPECT_NE(nullptr, menu.Palette().NormalFont());
}

TEST(FlatMenuModel, StripsComeFromResourceOrCaller) {
    CFlatPopupMenu fromResource;
    fromResource.Create(Instance(), IDB_BUTTON_FACE, nullptr, nullptr, nullptr, nullptr);
    BITMAP info = {};
    ASSERT_NE(nullptr, fromResource.Palette().Strips().Image());
    EXPECT_NE(0, GetObjectA(fromResource.Palette().Strips().Image(), sizeof info, &info));
    EXPECT_EQ(nullptr, fromResource.Palette().Strips().Mask());

    HBITMAP image = fmtest::MakeStrip({RGB(1, 2, 3)});
    HBITMAP mask = fmtest::MakeStrip({RGB(255, 255, 255)});
    {
        CFlatPopupMenu user;
        user.Create(Instance(), fpmUserBitmap, nullptr, image, mask, nullptr);
        EXPECT_EQ(image, user.Palette().Strips().Image());
        EXPECT_EQ(mask, user.Palette().Strips().Mask());
    }
    EXPECT_NE(0, GetObjectA(image, sizeof info, &info)) << "the caller's strip outlives the menu";
    EXPECT_NE(0, GetObjectA(mask, sizeof info, &info));
    DeleteObject(image);
    DeleteObject(mask);
}

TEST(FlatMenuModel, CreateReportsAFailedClassRegistration) {
    WNDCLASSA existing = {};
    if (GetClassInfoA(Instance(), "fpmMenuClass", &existing))
        GTEST_SKIP() << "the class was registered earlier in this process";
    // Someone else's class of that name makes the registration fail.
    WNDCLASSA squatter = {};
    squatter.lpfnWndProc = DefWindowProcA;
    squatter.hInstance = Instance();
    squatter.lpszClassName = "fpmMenuClass";
    ASSERT_NE(0, RegisterClassA(&squatter));
    CFlatPopupMenu menu;
    {
        qtest::MessageBoxWatcher watcher("CFlatPopupMenu::Create");
        EXPECT_FALSE(menu.Create(Instance(), fpmNoBitmap, nullptr, nullptr, nullptr, nullptr));
        ASSERT_TRUE(watcher.WaitForCount(1));
        EXPECT_EQ("Class registration failed", watcher.Texts()[0]);
    }
    EXPECT_EQ(nullptr, menu.Palette().NormalFont()) << "no GDI objects after a failed Create";
    UnregisterClassA("fpmMenuClass", Instance());
    EXPECT_TRUE(menu.Create(Instance(), fpmNoBitmap, nullptr, nullptr, nullptr, nullptr))
        << "a later Create registers the class";
}
