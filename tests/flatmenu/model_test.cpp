#include <gtest/gtest.h>
#include "resources/resource_ids.h"
#include "tests/flatmenu/flatmenu_test_util.h"

using fmtest::Instance;

TEST(FlatMenuModel, CreateSetsUpFontsAndAnEmptyList) {
    CFlatPopupMenu menu;
    EXPECT_EQ(nullptr, menu.NormalFont()) << "no GDI objects before Create";
    EXPECT_EQ(400, menu.SubmenuDelay());
    ASSERT_TRUE(menu.Create(Instance(), fpmNoBitmap, nullptr, nullptr, nullptr, nullptr));
    EXPECT_NE(nullptr, menu.NormalFont());
    EXPECT_NE(nullptr, menu.BoldFont());
    EXPECT_GT(menu.NormalTextHeight(), 0);
    EXPECT_GT(menu.BoldTextHeight(), 0);
    EXPECT_EQ(nullptr, menu.ImageStrip());
    EXPECT_EQ(0u, menu.ItemCount());
    EXPECT_EQ(nullptr, menu.Window());
    EXPECT_EQ(0, menu.CaptureState());

    // The normal font is the 8-point face the menu asks for.
    LOGFONTA font = {};
    ASSERT_NE(0, GetObjectA(menu.NormalFont(), sizeof font, &font));
    EXPECT_STREQ("MS Sans Serif", font.lfFaceName);
    EXPECT_EQ(400, font.lfWeight);
    LOGFONTA bold = {};
    GetObjectA(menu.BoldFont(), sizeof bold, &bold);
    EXPECT_EQ(700, bold.lfWeight);
    EXPECT_EQ(font.lfHeight, bold.lfHeight);
}

TEST(FlatMenuModel, AppendItemKeepsValuesAndNullTextIsEmpty) {
    CFlatPopupMenu menu;
    menu.Create(Instance(), fpmNoBitmap, nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(menu.AppendItem(fpmBold, "&Open", 7, 2));
    EXPECT_TRUE(menu.AppendItem(0, nullptr, 8, -1));
    EXPECT_TRUE(menu.AppendItem(fpmSeparator, nullptr, 0, -1));
    ASSERT_EQ(3u, menu.ItemCount());
    EXPECT_EQ("&Open", menu.Item(0)->text);
    EXPECT_EQ(fpmBold, menu.Item(0)->flags);
    EXPECT_EQ(7, menu.Item(0)->commandId);
    EXPECT_EQ(2, menu.Item(0)->iconIndex);
    EXPECT_EQ(nullptr, menu.Item(0)->child);
    EXPECT_EQ("", menu.Item(1)->text);
    EXPECT_EQ(fpmSeparator, menu.Item(2)->flags);
    EXPECT_EQ(nullptr, menu.Item(3));
}

TEST(FlatMenuModel, AppendPopupLinksChildAndCopiesContextMenu) {
    CFlatPopupMenu context, parent, child, refused;
    context.Create(Instance(), fpmNoBitmap, nullptr, nullptr, nullptr, nullptr);
    parent.Create(Instance(), fpmNoBitmap, nullptr, nullptr, nullptr, &context);
    child.Create(Instance(), fpmNoBitmap, nullptr, nullptr, nullptr, nullptr);
    refused.Create(Instance(), fpmNoBitmap, nullptr, nullptr, nullptr, nullptr);

    EXPECT_FALSE(parent.AppendPopup(fpmSeparator, "Sep", &refused, -1, 0));
    EXPECT_EQ(0u, parent.ItemCount());
    EXPECT_EQ(nullptr, refused.Parent()) << "a refused child stays unlinked";

    EXPECT_TRUE(parent.AppendPopup(0, "Sub", &child, 1, 55));
    ASSERT_EQ(1u, parent.ItemCount());
    EXPECT_EQ(&child, parent.Item(0)->child);
    EXPECT_EQ(55, parent.Item(0)->commandId);
    EXPECT_EQ(1, parent.Item(0)->iconIndex);
    EXPECT_EQ(&parent, child.Parent());
    EXPECT_EQ(&context, child.ContextMenu());
}

TEST(FlatMenuModel, SetItemFlagsReplacesAllBitsByIndexOrFirstCommand) {
    CFlatPopupMenu menu;
    menu.Create(Instance(), fpmNoBitmap, nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(menu.SetItemFlags(0, fpmBold, true)) << "empty list";
    menu.AppendItem(fpmDisabled | fpmGrayed, "Title", 1, -1);
    menu.AppendItem(0, "Twin A", 9, -1);
    menu.AppendItem(0, "Twin B", 9, -1);

    EXPECT_TRUE(menu.SetItemFlags(0, fpmBold, true));
    EXPECT_EQ(fpmBold, menu.Item(0)->flags) << "flags are replaced, not or-ed";

    EXPECT_TRUE(menu.SetItemFlags(9, fpmGrayed, false));
    EXPECT_EQ(fpmGrayed, menu.Item(1)->flags);
    EXPECT_EQ(0, menu.Item(2)->flags) << "only the first entry with the id changes";

    EXPECT_FALSE(menu.SetItemFlags(3, 0, true)) << "index past the end";
    EXPECT_FALSE(menu.SetItemFlags(77, 0, false)) << "unknown command id";
}

TEST(FlatMenuModel, CreateAgainEmptiesTheList) {
    CFlatPopupMenu menu;
    menu.Create(Instance(), fpmNoBitmap, nullptr, nullptr, nullptr, nullptr);
    menu.AppendItem(0, "One", 1, -1);
    ASSERT_TRUE(menu.Create(Instance(), fpmNoBitmap, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(0u, menu.ItemCount());
    EXPECT_NE(nullptr, menu.NormalFont());
}

TEST(FlatMenuModel, StripsComeFromResourceOrCaller) {
    CFlatPopupMenu fromResource;
    fromResource.Create(Instance(), IDB_BUTTON_FACE, nullptr, nullptr, nullptr, nullptr);
    BITMAP info = {};
    ASSERT_NE(nullptr, fromResource.ImageStrip());
    EXPECT_NE(0, GetObjectA(fromResource.ImageStrip(), sizeof info, &info));
    EXPECT_EQ(nullptr, fromResource.MaskStrip());

    HBITMAP image = fmtest::MakeStrip({RGB(1, 2, 3)});
    HBITMAP mask = fmtest::MakeStrip({RGB(255, 255, 255)});
    {
        CFlatPopupMenu user;
        user.Create(Instance(), fpmUserBitmap, nullptr, image, mask, nullptr);
        EXPECT_EQ(image, user.ImageStrip());
        EXPECT_EQ(mask, user.MaskStrip());
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
    EXPECT_EQ(nullptr, menu.NormalFont()) << "no GDI objects after a failed Create";
    UnregisterClassA("fpmMenuClass", Instance());
    EXPECT_TRUE(menu.Create(Instance(), fpmNoBitmap, nullptr, nullptr, nullptr, nullptr))
        << "a later Create registers the class";
}
