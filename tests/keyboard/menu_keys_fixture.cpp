#include "tests/keyboard/menu_keys_fixture.h"

namespace keytest {

void MenuKeys::SetUp() {
    ParkPointer();
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    ASSERT_TRUE(context.Create(instance, fpmNoBitmap, nullptr, nullptr, nullptr, nullptr));
    context.AppendItem(fpmBold, "&Open", kOpenCmd, -1);
    context.AppendItem(0, "&Insert", kInsertCmd, -1);
    context.AppendItem(0, "&Delete", kDeleteCmd, -1);
    context.AppendItem(0, "&Properties", kPropertiesCmd, -1);
    context.AppendItem(fpmSeparator, nullptr, 0, -1);
    context.AppendItem(0, "&Cancel", kCancelCmd, -1);

    ASSERT_TRUE(root.Create(instance, fpmNoBitmap, nullptr, nullptr, nullptr, &context));
    ASSERT_TRUE(charlie.Create(instance, fpmNoBitmap, nullptr, nullptr, nullptr, &context));
    ASSERT_TRUE(echo.Create(instance, fpmNoBitmap, nullptr, nullptr, nullptr, &context));
    root.AppendItem(fpmDisabled | fpmBold, "Quoril 2.0", 0, -1);
    root.AppendItem(fpmSeparator, nullptr, 0, -1);
    root.AppendItem(0, "&Alpha", kAlphaId, -1);
    root.AppendItem(0, "Bravo", kBravoId, -1);
    root.AppendItem(fpmGrayed, "Grayed", kGrayedId, -1);
    root.AppendPopup(0, "&Charlie", &charlie, -1, kCharlieId);
    root.AppendItem(fpmSeparator, nullptr, 0, -1);
    root.AppendItem(fpmDisabled, "Disabled", kDisabledId, -1);
    root.AppendItem(0, "Beta", kBetaId, -1);
    root.AppendItem(0, "Delta", kDeltaId, -1);
    root.AppendPopup(0, "Echo", &echo, -1, kEchoId);

    charlie.AppendItem(fpmDisabled | fpmBold, "Charlie", 0, -1);
    charlie.AppendItem(fpmSeparator, nullptr, 0, -1);
    charlie.AppendItem(0, "One", kOneId, -1);
    charlie.AppendItem(0, "&Two", kTwoId, -1);
    charlie.AppendItem(0, "Three", kThreeId, -1);

    echo.AppendItem(0, "Inner", kInnerId, -1);
}

Outcome MenuKeys::Run(const std::function<void()>& steps) {
    return RunDriven(
        host,
        [&](int* contextCommand) {
            return root.Track(kRootX, kRootY, nullptr, true, false, contextCommand);
        },
        steps);
}

bool MenuKeys::WaitShown(const CFlatPopupMenu& menu) {
    return WaitFor([&] {
        // The menu has its window once Track has shown it and taken the
        // capture (or not).
        HWND w = menu.Window();
        return w && IsWindowVisible(w);
    });
}

void MenuKeys::ExpectHot(const CFlatPopupMenu& menu, int index) {
    Settle();
    EXPECT_EQ(index, menu.Rows().HotIndex());
    if (menu.Window() && index >= 0)
        EXPECT_TRUE(WaitPaintedHot(menu.Window(), Top(menu, index)))
            << "entry " << index << " is not painted hot";
}

} // namespace keytest
