// The item dialog and the icon picker release what they hold and let presses
// in again however they end: also when someone else destroys the dialog, or
// when the picker's owner goes away.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <functional>
#include <string>
#include "editor/icon_picker.h"
#include "editor/item_dialog.h"
#include "plugin/module.h"
#include "resources/resource_ids.h"
#include "tests/support/test_support.h"

namespace {

const char kIconFile[] = "C:\\windows\\notepad.exe";

// The window of this thread with the given title, or null.
HWND ThreadWindow(const char* title) {
    struct Search {
        const char* title;
        HWND found;
    } search = {title, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            Search* s = reinterpret_cast<Search*>(param);
            if (qtest::WindowText(window) != s->title) return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// What the timer below does once the dialog titled g_dialogTitle is up, and
// what it saw before. The dialog objects under test, while they run.
enum OutsideAction { kDestroyDialog, kDestroyTarget, kCancelDialog };
OutsideAction g_action = kDestroyDialog;
HWND g_target = nullptr;
const char* g_dialogTitle = nullptr;
bool g_acted = false;
HICON g_iconWhileOpen = nullptr;
HIMAGELIST g_listWhileOpen = nullptr;
HBITMAP g_listBitmapsWhileOpen[2] = {}; // the image list's image and mask
const ItemDialog* g_itemDialog = nullptr;
const IconPicker* g_iconPicker = nullptr;

// Runs inside the dialog's own modal loop, on the test's thread, as code of
// the host would.
void CALLBACK ActFromOutside(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = ThreadWindow(g_dialogTitle);
    if (!dialog || g_acted) return;
    g_acted = true;
    g_iconWhileOpen = g_itemDialog ? g_itemDialog->PreviewIcon() : nullptr;
    g_listWhileOpen = g_iconPicker ? g_iconPicker->Data().imageList.Get() : nullptr;
    IMAGEINFO info = {};
    if (g_listWhileOpen && ImageList_GetImageInfo(g_listWhileOpen, 0, &info)) {
        g_listBitmapsWhileOpen[0] = info.hbmImage;
        g_listBitmapsWhileOpen[1] = info.hbmMask;
    }
    if (g_action == kCancelDialog)
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    else
        DestroyWindow(g_action == kDestroyTarget ? g_target : dialog);
}

// Runs `body`, which opens a modal dialog titled `title` on this thread, with
// the timer that acts on it from outside, and a watchdog that ends the loop
// instead of letting a fault hang the test. False when the watchdog had to
// step in.
bool RunWithOutsideAction(const char* title, OutsideAction action, HWND target,
                          const std::function<void()>& body) {
    g_dialogTitle = title;
    g_action = action;
    g_target = target;
    g_acted = false;
    qtest::Watchdog watchdog(std::string("the dialog \"") + title + "\"");
    UINT_PTR timer = SetTimer(nullptr, 0, 50, ActFromOutside);
    body();
    KillTimer(nullptr, timer);
    watchdog.Disarm();
    return !watchdog.Fired();
}

HWND MakeOwner() {
    return CreateWindowExA(0, "STATIC", "picker owner", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50,
                           nullptr, nullptr, nullptr, nullptr);
}

void PrepareCreateDialog(ItemDialogData* d) {
    lstrcpyA(d->title, "Create Menu Item");
    lstrcpyA(d->target, kIconFile); // the preview shows its first icon
    d->position = 1;
}

bool IconAlive(HICON icon) {
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info)) return false;
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return true;
}

class DialogEndTest : public ::testing::Test {
  protected:
    void SetUp() override { ThePlugin().Attach(GetModuleHandleA(nullptr)); }
};

TEST_F(DialogEndTest, ItemDialogDestroyedByOthersLetsPressesInAndReleasesItsIcon) {
    EditorState state;
    ItemDialog dialog(EditContext{GetModuleHandleA(nullptr), &state});
    PrepareCreateDialog(&dialog.Data());
    g_itemDialog = &dialog;
    INT_PTR result = 0;
    bool ended = RunWithOutsideAction("Create Menu Item", kDestroyDialog, nullptr,
                                      [&] { result = dialog.Run(); });
    g_itemDialog = nullptr;
    ASSERT_TRUE(ended) << "the dialog's loop did not end when its window was destroyed";
    ASSERT_TRUE(g_acted);
    EXPECT_NE(IDOK, result) << "a dialog that was destroyed is no confirmation";
    EXPECT_FALSE(state.dialogOpen) << "a destroyed dialog would refuse every later press";
    EXPECT_EQ(nullptr, dialog.PreviewIcon());
    ASSERT_NE(nullptr, g_iconWhileOpen) << "the dialog showed no preview icon of " << kIconFile;
    EXPECT_FALSE(IconAlive(g_iconWhileOpen)) << "the preview icon outlived its dialog";
}

TEST_F(DialogEndTest, PickerGoingWithItsOwnerReleasesItsImageList) {
    HWND owner = MakeOwner();
    ASSERT_NE(nullptr, owner);
    int index = 0;
    g_listBitmapsWhileOpen[0] = g_listBitmapsWhileOpen[1] = nullptr;
    IconPicker picker(GetModuleHandleA(nullptr), kIconFile);
    g_iconPicker = &picker;
    bool ended = RunWithOutsideAction("Select Icon", kDestroyTarget, owner,
                                      [&] { index = picker.Choose(owner); });
    g_iconPicker = nullptr;
    ASSERT_TRUE(ended) << "the picker's loop did not end when its owner was destroyed";
    ASSERT_TRUE(g_acted);
    EXPECT_FALSE(IsWindow(owner));
    EXPECT_EQ(-1, index);
    ASSERT_NE(nullptr, g_listWhileOpen) << "the picker made no image list for " << kIconFile;
    EXPECT_EQ(nullptr, picker.Data().imageList.Get()) << "the picker's image list outlived it";
    // The list's own bitmaps are gone with it (a GDI handle, once deleted,
    // names no object: its value carries a generation that is never reused).
    ASSERT_NE(nullptr, g_listBitmapsWhileOpen[0]) << "the image list held no icons";
    for (HBITMAP bitmap : g_listBitmapsWhileOpen) {
        if (bitmap) {
            EXPECT_EQ(0u, GetObjectType(bitmap))
                << "a bitmap of the picker's image list survived it";
        }
    }
}

} // namespace
