// The item-properties dialog: it edits its own record only; the flow that runs
// it reads the record back and writes the store.
#include "editor/item_dialog.h"
#include <commctrl.h>
#include <stdio.h>
#include <string.h>
#include "editor/icon_picker.h"
#include "resources/resource_ids.h"

namespace {

const char kMissingCaption[] = "Missing Item Properties";
const char kInvalidCaption[] = "Invalid Item Properties";

// The controls that only make sense for a launcher item.
const int kLaunchControls[] = {IDC_TARGET,   IDC_BROWSE_TARGET,   IDC_PARAMETERS,
                               IDC_START_IN, IDC_BROWSE_START_IN, IDC_RUN_MODE};

void EnableLaunchControls(HWND dialog, bool enable) {
    for (int id : kLaunchControls)
        EnableWindow(GetDlgItem(dialog, id), enable);
}

// "Please supply a Name and Target for the item" and its shorter forms.
void ComposeMissingMessage(bool nameMissing, bool targetMissing, char* message, size_t size) {
    snprintf(message, size, "Please supply a %s%sfor the item", nameMissing ? "Name " : "",
             !targetMissing ? "" : (nameMissing ? "and Target " : "Target "));
}

} // namespace

INT_PTR ItemDialog::Run() {
    // The dialog holds an up-down control; the picker a list view.
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_UPDOWN_CLASS | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    return RunModal(m_context.module, IDD_ITEM_DIALOG, nullptr);
}

void ItemDialog::SetOpen(bool open) {
    if (m_context.state) m_context.state->dialogOpen = open;
}

// Releases the preview icon and lets presses in again. The icon control lets
// go of the icon first, so it never draws a destroyed one.
void ItemDialog::Release(HWND dialog) {
    if (m_previewIcon) {
        SendDlgItemMessageA(dialog, IDC_ICON_PREVIEW, STM_SETICON, 0, 0);
        m_previewIcon.Reset();
    }
    SetOpen(false);
}

void ItemDialog::End(HWND dialog, INT_PTR result) {
    EndDialog(dialog, result);
    Release(dialog);
}

void ItemDialog::EndAsCancel(HWND dialog) {
    End(dialog, IDCANCEL);
}

void ItemDialog::OnDestroy(HWND dialog) {
    // However the dialog goes (DestroyWindow by someone else, say), its icon
    // is released and later presses are let in.
    Release(dialog);
}

// A record separates its fields by commas, so none of its text fields may
// hold one. Returns the label of the first offending field, or null.
const char* ItemDialog::FieldWithComma() const {
    const ItemDialogData& d = m_data;
    if (!d.isSubmenu) {
        // A submenu's record does not keep these three.
        if (strchr(d.target, ',')) return "Target";
        if (strchr(d.parameters, ',')) return "Parms";
        if (strchr(d.startIn, ',')) return "Start in";
    }
    if (strchr(d.iconPath, ',')) return "Icon file";
    return nullptr;
}

void ItemDialog::OnInitDialog(HWND dialog) {
    ItemDialogData& d = m_data;
    SetOpen(true);
    SetWindowTextA(dialog, d.title);

    snprintf(d.positionText, sizeof d.positionText, "%d", d.position);
    SetDlgItemTextA(dialog, IDC_POSITION, d.positionText);
    SetDlgItemTextA(dialog, IDC_NAME, d.name);
    SetDlgItemTextA(dialog, IDC_TARGET, d.target);
    SetDlgItemTextA(dialog, IDC_PARAMETERS, d.parameters);
    SetDlgItemTextA(dialog, IDC_START_IN, d.startIn);
    SetDlgItemTextA(dialog, IDC_ICON_PATH, d.iconPath);
    ShowIconPreview(dialog, IDC_ICON_PREVIEW, IDC_ICON_SOURCE, d.target, d.iconPath, d.iconIndex,
                    false);
    if (d.separator) CheckDlgButton(dialog, IDC_SEPARATOR, BST_CHECKED);

    if (d.propertiesMode) {
        // An existing item keeps its name and its kind.
        EnableWindow(GetDlgItem(dialog, IDC_NAME), FALSE);
        EnableWindow(GetDlgItem(dialog, IDC_SUBMENU), FALSE);
        // The up arrow moves toward spinUpper (the top of the menu).
        SendDlgItemMessageA(
            dialog, IDC_POSITION_SPIN, UDM_SETRANGE, 0,
            MAKELONG(static_cast<short>(d.spinUpper), static_cast<short>(d.spinLower)));
        if (d.isSubmenu) {
            CheckDlgButton(dialog, IDC_SUBMENU, BST_CHECKED);
            EnableLaunchControls(dialog, false);
        }
    } else {
        // A new item goes where it was asked for; the place is only shown.
        EnableWindow(GetDlgItem(dialog, IDC_POSITION), FALSE);
        EnableWindow(GetDlgItem(dialog, IDC_POSITION_SPIN), FALSE);
    }
}

void ItemDialog::OnOk(HWND dialog) {
    ItemDialogData& d = m_data;
    GetDlgItemTextA(dialog, IDC_POSITION, d.positionText, sizeof d.positionText);
    GetDlgItemTextA(dialog, IDC_NAME, d.name, sizeof d.name);
    GetDlgItemTextA(dialog, IDC_TARGET, d.target, sizeof d.target);
    GetDlgItemTextA(dialog, IDC_PARAMETERS, d.parameters, sizeof d.parameters);
    GetDlgItemTextA(dialog, IDC_START_IN, d.startIn, sizeof d.startIn);
    GetDlgItemTextA(dialog, IDC_ICON_PATH, d.iconPath, sizeof d.iconPath);

    bool nameMissing = d.name[0] == '\0';
    bool targetMissing = !d.isSubmenu && d.target[0] == '\0';
    if (nameMissing || targetMissing) {
        char message[80];
        ComposeMissingMessage(nameMissing, targetMissing, message, sizeof message);
        MessageBoxA(nullptr, message, kMissingCaption, MB_OK);
        return;
    }
    if (const char* field = FieldWithComma()) {
        char message[120];
        snprintf(message, sizeof message, "Commas are not allowed in the %s field", field);
        MessageBoxA(nullptr, message, kInvalidCaption, MB_OK);
        return;
    }

    d.runMode = 0;
    d.separator = IsDlgButtonChecked(dialog, IDC_SEPARATOR) == BST_CHECKED ? 1 : 0;
    End(dialog, IDOK);
}

void ItemDialog::OnBrowseTarget(HWND dialog) {
    ItemDialogData& d = m_data;
    if (!BrowseForFile(dialog, IDC_TARGET, kProgramsFilter, m_context.module)) return;
    // The preview now shows the new target's first icon, and that is what
    // gets stored: an icon file chosen before no longer applies.
    d.iconIndex = 0;
    d.iconPath[0] = '\0';
    SetDlgItemTextA(dialog, IDC_ICON_PATH, "");
    char target[260];
    GetDlgItemTextA(dialog, IDC_TARGET, target, sizeof target);
    ShowIconPreview(dialog, IDC_ICON_PREVIEW, IDC_ICON_SOURCE, target, nullptr, 0, true);
}

void ItemDialog::OnSetIcon(HWND dialog) {
    char previous[260];
    GetDlgItemTextA(dialog, IDC_ICON_PATH, previous, sizeof previous);
    if (!BrowseForFile(dialog, IDC_ICON_PATH, kIconFilter, m_context.module)) return;
    char path[260];
    GetDlgItemTextA(dialog, IDC_ICON_PATH, path, sizeof path);
    int index = ChooseIconIndex(m_context.module, dialog, path);
    if (index == -1) {
        // No icon picked: the icon file in force stays in force.
        SetDlgItemTextA(dialog, IDC_ICON_PATH, previous);
        return;
    }
    m_data.iconIndex = index;
    ShowIconPreview(dialog, IDC_ICON_PREVIEW, IDC_ICON_SOURCE, nullptr, path, index, true);
}

void ItemDialog::OnSubmenuClicked(HWND dialog, HWND checkbox) {
    if (!checkbox) checkbox = GetDlgItem(dialog, IDC_SUBMENU);
    m_data.isSubmenu = SendMessageA(checkbox, BM_GETCHECK, 0, 0) == BST_CHECKED;
    EnableLaunchControls(dialog, !m_data.isSubmenu);
}

INT_PTR ItemDialog::OnCommand(HWND dialog, WPARAM wParam, LPARAM lParam) {
    int id = LOWORD(wParam);
    bool clicked = HIWORD(wParam) == BN_CLICKED;
    switch (id) {
    case IDOK:
        OnOk(dialog);
        return TRUE;
    case IDC_BROWSE_TARGET:
        if (clicked) OnBrowseTarget(dialog);
        return TRUE;
    case IDC_BROWSE_START_IN:
        if (clicked) BrowseForFile(dialog, IDC_START_IN, nullptr, m_context.module);
        return TRUE;
    case IDC_SET_ICON:
        if (clicked) OnSetIcon(dialog);
        return TRUE;
    case IDC_SEPARATOR:
        return TRUE; // the box checks itself and is read at OK
    case IDC_SUBMENU:
        if (clicked) OnSubmenuClicked(dialog, reinterpret_cast<HWND>(lParam));
        return TRUE;
    default:
        return FALSE;
    }
}
