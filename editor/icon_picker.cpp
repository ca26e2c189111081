// The icon picker: every icon of a file as a large icon; the list position of
// the chosen one is its index in the file.
#include "editor/icon_picker.h"
#include <utility>
#include "common/icon_file.h"
#include "resources/resource_ids.h"

// Appends the file's icons to the image list in file order; returns how many.
int IconPicker::LoadIcons(HIMAGELIST imageList) const {
    int count = 0;
    for (;;) {
        // The image list keeps its own copy of each icon.
        OwnedIcon icon(ExtractIconOrNull(m_module, m_data.fileName, count));
        if (!icon || ImageList_ReplaceIcon(imageList, -1, icon.Get()) == -1) break;
        ++count;
    }
    return count;
}

void IconPicker::FillList(HWND dialog, int count) {
    HWND list = GetDlgItem(dialog, IDC_ICON_LIST);
    if (!list) return;
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(m_data.imageList.Get()));
    for (int i = 0; i < count; ++i) {
        LVITEMA item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = i;
        item.iImage = i;
        if (SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)) == -1) break;
    }
}

void IconPicker::OnInitDialog(HWND dialog) {
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    OwnedImageList imageList(ImageList_Create(
        GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), ILC_COLOR8 | ILC_MASK, 0, 4));
    if (!imageList) return;
    int count = LoadIcons(imageList.Get());
    m_data.imageList = std::move(imageList); // released when the picker closes
    if (count > 0) FillList(dialog, count);
}

// The image list belongs to the picker: the list view lets go of it before it
// is destroyed, so it is released exactly once.
void IconPicker::ReleaseImageList(HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_ICON_LIST);
    if (list) {
        SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
        SendMessageA(list, LVM_SETIMAGELIST, LVSIL_NORMAL, 0);
    }
    m_data.imageList.Reset();
}

void IconPicker::Close(HWND dialog, INT_PTR result) {
    ReleaseImageList(dialog);
    EndDialog(dialog, result);
}

void IconPicker::EndAsCancel(HWND dialog) {
    m_data.chosenIndex = -1;
    Close(dialog, IDCANCEL);
}

void IconPicker::OnDestroy(HWND dialog) {
    // Also when the picker goes with its owner, or by someone else's
    // DestroyWindow.
    ReleaseImageList(dialog);
}

INT_PTR IconPicker::OnCommand(HWND dialog, WPARAM wParam, LPARAM) {
    if (LOWORD(wParam) != IDOK) return FALSE;
    m_data.chosenIndex = static_cast<int>(
        SendDlgItemMessageA(dialog, IDC_ICON_LIST, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                            MAKELPARAM(LVNI_SELECTED, 0)));
    Close(dialog, IDOK);
    return TRUE;
}

int IconPicker::Choose(HWND owner) {
    m_data.chosenIndex = -1;
    INT_PTR result = RunModal(m_module, IDD_ICON_PICKER, owner);
    return result == IDOK ? m_data.chosenIndex : -1;
}

int ChooseIconIndex(HINSTANCE module, HWND ownerWindow, const char* fileName) {
    IconPicker picker(module, fileName);
    return picker.Choose(ownerWindow);
}
