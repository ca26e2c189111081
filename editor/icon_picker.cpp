// The icon picker: every icon of a file as a large icon; the list position of
// the chosen one is its index in the file.
#include "editor/icon_picker.h"
#include "editor/item_dialog.h"
#include "common/handle_guards.h"
#include "common/icon_file.h"
#include "resources/resource_ids.h"

IconPickerData g_iconPicker = {nullptr, nullptr, -1};

namespace {

// Appends the file's icons to the image list in file order; returns how many.
int LoadIcons(HIMAGELIST imageList) {
    HINSTANCE module = g_itemDialog.moduleInstance;
    int count = 0;
    for (;;) {
        // The image list keeps its own copy of each icon.
        OwnedIcon icon(ExtractIconOrNull(module, g_iconPicker.fileName, count));
        if (!icon || ImageList_ReplaceIcon(imageList, -1, icon.Get()) == -1) break;
        ++count;
    }
    return count;
}

void FillList(HWND dialog, int count) {
    HWND list = GetDlgItem(dialog, IDC_ICON_LIST);
    if (!list) return;
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(g_iconPicker.imageList));
    for (int i = 0; i < count; ++i) {
        LVITEMA item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = i;
        item.iImage = i;
        if (SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)) == -1) break;
    }
}

void OnInitDialog(HWND dialog) {
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    OwnedImageList imageList(ImageList_Create(
        GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), ILC_COLOR8 | ILC_MASK, 0, 4));
    if (!imageList) return;
    int count = LoadIcons(imageList.Get());
    g_iconPicker.imageList = imageList.Release(); // released when the picker closes
    if (count > 0) FillList(dialog, count);
}

// The image list belongs to the picker: the list view lets go of it before it
// is destroyed, so it is released exactly once.
void ReleaseImageList(HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_ICON_LIST);
    if (list) {
        SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
        SendMessageA(list, LVM_SETIMAGELIST, LVSIL_NORMAL, 0);
    }
    if (g_iconPicker.imageList) ImageList_Destroy(g_iconPicker.imageList);
    g_iconPicker.imageList = nullptr;
}

void ClosePicker(HWND dialog, INT_PTR result) {
    ReleaseImageList(dialog);
    EndDialog(dialog, result);
}

void OnOk(HWND dialog) {
    g_iconPicker.chosenIndex = static_cast<int>(
        SendDlgItemMessageA(dialog, IDC_ICON_LIST, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                            MAKELPARAM(LVNI_SELECTED, 0)));
    ClosePicker(dialog, IDOK);
}

void OnCancel(HWND dialog) {
    g_iconPicker.chosenIndex = -1;
    ClosePicker(dialog, IDCANCEL);
}

INT_PTR PickerMessage(HWND dialog, UINT message, WPARAM wParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            OnOk(dialog);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel(dialog);
            return TRUE;
        }
        return FALSE;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) != SC_CLOSE) return FALSE;
        OnCancel(dialog);
        return TRUE;
    case WM_DESTROY:
        // Also when the picker goes with its owner, or by someone else's
        // DestroyWindow.
        ReleaseImageList(dialog);
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

INT_PTR CALLBACK IconPickerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    // Nothing may unwind into the system's dialog manager: a failure closes
    // the picker as Cancel does.
    try {
        return PickerMessage(dialog, message, wParam);
    } catch (...) {
        OnCancel(dialog);
        return TRUE;
    }
}

int ChooseIconIndex(HINSTANCE module, HWND ownerWindow, const char* fileName) {
    g_itemDialog.moduleInstance = module;
    g_iconPicker.fileName = fileName;
    INT_PTR result =
        DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_ICON_PICKER), ownerWindow, IconPickerProc, 0);
    return result == IDOK ? g_iconPicker.chosenIndex : -1;
}
