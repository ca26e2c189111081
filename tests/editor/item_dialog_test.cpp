// The item dialog run modally on the test's thread and driven from the input
// thread: modes, validation, the submenu box, the position spinner, closing.
#include <windows.h>
#include <commctrl.h>
#include <string>
#include "resources/resource_ids.h"
#include "tests/editor/item_dialog_fixture.h"

using edtest::ClickSpinner;
using edtest::ControlText;
using edtest::SetControlText;

namespace {

bool Enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}
bool Visible(HWND dialog, int id) {
    return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE;
}
bool Checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

const int kLaunchFields[] = {IDC_TARGET, IDC_BROWSE_TARGET, IDC_PARAMETERS, IDC_START_IN};

} // namespace

TEST_F(ItemDialogTest, CreateModeShowsThePositionWithoutLettingItChange) {
    for (int position : {4, -1}) {
        PrepareCreate(position);
        bool openWhileShown = false;
        std::string title, shown, source, sourceAfterTyping, spinnerClass;
        bool positionLocked = false, fieldsOpen = false, neverShownHidden = true;
        INT_PTR result = Run([&](HWND dialog) {
            openWhileShown = state.dialogOpen;
            title = qtest::WindowText(dialog);
            spinnerClass = qtest::ClassName(GetDlgItem(dialog, IDC_POSITION_SPIN));
            shown = ControlText(dialog, IDC_POSITION);
            positionLocked = !Enabled(dialog, IDC_POSITION) && !Enabled(dialog, IDC_POSITION_SPIN);
            fieldsOpen = Enabled(dialog, IDC_NAME) && Enabled(dialog, IDC_SUBMENU) &&
                         Enabled(dialog, IDC_TARGET) && Enabled(dialog, IDC_SET_ICON);
            for (int id : {IDC_BROWSE_START_IN, IDC_RUN_MODE, IDC_ICON_PATH})
                if (Visible(dialog, id) || Enabled(dialog, id)) neverShownHidden = false;
            source = ControlText(dialog, IDC_ICON_SOURCE);
            // Typing a target is not watched: the preview stays as it was.
            SetControlText(dialog, IDC_TARGET, "C:\\Windows\\notepad.exe");
            sourceAfterTyping = ControlText(dialog, IDC_ICON_SOURCE);
            edtest::PostClick(dialog, IDCANCEL);
        });
        SCOPED_TRACE("position " + std::to_string(position));
        EXPECT_EQ(IDCANCEL, result);
        EXPECT_TRUE(openWhileShown);
        EXPECT_FALSE(state.dialogOpen);
        EXPECT_EQ("Create Menu Item", title);
        EXPECT_EQ(std::to_string(position), shown);
        EXPECT_EQ("msctls_updown32", spinnerClass);
        EXPECT_TRUE(positionLocked);
        EXPECT_TRUE(fieldsOpen);
        EXPECT_TRUE(neverShownHidden);
        EXPECT_EQ("Icon is Not Specified", source);
        EXPECT_EQ("Icon is Not Specified", sourceAfterTyping);
    }
}

TEST_F(ItemDialogTest, MissingNameOrTargetIsNamedAndTheDialogStaysOpen) {
    qtest::MessageBoxWatcher boxes("Missing Item Properties");
    bool openAfterEach = true;
    std::string targetKept;
    INT_PTR result = Run([&](HWND dialog) {
        edtest::PostClick(dialog, IDOK);
        boxes.WaitForCount(1);
        SetControlText(dialog, IDC_TARGET, "C:\\Tools\\app.exe");
        edtest::PostClick(dialog, IDOK);
        boxes.WaitForCount(2);
        targetKept = ControlText(dialog, IDC_TARGET);
        SetControlText(dialog, IDC_TARGET, "");
        SetControlText(dialog, IDC_NAME, "Tools");
        edtest::PostClick(dialog, IDOK);
        boxes.WaitForCount(3);
        openAfterEach = IsWindowVisible(dialog) != FALSE;
        // A submenu needs no target.
        edtest::ClickCheckBox(dialog, IDC_SUBMENU);
        PressOk(dialog);
    });
    EXPECT_EQ((std::vector<std::string>{"Please supply a Name and Target for the item",
                                        "Please supply a Name for the item",
                                        "Please supply a Target for the item"}),
              boxes.Texts());
    EXPECT_TRUE(openAfterEach);
    EXPECT_EQ("C:\\Tools\\app.exe", targetKept);
    EXPECT_EQ(IDOK, result);
    EXPECT_TRUE(Data().isSubmenu);
    EXPECT_STREQ("Tools", Data().name);
    EXPECT_FALSE(state.dialogOpen);
}

TEST_F(ItemDialogTest, BlankNameWithATargetIsAccepted) {
    qtest::MessageBoxWatcher boxes("Missing Item Properties");
    INT_PTR result = Run([&](HWND dialog) {
        SetControlText(dialog, IDC_NAME, "   ");
        SetControlText(dialog, IDC_TARGET, "notepad.exe");
        SetControlText(dialog, IDC_PARAMETERS, "/a");
        SetControlText(dialog, IDC_START_IN, "C:\\Temp");
        PressOk(dialog);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_TRUE(boxes.Texts().empty());
    EXPECT_STREQ("   ", Data().name);
    EXPECT_STREQ("notepad.exe", Data().target);
    EXPECT_STREQ("/a", Data().parameters);
    EXPECT_STREQ("C:\\Temp", Data().startIn);
    EXPECT_STREQ("", Data().iconPath);
}

TEST_F(ItemDialogTest, SubmenuBoxDisablesTheLaunchFieldsAndEnablesThemAgain) {
    bool checkedState = false, uncheckedState = true;
    int disabled = 0, enabled = 0;
    bool hiddenStayHidden = true;
    Run([&](HWND dialog) {
        edtest::ClickCheckBox(dialog, IDC_SUBMENU);
        checkedState = Data().isSubmenu;
        for (int id : kLaunchFields)
            disabled += !Enabled(dialog, id);
        edtest::ClickCheckBox(dialog, IDC_SUBMENU);
        uncheckedState = Data().isSubmenu;
        for (int id : kLaunchFields)
            enabled += Enabled(dialog, id);
        for (int id : {IDC_BROWSE_START_IN, IDC_RUN_MODE})
            if (Visible(dialog, id)) hiddenStayHidden = false;
        edtest::PostClick(dialog, IDCANCEL);
    });
    EXPECT_TRUE(checkedState);
    EXPECT_EQ(4, disabled);
    EXPECT_FALSE(uncheckedState);
    EXPECT_EQ(4, enabled);
    EXPECT_TRUE(hiddenStayHidden);
}

TEST_F(ItemDialogTest, PropertiesModeLocksNameAndKindAndBoundsThePosition) {
    PrepareProperties("Editor", "C:\\Windows\\notepad.exe", 4, 5);
    std::string title, name;
    bool locked = false, spinnerOpen = false;
    LRESULT range = 0;
    std::vector<std::string> steps;
    INT_PTR result = Run([&](HWND dialog) {
        title = qtest::WindowText(dialog);
        name = ControlText(dialog, IDC_NAME);
        locked = !Enabled(dialog, IDC_NAME) && !Enabled(dialog, IDC_SUBMENU) &&
                 !Checked(dialog, IDC_SUBMENU) && Enabled(dialog, IDC_TARGET);
        spinnerOpen = Enabled(dialog, IDC_POSITION) && Enabled(dialog, IDC_POSITION_SPIN);
        range = SendDlgItemMessageA(dialog, IDC_POSITION_SPIN, UDM_GETRANGE, 0, 0);
        steps.push_back(ClickSpinner(dialog, true)); // toward the top: 3
        for (int i = 0; i < 3; ++i)
            ClickSpinner(dialog, true);
        steps.push_back(ControlText(dialog, IDC_POSITION)); // stops at 1
        for (int i = 0; i < 5; ++i)
            ClickSpinner(dialog, false);
        steps.push_back(ControlText(dialog, IDC_POSITION)); // stops at 5
        steps.push_back(ClickSpinner(dialog, true));
        PressOk(dialog);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ("Menu Item Properties", title);
    EXPECT_EQ("Editor", name);
    EXPECT_TRUE(locked);
    EXPECT_TRUE(spinnerOpen);
    EXPECT_EQ(1, LOWORD(range)) << "the up-arrow end";
    EXPECT_EQ(5, HIWORD(range)) << "the down-arrow end";
    EXPECT_EQ((std::vector<std::string>{"3", "1", "5", "4"}), steps);
    EXPECT_STREQ("4", Data().positionText);
    EXPECT_EQ(4, Data().position) << "the flow's position is left as it was";
}

TEST_F(ItemDialogTest, PropertiesOfASubmenuShowItCheckedWithTheLaunchFieldsDisabled) {
    PrepareProperties("Games", "", 2, 3);
    Data().isSubmenu = true;
    bool checked = false, boxLocked = false;
    int disabled = 0;
    INT_PTR result = Run([&](HWND dialog) {
        checked = Checked(dialog, IDC_SUBMENU);
        boxLocked = !Enabled(dialog, IDC_SUBMENU);
        for (int id : kLaunchFields)
            disabled += !Enabled(dialog, id);
        PressOk(dialog);
    });
    EXPECT_EQ(IDOK, result) << "a submenu needs no target";
    EXPECT_TRUE(checked);
    EXPECT_TRUE(boxLocked);
    EXPECT_EQ(4, disabled);
}

TEST_F(ItemDialogTest, OkStoresRunModeZeroAndTheSeparatorBox) {
    PrepareProperties("Editor", "notepad.exe", 1, 2);
    Data().runMode = 3;
    Data().separator = 1;
    bool checkedAtStart = false;
    INT_PTR result = Run([&](HWND dialog) {
        checkedAtStart = Checked(dialog, IDC_SEPARATOR);
        edtest::ClickCheckBox(dialog, IDC_SEPARATOR);
        PressOk(dialog);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_TRUE(checkedAtStart);
    EXPECT_EQ(0, Data().separator);
    EXPECT_EQ(0, Data().runMode);

    Data().runMode = 2;
    result = Run([&](HWND dialog) {
        edtest::ClickCheckBox(dialog, IDC_SEPARATOR);
        PressOk(dialog);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(1, Data().separator);
    EXPECT_EQ(0, Data().runMode);
}

TEST_F(ItemDialogTest, CloseBoxAndCancelEndWithoutReadingAnythingBack) {
    edtest::ScratchDir scratch;
    std::string program = scratch.CopyProgram("app.exe");
    for (bool closeBox : {true, false}) {
        PrepareCreate(2);
        strcpy(Data().target, program.c_str());
        HICON preview = nullptr;
        INT_PTR result = Run([&](HWND dialog) {
            preview = itemDialog.PreviewIcon();
            SetControlText(dialog, IDC_NAME, "Changed");
            SetControlText(dialog, IDC_TARGET, "other.exe");
            if (closeBox)
                PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            else
                edtest::PostClick(dialog, IDCANCEL);
            qtest::WaitUntilGone(dialog);
        });
        SCOPED_TRACE(closeBox ? "close box" : "Cancel");
        EXPECT_EQ(IDCANCEL, result);
        EXPECT_STREQ("", Data().name);
        EXPECT_STREQ(program.c_str(), Data().target);
        EXPECT_FALSE(state.dialogOpen);
        EXPECT_NE(nullptr, preview) << "the target's icon was shown";
        EXPECT_FALSE(edtest::IsLiveIcon(preview)) << "the preview icon is left behind";
        EXPECT_EQ(nullptr, itemDialog.PreviewIcon());
    }
}

TEST_F(ItemDialogTest, PositionsFromOneHundredUpAreShownAndReadBackWhole) {
    PrepareProperties("Item", "app.exe", 150, 200);
    std::string shown, afterUp;
    INT_PTR result = Run([&](HWND dialog) {
        shown = ControlText(dialog, IDC_POSITION);
        afterUp = ClickSpinner(dialog, true);
        PressOk(dialog);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ("150", shown);
    EXPECT_EQ("149", afterUp);
    EXPECT_STREQ("149", Data().positionText);

    PrepareCreate(1234);
    strcpy(Data().name, "Late");
    strcpy(Data().target, "app.exe");
    result = Run([&](HWND dialog) {
        shown = ControlText(dialog, IDC_POSITION);
        PressOk(dialog);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ("1234", shown);
    EXPECT_STREQ("1234", Data().positionText);
}

TEST_F(ItemDialogTest, CommasInStoredFieldsAreRefusedWithTheTypedTextKept) {
    qtest::MessageBoxWatcher invalid("Invalid Item Properties");
    qtest::MessageBoxWatcher missing("Missing Item Properties");
    std::vector<std::string> kept;
    INT_PTR result = Run([&](HWND dialog) {
        struct {
            int id;
            const char* withComma;
            const char* clean;
        } fields[] = {{IDC_TARGET, "C:\\a,b.exe", "C:\\ab.exe"},
                      {IDC_PARAMETERS, "-x 1,2", "-x 1"},
                      {IDC_START_IN, "C:\\a,b", "C:\\ab"},
                      {IDC_ICON_PATH, "C:\\icons,1.ico", "C:\\icons.ico"}};
        SetControlText(dialog, IDC_NAME, "Item");
        for (const auto& field : fields)
            SetControlText(dialog, field.id, field.clean);
        size_t count = 0;
        for (const auto& field : fields) {
            SetControlText(dialog, field.id, field.withComma);
            edtest::PostClick(dialog, IDOK);
            invalid.WaitForCount(++count);
            if (IsWindowVisible(dialog)) kept.push_back(ControlText(dialog, field.id));
            SetControlText(dialog, field.id, field.clean);
        }
        PressOk(dialog);
    });
    EXPECT_EQ((std::vector<std::string>{"Commas are not allowed in the Target field",
                                        "Commas are not allowed in the Parms field",
                                        "Commas are not allowed in the Start in field",
                                        "Commas are not allowed in the Icon file field"}),
              invalid.Texts());
    EXPECT_EQ((std::vector<std::string>{"C:\\a,b.exe", "-x 1,2", "C:\\a,b", "C:\\icons,1.ico"}),
              kept);
    EXPECT_TRUE(missing.Texts().empty());
    EXPECT_EQ(IDOK, result);
    EXPECT_STREQ("C:\\ab.exe", Data().target);
    EXPECT_STREQ("C:\\icons.ico", Data().iconPath);
}

TEST_F(ItemDialogTest, ASubmenuIgnoresCommasInTheFieldsItDoesNotStore) {
    qtest::MessageBoxWatcher invalid("Invalid Item Properties");
    INT_PTR result = Run([&](HWND dialog) {
        SetControlText(dialog, IDC_NAME, "Games");
        SetControlText(dialog, IDC_TARGET, "left,over");
        edtest::ClickCheckBox(dialog, IDC_SUBMENU);
        PressOk(dialog);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_TRUE(invalid.Texts().empty());
}

TEST_F(ItemDialogTest, ASecondDialogStartsFreshWhateverTheFirstWasLeftWith) {
    edtest::ScratchDir scratch;
    std::string program = scratch.CopyProgram("app.exe");
    PrepareProperties("Tools", program.c_str(), 3, 4);
    Data().separator = 1;
    INT_PTR first = Run([&](HWND dialog) {
        SetControlText(dialog, IDC_PARAMETERS, "-x");
        PressOk(dialog);
    });
    ASSERT_EQ(IDOK, first);
    ASSERT_STREQ("-x", Data().parameters);

    ItemDialog second(EditContext{edtest::Module(), &state});
    strcpy(second.Data().title, "Create Menu Item");
    bool openWhileShown = false, launchFieldsOpen = false, boxesClear = false;
    HICON previewWhileShown = nullptr;
    std::string texts;
    INT_PTR result = edtest::DriveDialog(
        "Create Menu Item",
        [&](HWND dialog) {
            openWhileShown = state.dialogOpen;
            previewWhileShown = second.PreviewIcon();
            texts = ControlText(dialog, IDC_POSITION) + "|" + ControlText(dialog, IDC_NAME) + "|" +
                    ControlText(dialog, IDC_TARGET) + "|" + ControlText(dialog, IDC_PARAMETERS) +
                    "|" + ControlText(dialog, IDC_START_IN) + "|" +
                    ControlText(dialog, IDC_ICON_PATH) + "|" + ControlText(dialog, IDC_ICON_SOURCE);
            boxesClear = !Checked(dialog, IDC_SEPARATOR) && !Checked(dialog, IDC_SUBMENU);
            launchFieldsOpen = Enabled(dialog, IDC_NAME) && Enabled(dialog, IDC_SUBMENU) &&
                               Enabled(dialog, IDC_TARGET) && !Enabled(dialog, IDC_POSITION_SPIN);
            edtest::PostClick(dialog, IDCANCEL);
        },
        [&] { return second.Run(); });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_TRUE(openWhileShown);
    EXPECT_FALSE(state.dialogOpen);
    EXPECT_EQ(nullptr, previewWhileShown) << "no icon to preview";
    EXPECT_EQ("-1||||||Icon is Not Specified", texts);
    EXPECT_TRUE(boxesClear);
    EXPECT_TRUE(launchFieldsOpen) << "a new dialog is in create mode";
    EXPECT_EQ(-1, second.Data().iconIndex);
    EXPECT_EQ(0, second.Data().separator);
    EXPECT_STREQ("-x", Data().parameters) << "the first dialog's record is its own";
}
