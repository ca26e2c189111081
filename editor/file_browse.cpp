// The open-file dialog behind the item dialog's Browse... and Set Icon...
#include "editor/item_dialog.h"
#include <commdlg.h>
#include <stddef.h>

const char kProgramsFilter[] = "Programs\0*.exe;*.dll;*.com;*.cmd;*.bat\0All Files\0*.*\0";
const char kIconFilter[] = "Icon Files\0*.exe;*.ico;*.ani;*.dll\0All Files\0*.*\0";

bool BrowseForFile(HWND ownerWindow, int controlId, const char* filter, HINSTANCE module) {
    // The dialog never starts from the control's current text.
    char file[260] = "";
    OPENFILENAMEA request = {};
    // The classic layout, without the fields that came with Windows 2000.
    request.lStructSize = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);
    request.hwndOwner = ownerWindow;
    request.hInstance = module;
    request.lpstrFilter = filter;
    request.lpstrFile = file;
    request.nMaxFile = sizeof file;
    request.Flags =
        OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_READONLY;
    if (!GetOpenFileNameA(&request)) return false;
    SetDlgItemTextA(ownerWindow, controlId, file);
    return true;
}
