// The item dialog's Browse... and Set Icon... buttons, through the system's
// open-file dialog and the icon picker.
#include <windows.h>
#include <commctrl.h>
#include <string>
#include "resources/resource_ids.h"
#include "tests/editor/item_dialog_fixture.h"

using edtest::ControlText;

namespace {

HICON ShownIcon(HWND dialog) {
    return reinterpret_cast<HICON>(
        SendDlgItemMessageA(dialog, IDC_ICON_PREVIEW, STM_GETICON, 0, 0));
}

// Chooses `path` in the open-file dialog that `button` opens.
bool BrowseTo(HWND dialog, int button, const std::string& path, std::string* filters = nullptr) {
    edtest::PostClick(dialog, button);
    HWND open = edtest::WaitForOpenDialog();
    if (!open) return false;
    if (filters) *filters = edtest::OpenDialogFilters(open);
    return edtest::ConfirmOpenDialog(open, path);
}

// Picks list entry `index` in the icon picker (none for -1) and confirms, or
// cancels it.
bool AnswerPicker(int index, bool confirm) {
    HWND picker = qtest::WaitForWindow("#32770", "Select Icon");
    if (!picker) return false;
    if (index >= 0) {
        LVITEMA state = {};
        state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendDlgItemMessageA(picker, IDC_ICON_LIST, LVM_SETITEMSTATE, index,
                            reinterpret_cast<LPARAM>(&state));
    }
    edtest::PostClick(picker, confirm ? IDOK : IDCANCEL);
    return qtest::WaitUntilGone(picker);
}

bool WaitForText(HWND dialog, int id, const std::string& text) {
    return qtest::WaitFor([&] { return ControlText(dialog, id) == text; });
}

} // namespace

TEST_F(ItemDialogTest, BrowsedTargetShowsItsFirstIconAndReplacesTheIconFile) {
    edtest::ScratchDir scratch;
    std::string program = scratch.CopyProgram("app.exe");
    std::string oldIcon = scratch.WriteIcon("old.ico");
    PrepareProperties("App", "C:\\before.exe", 1, 1);
    strcpy(Data().iconPath, oldIcon.c_str());
    Data().iconIndex = 0;
    std::string filters, source, iconFile;
    bool shownIsPreview = false, browsed = false;
    INT_PTR result = Run([&](HWND dialog) {
        browsed = BrowseTo(dialog, IDC_BROWSE_TARGET, program, &filters) &&
                  WaitForText(dialog, IDC_TARGET, program);
        source = ControlText(dialog, IDC_ICON_SOURCE);
        iconFile = ControlText(dialog, IDC_ICON_PATH);
        shownIsPreview = itemDialog.PreviewIcon() &&
                         ShownIcon(dialog) == itemDialog.PreviewIcon() &&
                         edtest::IsLiveIcon(itemDialog.PreviewIcon());
        PressOk(dialog);
    });
    EXPECT_TRUE(browsed);
    EXPECT_EQ("Programs|All Files", filters);
    EXPECT_EQ(program + ", 0", source);
    EXPECT_EQ("", iconFile) << "the icon file chosen before no longer applies";
    EXPECT_TRUE(shownIsPreview);
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(program, Data().target);
    EXPECT_STREQ("", Data().iconPath);
    EXPECT_EQ(0, Data().iconIndex);
}

TEST_F(ItemDialogTest, BrowsedTargetWithoutIconsLeavesNoDestroyedIconOnShow) {
    edtest::ScratchDir scratch;
    std::string program = scratch.CopyProgram("app.exe");
    std::string text = scratch.WriteText("readme.txt");
    PrepareCreate(1);
    strcpy(Data().target, program.c_str());
    HICON before = nullptr, after = nullptr;
    bool beforeLive = false, afterOk = false, browsed = false;
    std::string source;
    Run([&](HWND dialog) {
        before = ShownIcon(dialog);
        beforeLive = before == itemDialog.PreviewIcon() && edtest::IsLiveIcon(before);
        browsed = BrowseTo(dialog, IDC_BROWSE_TARGET, text) &&
                  WaitForText(dialog, IDC_ICON_SOURCE, text + ", 0");
        source = ControlText(dialog, IDC_ICON_SOURCE);
        after = ShownIcon(dialog);
        afterOk = after == nullptr || edtest::IsLiveIcon(after);
        edtest::PostClick(dialog, IDCANCEL);
    });
    EXPECT_TRUE(beforeLive);
    EXPECT_TRUE(browsed);
    EXPECT_EQ(text + ", 0", source);
    EXPECT_NE(before, after);
    EXPECT_TRUE(afterOk) << "control 1007 shows a destroyed icon";
    EXPECT_EQ(nullptr, itemDialog.PreviewIcon());
}

TEST_F(ItemDialogTest, SetIconStoresThePickedIconOfTheChosenFile) {
    edtest::ScratchDir scratch;
    std::string icon = scratch.WriteIcon("blue.ico");
    PrepareCreate(1);
    std::string filters, source, iconFile;
    bool picked = false;
    INT_PTR result = Run([&](HWND dialog) {
        edtest::SetControlText(dialog, IDC_NAME, "Blue");
        edtest::SetControlText(dialog, IDC_TARGET, "C:\\blue.exe");
        picked = BrowseTo(dialog, IDC_SET_ICON, icon, &filters) && AnswerPicker(0, true) &&
                 WaitForText(dialog, IDC_ICON_SOURCE, icon + ", 0");
        source = ControlText(dialog, IDC_ICON_SOURCE);
        iconFile = ControlText(dialog, IDC_ICON_PATH);
        PressOk(dialog);
    });
    EXPECT_TRUE(picked);
    EXPECT_EQ("Icon Files|All Files", filters);
    EXPECT_EQ(icon + ", 0", source);
    EXPECT_EQ(icon, iconFile);
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(icon, Data().iconPath);
    EXPECT_EQ(0, Data().iconIndex);
}

TEST_F(ItemDialogTest, CancelledPickerKeepsTheIconFileInForce) {
    edtest::ScratchDir scratch;
    std::string icon = scratch.WriteIcon("new.ico");
    PrepareProperties("Tool", "C:\\tool.exe", 1, 1);
    strcpy(Data().iconPath, "C:\\Icons\\old.dll");
    Data().iconIndex = 2;
    std::string iconFile, source;
    bool answered = false, emptyAnswered = false;
    INT_PTR result = Run([&](HWND dialog) {
        answered = BrowseTo(dialog, IDC_SET_ICON, icon) && AnswerPicker(-1, false);
        qtest::WaitFor([&] { return IsWindowEnabled(dialog) != FALSE; });
        iconFile = ControlText(dialog, IDC_ICON_PATH);
        // OK without a selection counts as no choice too.
        emptyAnswered = BrowseTo(dialog, IDC_SET_ICON, icon) && AnswerPicker(-1, true);
        qtest::WaitFor([&] { return IsWindowEnabled(dialog) != FALSE; });
        source = ControlText(dialog, IDC_ICON_SOURCE);
        PressOk(dialog);
    });
    EXPECT_TRUE(answered);
    EXPECT_TRUE(emptyAnswered);
    EXPECT_EQ("C:\\Icons\\old.dll", iconFile);
    EXPECT_EQ("C:\\Icons\\old.dll, 2", source);
    EXPECT_EQ(IDOK, result);
    EXPECT_STREQ("C:\\Icons\\old.dll", Data().iconPath);
    EXPECT_EQ(2, Data().iconIndex);
}
