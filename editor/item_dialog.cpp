// The item-properties dialog: it edits g_itemDialog only; the flows that run
// it read the record back and write the store.
#include "editor/item_dialog.h"
#include <commctrl.h>
#include <stdio.h>
#include <string.h>
#include "editor/icon_picker.h"
#include "resources/resource_ids.h"

ItemDialogData g_itemDialog;

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

// Releases the preview icon and lets presses in again. The icon control lets
// go of the icon first, so it never draws a destroyed one.
void ReleaseItemDialog(HWND dialog) {
    if (g_itemDialog.previewIcon) {
        SendDlgItemMessageA(dialog, IDC_ICON_PREVIEW, STM_SETICON, 0, 0);
        DestroyIcon(g_itemDialog.previewIcon);
        g_itemDialog.previewIcon = nullptr;
    }
    g_itemDialog.dialogOpen = false;
}

void EndItemDialog(HWND dialog, INT_PTR result) {
    EndDialog(dialog, result);
    ReleaseItemDialog(dialog);
}

// "Please supply a Name and Target for the item" and its shorter forms.
void ComposeMissingMessage(bool nameMissing, bool targetMissing, char* message, size_t size) {
    snprintf(message, size, "Please supply a %s%sfor the item", nameMissing ? "Name " : "",
             !targetMissing ? "" : (nameMissing ? "and Target " : "Target "));
}

// A record separates its fields by commas, so none of its text fields may
// hold one. Returns the label of the first offending field, or null.
const char* FieldWithComma() {
    const ItemDialogData& d = g_itemDialog;
    if (!d.isSubmenu) {
        // A submenu's record does not keep these three.
        if (strchr(d.target, ',')) return "Target";
        if (strchr(d.parameters, ',')) return "Parms";
        if (strchr(d.startIn, ',')) return "Start in";
    }
    if (strchr(d.iconPath, ',')) return "Icon file";
    return nullptr;
}

void OnInitDialog(HWND dialog) {
    ItemDialogData& d = g_itemDialog;
    d.dialogOpen = true;
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

void OnOk(HWND dialog) {
    ItemDialogData& d = g_itemDialog;
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
    EndItemDialog(dialog, IDOK);
}

void OnBrowseTarget(HWND dialog) {
    ItemDialogData& d = g_itemDialog;
    if (!BrowseForFile(dialog, IDC_TARGET, kProgramsFilter, d.moduleInstance)) return;
    // The preview now shows the new target's first icon, and that is what
    // gets stored: an icon file chosen before no longer applies.
    d.iconIndex = 0;
    d.iconPath[0] = '\0';
    SetDlgItemTextA(dialog, IDC_ICON_PATH, "");
    char target[260];
    GetDlgItemTextA(dialog, IDC_TARGET, target, sizeof target);
    ShowIconPreview(dialog, IDC_ICON_PREVIEW, IDC_ICON_SOURCE, target, nullptr, 0, true);
}

void OnSetIcon(HWND dialog) {
    ItemDialogData& d = g_itemDialog;
    char previous[260];
    GetDlgItemTextA(dialog, IDC_ICON_PATH, previous, sizeof previous);
    if (!BrowseForFile(dialog, IDC_ICON_PATH, kIconFilter, d.moduleInstance)) return;
    char path[260];
    GetDlgItemTextA(dialog, IDC_ICON_PATH, path, sizeof path);
    int index = ChooseIconIndex(d.moduleInstance, dialog, path);
    if (index == -1) {
        // No icon picked: the icon file in force stays in force.
        SetDlgItemTextA(dialog, IDC_ICON_PATH, previous);
        return;
    }
    d.iconIndex = index;
    ShowIconPreview(dialog, IDC_ICON_PREVIEW, IDC_ICON_SOURCE, nullptr, path, index, true);
}

void OnSubmenuClicked(HWND dialog, HWND checkbox) {
    if (!checkbox) checkbox = GetDlgItem(dialog, IDC_SUBMENU);
    g_itemDialog.isSubmenu = SendMessageA(checkbox, BM_GETCHECK, 0, 0) == BST_CHECKED;
    EnableLaunchControls(dialog, !g_itemDialog.isSubmenu);
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam, LPARAM lParam) {
    int id = LOWORD(wParam);
    bool clicked = HIWORD(wParam) == BN_CLICKED;
    switch (id) {
    case IDOK:
        OnOk(dialog);
        return TRUE;
    case IDCANCEL:
        EndItemDialog(dialog, IDCANCEL);
        return TRUE;
    case IDC_BROWSE_TARGET:
        if (clicked) OnBrowseTarget(dialog);
        return TRUE;
    case IDC_BROWSE_START_IN:
        if (clicked) BrowseForFile(dialog, IDC_START_IN, nullptr, g_itemDialog.moduleInstance);
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

} // namespace

INT_PTR CALLBACK ItemDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    // Nothing may unwind into the system's dialog manager: a failure ends the
    // dialog as Cancel does, so nothing is stored.
    try {
        switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(dialog);
            return TRUE;
        case WM_COMMAND:
            return OnCommand(dialog, wParam, lParam);
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) != SC_CLOSE) return FALSE;
            EndItemDialog(dialog, IDCANCEL);
            return TRUE;
        case WM_DESTROY:
            // However the dialog goes (DestroyWindow by someone else, say),
            // its icon is released and later presses are let in.
            ReleaseItemDialog(dialog);
            return FALSE;
        default:
            return FALSE;
        }
    } catch (...) {
        EndItemDialog(dialog, IDCANCEL);
        return TRUE;
    }
}

INT_PTR RunItemDialog(HINSTANCE module) {
    // The dialog holds an up-down control; the picker a list view.
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_UPDOWN_CLASS | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    return DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_ITEM_DIALOG), nullptr, ItemDialogProc, 0);
}
