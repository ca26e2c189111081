// Presses that lead into the item editor: the refused nested press, the
// "Insert Item..." placeholder of an empty root and of an empty submenu,
// insertion beside an item in a submenu, and the context commands on a
// separator line.
#include <atomic>
#include "resources/resource_ids.h"
#include "tests/press/press_fixture.h"
#include "tests/support/test_support.h"

using namespace presstest;

namespace {
class PressEdit : public PressTest {};

// A press that the host makes from within the item dialog's modal loop: a
// timer on the host window fires there once the dialog is up.
struct NestedPress {
    PressFunction press = nullptr;
    std::atomic<bool> done{false};
    int result = -7;
};
NestedPress g_nested;

void CALLBACK PressFromTheDialogsLoop(HWND host, UINT, UINT_PTR timer, DWORD) {
    // Only once the user can see the dialog: before that its loop has not
    // started.
    if (qtest::OwnWindows("#32770", "Create Menu Item").empty()) return;
    KillTimer(host, timer);
    // A record without a position: a press that went ahead would number it.
    StoreRecord("", "Late", ProbePath());
    g_nested.result = g_nested.press(host, kPressX, kPressY, 0);
    g_nested.done = true;
}

// The two entries Alpha and Beta with a separator line between them (Beta
// asks for it); the line's top within the popup.
const int kSeparatorTop = kTitledFirstEntry + kEntryHeight;
void SeedSeparatedPair() {
    StoreRecord("", "Alpha", ProbePath() + ",a,,,0,0,1,0");
    StoreRecord("", "Beta", ProbePath() + ",b,,,0,0,2,1");
}
} // namespace

TEST_F(PressEdit, PressFromWithinTheItemDialogIsRefusedAndChangesNothing) {
    qtest::HostWindow host;
    g_nested.press = m_press;
    SetTimer(host.Handle(), 1, 50, PressFromTheDialogsLoop);
    bool popupDuringNestedPress = false;
    EXPECT_EQ(1, Press(host.Handle(), [&] {
        HWND popup = WaitForPopups(1);
        ASSERT_NE(nullptr, popup);
        ClickEntry(popup, 0); // "Insert Item..."
        HWND dialog = WaitForDialog("Create Menu Item");
        ASSERT_NE(nullptr, dialog);
        // Until the nested press has returned, close any menu it shows.
        qtest::WaitFor([&] {
            for (HWND other : qtest::OwnWindows("fpmMenuClass")) {
                popupDuringNestedPress = true;
                PostMessageA(other, WM_LBUTTONDOWN, 0, MAKELPARAM(0, 0));
            }
            return g_nested.done.load();
        });
        PressCancel(dialog);
    }).result);
    KillTimer(host.Handle(), 1);
    ASSERT_TRUE(g_nested.done) << "the timer never fired within the dialog's loop";
    EXPECT_EQ(0, g_nested.result);
    EXPECT_FALSE(popupDuringNestedPress) << "the nested press showed a menu";
    const std::map<std::string, std::string> expected = {{"Late", ProbePath()}};
    EXPECT_EQ(expected, StoreSnapshot()) << "the refused press must not touch the store";
}

TEST_F(PressEdit, InsertItemInTheEmptyRootCreatesTheFirstItemAtPositionOne) {
    qtest::HostWindow host;
    std::string shownPosition;
    EXPECT_EQ(1, Press(host.Handle(), [&] {
        HWND popup = WaitForPopups(1);
        ASSERT_NE(nullptr, popup);
        ClickEntry(popup, 0);
        HWND dialog = WaitForDialog("Create Menu Item");
        ASSERT_NE(nullptr, dialog);
        shownPosition = ControlText(dialog, IDC_POSITION);
        FillAndConfirm(dialog, {"Editor", ProbePath().c_str(), "x", "", false});
    }).result);
    EXPECT_EQ("1", shownPosition);
    const std::map<std::string, std::string> expected = {{"Editor", ProbePath() + ",x,,,,0,1,0"}};
    EXPECT_EQ(expected, StoreSnapshot());
    EXPECT_EQ(std::vector<std::string>(), LinesOfFinishedProbes()) << "inserting started a program";
}

TEST_F(PressEdit, InsertItemInAnEmptySubmenuCreatesItsFirstItemThere) {
    StoreRecord("Empty", "", ",,,,0,0,1,0");
    StoreRecord("", "After", ProbePath() + ",,,,0,0,2,0");
    qtest::HostWindow host;
    std::string shownPosition;
    EXPECT_EQ(1, Press(host.Handle(), [&] {
        HWND popup = WaitForPopups(1);
        ASSERT_NE(nullptr, popup);
        HWND submenu = OpenSubmenu(popup, 0, 1);
        ASSERT_NE(nullptr, submenu);
        ClickEntry(submenu, 0); // its "Insert Item..."
        HWND dialog = WaitForDialog("Create Menu Item");
        ASSERT_NE(nullptr, dialog);
        shownPosition = ControlText(dialog, IDC_POSITION);
        FillAndConfirm(dialog, {"Inside", ProbePath().c_str(), "in", "", false});
    }).result);
    EXPECT_EQ("1", shownPosition);
    const std::map<std::string, std::string> expected = {
        {"Empty\\", ",,,,0,0,1,0"},
        {"Empty\\Inside", ProbePath() + ",in,,,,0,1,0"},
        {"After", ProbePath() + ",,,,0,0,2,0"}};
    EXPECT_EQ(expected, StoreSnapshot());
}

TEST_F(PressEdit, InsertOnAnItemOfASubmenuPutsTheNewItemRightAfterItInThatSubmenu) {
    StoreRecord("Tools", "", ",,,,0,0,1,0");
    StoreRecord("Tools", "One", ProbePath() + ",1,,,0,0,1,0");
    StoreRecord("Tools", "Two", ProbePath() + ",2,,,0,0,2,0");
    StoreRecord("", "Root", ProbePath() + ",r,,,0,0,2,0");
    qtest::HostWindow host;
    EXPECT_EQ(1, Press(host.Handle(), [&] {
        HWND popup = WaitForPopups(1);
        ASSERT_NE(nullptr, popup);
        HWND submenu = OpenSubmenu(popup, 0, 1);
        ASSERT_NE(nullptr, submenu);
        ContextCommandOn(submenu, 0, kInsert, 2);
        FillAndConfirm(WaitForDialog("Create Menu Item"),
                       {"Middle", ProbePath().c_str(), "m", "", false});
    }).result);
    const std::map<std::string, std::string> expected = {
        {"Tools\\", ",,,,0,0,1,0"},
        {"Tools\\One", ProbePath() + ",1,,,0,0,1,0"},
        {"Tools\\Middle", ProbePath() + ",m,,,,0,2,0"},
        {"Tools\\Two", ProbePath() + ",2,,,0,0,3,0"},
        {"Root", ProbePath() + ",r,,,0,0,2,0"}};
    EXPECT_EQ(expected, StoreSnapshot());
}

TEST_F(PressEdit, DeleteOnASeparatorDoesNothing) {
    SeedSeparatedPair();
    const auto before = StoreSnapshot();
    qtest::MessageBoxWatcher deletion("DeleteMenuItemRegEntry");
    qtest::HostWindow host;
    EXPECT_EQ(1, Press(host.Handle(), [] {
        HWND popup = WaitForPopups(1);
        if (popup) ContextCommandAt(SeparatorPoint(popup, kSeparatorTop), kDelete);
    }).result);
    EXPECT_TRUE(qtest::WaitUntilNoMenu());
    EXPECT_EQ(before, StoreSnapshot());
    EXPECT_TRUE(deletion.Texts().empty());
}

TEST_F(PressEdit, PropertiesOnASeparatorReportsThatTheItemCannotBeRead) {
    SeedSeparatedPair();
    const auto before = StoreSnapshot();
    qtest::MessageBoxWatcher message("ExecutePropsDialog");
    qtest::HostWindow host;
    EXPECT_EQ(1, Press(host.Handle(), [] {
        HWND popup = WaitForPopups(1);
        if (popup) ContextCommandAt(SeparatorPoint(popup, kSeparatorTop), kProperties);
    }).result);
    ASSERT_TRUE(message.WaitForCount(1)) << "no message from the properties command";
    EXPECT_EQ("GetMenuItemData failed", message.Texts().at(0));
    EXPECT_TRUE(qtest::OwnWindows("#32770", "Menu Item Properties").empty());
    EXPECT_EQ(before, StoreSnapshot());
}

TEST_F(PressEdit, InsertOnASeparatorShowsPositionMinusOneAndStoresNothing) {
    SeedSeparatedPair();
    const auto before = StoreSnapshot();
    qtest::HostWindow host;
    std::string shownPosition;
    EXPECT_EQ(1, Press(host.Handle(), [&] {
        HWND popup = WaitForPopups(1);
        ASSERT_NE(nullptr, popup);
        ContextCommandAt(SeparatorPoint(popup, kSeparatorTop), kInsert);
        HWND dialog = WaitForDialog("Create Menu Item");
        ASSERT_NE(nullptr, dialog);
        shownPosition = ControlText(dialog, IDC_POSITION);
        FillAndConfirm(dialog, {"Gamma", ProbePath().c_str(), "g", "", false});
    }).result);
    EXPECT_EQ("-1", shownPosition);
    EXPECT_EQ(before, StoreSnapshot()) << "no key holds the id of a separator";
}

// "Insert Item..." stands for no stored item: Properties and Delete on it
// have nothing to show or remove.
TEST_F(PressEdit, PropertiesOnInsertItemShowsNoDialogAndStoresNothing) {
    qtest::HostWindow host;
    bool dialogShown = false;
    EXPECT_EQ(1, Press(host.Handle(), [&] {
        HWND popup = WaitForPopups(1);
        ASSERT_NE(nullptr, popup);
        ContextCommandOn(popup, 0, kProperties);
        // The dialog would be modal inside the press: the press ending first
        // is the sign that there is none.
        HWND dialog = nullptr;
        qtest::WaitFor([&] {
            dialog = qtest::FirstOwnWindow("#32770", "Menu Item Properties");
            return dialog || qtest::ModalRunReturned();
        });
        if (dialog) {
            dialogShown = true;
            PressOk(dialog); // what a user who expects nothing would do
        }
    }).result);
    EXPECT_FALSE(dialogShown) << "a properties dialog for the placeholder";
    EXPECT_TRUE(StoreSnapshot().empty()) << "the placeholder was stored as an item";
}

TEST_F(PressEdit, DeleteOnInsertItemOfAnEmptySubmenuReportsNoFailureAndKeepsTheSubmenu) {
    StoreRecord("Empty", "", ",,,,0,0,1,0");
    const auto before = StoreSnapshot();
    qtest::MessageBoxWatcher deletion("DeleteMenuItemRegEntry");
    qtest::HostWindow host;
    EXPECT_EQ(1, Press(host.Handle(), [] {
        HWND popup = WaitForPopups(1);
        ASSERT_NE(nullptr, popup);
        HWND submenu = OpenSubmenu(popup, 0, 1);
        if (submenu) ContextCommandOn(submenu, 0, kDelete, 2);
    }).result);
    // A message box holds the press up until it is closed: every box the
    // press showed has been seen by now.
    EXPECT_EQ(std::vector<std::string>(), deletion.Texts());
    EXPECT_EQ(before, StoreSnapshot());
}
