#include <gtest/gtest.h>
#include "resources/resource_ids.h"
#include "tests/flatmenu/flatmenu_test_util.h"

using fmtest::Instance;

namespace {
// Shows a menu with icons through the given strips, repaints it fully and
// entry by entry, then lets it go.
void ShowAndPaint(HWND owner, int bitmapId, HBITMAP image, HBITMAP mask, int repaints) {
    CFlatPopupMenu child;
    child.Create(Instance(), fpmNoBitmap, owner, nullptr, nullptr, nullptr);
    child.AppendItem(0, "Inner", 9, -1);
    CFlatPopupMenu menu;
    menu.Create(Instance(), bitmapId, owner, image, mask, nullptr);
    menu.Create(Instance(), bitmapId, owner, image, mask, nullptr);
    menu.AppendItem(0, "First", 1, 0);
    menu.AppendItem(fpmSeparator, nullptr, 0, -1);
    menu.AppendItem(fpmGrayed | fpmBold, "Second", 2, 0);
    menu.AppendPopup(0, "Sub", &child, 0, 0);
    menu.Track(600, 100, nullptr, false, true, nullptr);
    UpdateWindow(menu.Window());
    for (int i = 0; i < repaints; ++i) {
        for (int entry = 0; entry < menu.Rows().Count(); ++entry)
            fmtest::HoverByMessage(menu, entry);
        InvalidateRect(menu.Window(), nullptr, TRUE);
        UpdateWindow(menu.Window());
    }
    qtest::PumpMessages();
}
} // namespace

TEST(FlatMenuGdi, CounterSeesADeliberateLeak) {
    const int before = qtest::LiveGdiObjects();
    ASSERT_GT(before, 0);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    EXPECT_EQ(before + 1, qtest::LiveGdiObjects());
    DeleteObject(pen);
    EXPECT_EQ(before, qtest::LiveGdiObjects());
}

TEST(FlatMenuGdi, CreateTwicePaintingAndDestructionLeakNothing) {
    qtest::HostWindow host;
    HBITMAP image = fmtest::MakeStrip({RGB(200, 0, 0)});
    HBITMAP mask = fmtest::MakeStrip({RGB(0, 0, 0)});
    HBITMAP keyed = fmtest::MakeStrip({RGB(255, 0, 255)});
    // Warm up whatever the system creates once per process; after that only
    // this thread makes GDI objects, so counts are compared exactly.
    ShowAndPaint(host.Handle(), fpmUserBitmap, image, mask, 1);
    ShowAndPaint(host.Handle(), fpmUserBitmap, keyed, nullptr, 1);
    ShowAndPaint(host.Handle(), IDB_BUTTON_FACE, nullptr, nullptr, 1);

    const int baseline = qtest::LiveGdiObjects();
    ShowAndPaint(host.Handle(), fpmUserBitmap, image, mask, 5);
    EXPECT_EQ(baseline, qtest::LiveGdiObjects()) << "mask strip";
    ShowAndPaint(host.Handle(), fpmUserBitmap, keyed, nullptr, 5);
    EXPECT_EQ(baseline, qtest::LiveGdiObjects()) << "colour-keyed strip";
    ShowAndPaint(host.Handle(), IDB_BUTTON_FACE, nullptr, nullptr, 5);
    EXPECT_EQ(baseline, qtest::LiveGdiObjects()) << "resource strip";

    {
        CFlatPopupMenu menu;
        menu.Create(Instance(), IDB_BUTTON_FACE, nullptr, nullptr, nullptr, nullptr);
        const int afterFirst = qtest::LiveGdiObjects();
        EXPECT_EQ(baseline + 11, afterFirst) << "2 fonts, 6 pens, 2 brushes and the strip";
        menu.Create(Instance(), IDB_BUTTON_FACE, nullptr, nullptr, nullptr, nullptr);
        EXPECT_EQ(afterFirst, qtest::LiveGdiObjects()) << "Create again replaces, not adds";
    }
    EXPECT_EQ(baseline, qtest::LiveGdiObjects());
    DeleteObject(image);
    DeleteObject(mask);
    DeleteObject(keyed);
}

TEST(FlatMenuGdi, CreateAgainWithAnotherStripSourceKeepsOwnershipStraight) {
    HBITMAP mine = fmtest::MakeStrip({RGB(0, 0, 200)});
    BITMAP info = {};
    // Warm up what the system makes once per process (font caches, the
    // resource's first load). This thread is the only one that makes GDI
    // objects here, so after that the count moves by the menu's own objects
    // alone and is compared exactly.
    {
        CFlatPopupMenu warm;
        warm.Create(Instance(), IDB_BUTTON_FACE, nullptr, nullptr, nullptr, nullptr);
        warm.Create(Instance(), fpmUserBitmap, nullptr, mine, nullptr, nullptr);
    }
    const int baseline = qtest::LiveGdiObjects();
    {
        CFlatPopupMenu menu;
        menu.Create(Instance(), IDB_BUTTON_FACE, nullptr, nullptr, nullptr, nullptr);
        // The loaded strip is the menu's; the caller's strip that follows is not.
        menu.Create(Instance(), fpmUserBitmap, nullptr, mine, nullptr, nullptr);
        EXPECT_EQ(baseline + 10, qtest::LiveGdiObjects()) << "the loaded strip was freed";
        menu.Create(Instance(), IDB_BUTTON_FACE, nullptr, nullptr, nullptr, nullptr);
        EXPECT_NE(0, GetObjectA(mine, sizeof info, &info)) << "the caller's strip was deleted";
        EXPECT_EQ(baseline + 11, qtest::LiveGdiObjects());
    }
    EXPECT_EQ(baseline, qtest::LiveGdiObjects());
    EXPECT_NE(0, GetObjectA(mine, sizeof info, &info));
    DeleteObject(mine);
}
