#include "tests/keyboard/menu_keys_fixture.h"

namespace keytest {

void MenuKeys::SetUp() {
    qtest::ParkPointer();
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
    echo.AppendItem(0, "Bravo", kEchoBravoId, -1);
    echo.AppendItem(fpmGrayed, "Grayed", kEchoGrayedId, -1);
    echo.AppendItem(0, "Beta", kEchoBetaId, -1);
    echo.AppendItem(0, "Delta", kEchoDeltaId, -1);
    echo.AppendItem(fpmDisabled, "Disabled", kEchoDisabledId, -1);
}

qtest::ModalOutcome MenuKeys::Run(const std::function<void()>& steps) {
    return qtest::DriveModal(
        [&](int* contextCommand) {
            return root.Track(kRootX, kRootY, nullptr, true, false, contextCommand);
        },
        steps, "the tracked tree");
}

void MenuKeys::RunCase(const KeyCase& keyCase) {
    SCOPED_TRACE(keyCase.name);
    const qtest::ModalOutcome out = Run([&] { qtest::RunSteps(view, keyCase.steps); });
    EXPECT_FALSE(out.rescued) << "the steps left menus open";
    EXPECT_EQ(keyCase.result, out.result);
    EXPECT_EQ(keyCase.contextCommand, out.contextCommand);
    EXPECT_EQ(0, out.hostKeyMessages) << "while a menu is open, every key is the menu's";
    EXPECT_TRUE(qtest::MenuWindows().empty());
}

POINT MenuKeys::RowPoint(const CFlatPopupMenu& menu, int index, int dx, int dy) {
    const RECT r = qtest::WindowRect(menu.Window());
    return POINT{r.left + dx, r.top + menu.Rows().Item(index)->top + dy};
}

} // namespace keytest
