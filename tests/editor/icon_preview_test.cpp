// An item dialog object's ShowIconPreview on a modeless copy of the item
// dialog, and BrowseForFile through the system's open-file dialog.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "editor/item_dialog.h"
#include "resources/resource_ids.h"
#include "tests/editor/editor_test_support.h"
#include "tests/support/test_support.h"

namespace {

INT_PTR CALLBACK PassiveProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

class IconPreviewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dialog = CreateDialogParamA(edtest::Module(), MAKEINTRESOURCEA(IDD_ITEM_DIALOG),
                                    host.Handle(), PassiveProc, 0);
        ASSERT_NE(nullptr, dialog);
        program = scratch.CopyProgram("app.exe");
        icon = scratch.WriteIcon("blue.ico");
        text = scratch.WriteText("notes.txt");
    }
    void TearDown() override {
        if (dialog) DestroyWindow(dialog);
    }
    HICON PreviewIcon() const { return preview.PreviewIcon(); }

    HICON Shown() const {
        return reinterpret_cast<HICON>(
            SendDlgItemMessageA(dialog, IDC_ICON_PREVIEW, STM_GETICON, 0, 0));
    }
    std::string SourceText() const { return edtest::ControlText(dialog, IDC_ICON_SOURCE); }
    void Preview(const char* target, const char* iconPath, int index) {
        preview.ShowIconPreview(dialog, IDC_ICON_PREVIEW, IDC_ICON_SOURCE, target, iconPath, index,
                                true);
    }

    qtest::HostWindow host;
    // The object whose preview is shown: it owns the preview icon.
    ItemDialog preview{EditContext{edtest::Module(), nullptr}};
    HWND dialog = nullptr;
    edtest::ScratchDir scratch;
    std::string program, icon, text;
};

} // namespace

TEST_F(IconPreviewTest, WithoutASourceOnlyTheTextChanges) {
    HICON before = Shown();
    SetDlgItemTextA(dialog, IDC_ICON_SOURCE, "something else");
    Preview(nullptr, nullptr, 4);
    EXPECT_EQ("Icon is Not Specified", SourceText());
    Preview("", "", 4);
    EXPECT_EQ("Icon is Not Specified", SourceText());
    EXPECT_EQ(before, Shown());
    EXPECT_EQ(nullptr, PreviewIcon());
}

TEST_F(IconPreviewTest, IconFileWithItsIndexComesBeforeTheTargetsFirstIcon) {
    Preview(program.c_str(), "C:\\Tools\\app.exe", 3);
    EXPECT_EQ("C:\\Tools\\app.exe, 3", SourceText());
    EXPECT_EQ(nullptr, PreviewIcon()) << "no such file, so no icon";

    Preview(program.c_str(), nullptr, 3);
    EXPECT_EQ(program + ", 0", SourceText());
    ASSERT_NE(nullptr, PreviewIcon());
    EXPECT_EQ(PreviewIcon(), Shown());

    Preview(nullptr, icon.c_str(), 0);
    EXPECT_EQ(icon + ", 0", SourceText());
    EXPECT_TRUE(edtest::IsLiveIcon(PreviewIcon()));
    EXPECT_EQ(PreviewIcon(), Shown());
}

TEST_F(IconPreviewTest, ReplacedIconsAreReleasedAndNeverLeftOnShow) {
    Preview(program.c_str(), nullptr, 0);
    HICON first = PreviewIcon();
    ASSERT_TRUE(edtest::IsLiveIcon(first));
    Preview(nullptr, icon.c_str(), 0);
    HICON second = PreviewIcon();
    EXPECT_TRUE(edtest::IsLiveIcon(second));
    EXPECT_FALSE(edtest::IsLiveIcon(first)) << "the replaced icon is destroyed";

    // A file without icons: the control must not keep showing the old one.
    Preview(text.c_str(), nullptr, 0);
    EXPECT_EQ(text + ", 0", SourceText());
    EXPECT_EQ(nullptr, PreviewIcon());
    EXPECT_FALSE(edtest::IsLiveIcon(second));
    HICON shown = Shown();
    EXPECT_NE(second, shown);
    EXPECT_TRUE(shown == nullptr || edtest::IsLiveIcon(shown));
    UpdateWindow(dialog); // paints without touching a destroyed icon

    int gdiBefore = qtest::LiveGdiObjects();
    for (int i = 0; i < 10; ++i) {
        Preview(program.c_str(), nullptr, 0);
        Preview(nullptr, icon.c_str(), 0);
        Preview(text.c_str(), nullptr, 0);
    }
    EXPECT_EQ(gdiBefore, qtest::LiveGdiObjects());
}

TEST_F(IconPreviewTest, BrowseForFileFillsTheControlOnlyWhenAFileWasChosen) {
    SetDlgItemTextA(dialog, IDC_TARGET, "keep me");
    std::string filters;
    bool cancelled = false;
    bool chosen = true;
    {
        qtest::Watchdog watchdog("the open-file dialog");
        qtest::InputThread input([&] {
            HWND open = edtest::WaitForOpenDialog();
            ASSERT_NE(nullptr, open);
            filters = edtest::OpenDialogFilters(open);
            edtest::CancelOpenDialog(open);
        });
        chosen = BrowseForFile(dialog, IDC_TARGET, kProgramsFilter, edtest::Module());
        cancelled = true;
    }
    EXPECT_TRUE(cancelled);
    EXPECT_FALSE(chosen);
    EXPECT_EQ("keep me", edtest::ControlText(dialog, IDC_TARGET));
    EXPECT_EQ("Programs|All Files", filters);

    {
        qtest::Watchdog watchdog("the open-file dialog");
        qtest::InputThread input([&] {
            HWND open = edtest::WaitForOpenDialog();
            ASSERT_NE(nullptr, open);
            filters = edtest::OpenDialogFilters(open);
            if (!edtest::ConfirmOpenDialog(open, icon)) edtest::CancelOpenDialog(open);
        });
        chosen = BrowseForFile(dialog, IDC_ICON_PATH, kIconFilter, edtest::Module());
    }
    EXPECT_TRUE(chosen);
    EXPECT_EQ("Icon Files|All Files", filters);
    EXPECT_EQ(icon, edtest::ControlText(dialog, IDC_ICON_PATH));
}
