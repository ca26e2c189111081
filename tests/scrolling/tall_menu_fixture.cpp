#include "tests/scrolling/tall_menu_fixture.h"
#include <stdio.h>

namespace scrolltest {

void TallMenus::SetUp() {
    qtest::ParkPointer();
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    ASSERT_TRUE(context.Create(instance, fpmNoBitmap, nullptr, nullptr, nullptr, nullptr));
    context.AppendItem(fpmBold, "&Open", 40004, -1);
    context.AppendItem(0, "&Insert", 40001, -1);
    context.AppendItem(0, "&Delete", kDeleteCmd, -1);
    context.AppendItem(0, "&Properties", kPropertiesCmd, -1);
    context.AppendItem(fpmSeparator, nullptr, 0, -1);
    context.AppendItem(0, "&Cancel", 40010, -1);

    ASSERT_TRUE(root.Create(instance, fpmNoBitmap, nullptr, nullptr, nullptr, &context));
    ASSERT_TRUE(programs.Create(instance, fpmNoBitmap, nullptr, nullptr, nullptr, &context));
    ASSERT_TRUE(late.Create(instance, fpmNoBitmap, nullptr, nullptr, nullptr, &context));
    root.AppendItem(fpmDisabled | fpmBold, "Quoril 2.0", 0, -1);
    root.AppendItem(fpmSeparator, nullptr, 0, -1);
    for (int k = 1; k <= kEntries; ++k) {
        char name[32];
        if (k == kProgramsEntry) {
            root.AppendPopup(0, "&Programs", &programs, -1, ItemId(k));
        } else if (k == kLateEntry) {
            root.AppendPopup(0, "Late", &late, -1, ItemId(k));
        } else {
            snprintf(name, sizeof name, "Item %02d", k);
            root.AppendItem(0, name, ItemId(k), -1);
        }
    }
    programs.AppendItem(fpmDisabled | fpmBold, "Programs", 0, -1);
    programs.AppendItem(fpmSeparator, nullptr, 0, -1);
    for (int k = 1; k <= kEntries; ++k) {
        char name[32];
        snprintf(name, sizeof name, "Program %02d", k);
        programs.AppendItem(0, name, ProgramId(k), -1);
    }
    late.AppendItem(0, "Late one", kLateOneId, -1);
    late.AppendItem(0, "Late two", kLateTwoId, -1);
}

qtest::ModalOutcome TallMenus::Run(const std::function<void()>& steps) {
    return qtest::DriveModal(
        [&](int* contextCommand) {
            return root.Track(kRootX, kRootY, nullptr, true, false, contextCommand);
        },
        steps, "the tall tree");
}

qtest::ModalOutcome TallMenus::RunTable(const std::vector<qtest::Step>& steps,
                                        const std::function<void()>& more) {
    const qtest::ModalOutcome out = Run([&] {
        if (qtest::RunSteps(view, steps) && more) more();
    });
    EXPECT_FALSE(out.rescued) << "the steps left menus open";
    EXPECT_EQ(0, out.hostKeyMessages) << "while a menu is open, every key is the menu's";
    EXPECT_EQ(0, out.hostWheelMessages) << "no wheel message reaches the host";
    EXPECT_TRUE(qtest::MenuWindows().empty());
    return out;
}

int TallMenus::LastShown(const CFlatPopupMenu& menu) {
    int last = -1;
    for (int i = 0; i < menu.Rows().Count(); ++i)
        if (qtest::RowShown(menu, i)) last = i;
    return last;
}

POINT TallMenus::RowPoint(const CFlatPopupMenu& menu, int index, int dy) {
    const RECT r = qtest::WindowRect(menu.Window());
    const FlatMenuItem* item = menu.Rows().Item(index);
    return POINT{r.left + 40, r.top + (item ? item->top : 0) + dy};
}

POINT TallMenus::TopBandPoint(const CFlatPopupMenu& menu) {
    const RECT r = qtest::WindowRect(menu.Window());
    return POINT{r.left + menu.Rows().Width() / 2, r.top + (menu.Rows().RowAreaTop() + 3) / 2};
}

POINT TallMenus::BottomBandPoint(const CFlatPopupMenu& menu) {
    const RECT r = qtest::WindowRect(menu.Window());
    return POINT{r.left + menu.Rows().Width() / 2,
                 r.top + (menu.Rows().RowAreaBottom() + r.bottom - r.top) / 2};
}

void TallMenus::ExpectHot(const CFlatPopupMenu& menu, int index) {
    EXPECT_TRUE(qtest::SyncInput()) << "the menus' thread did not take the input";
    EXPECT_EQ(index, menu.Rows().HotIndex());
    if (menu.Window() && index >= 0) {
        EXPECT_TRUE(qtest::RowShown(menu, index)) << "entry " << index << " is hot out of view";
        EXPECT_TRUE(qtest::WaitFor([&] {
            return qtest::RowBarHasColour(menu.Window(), menu.Rows().Item(index)->top,
                                          GetSysColor(COLOR_HIGHLIGHT));
        })) << "entry " << index
            << " is not painted hot";
    }
}

} // namespace scrolltest
