// The dialog procedure that every editor dialog shares.
#include "editor/modal_dialog.h"

INT_PTR ModalDialog::RunModal(HINSTANCE module, int templateId, HWND owner) {
    return DialogBoxParamA(module, MAKEINTRESOURCEA(templateId), owner, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK ModalDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    // Messages that come before WM_INITDIALOG (WM_SETFONT) find no object.
    ModalDialog* self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (!self) return FALSE;
    try {
        return self->OnMessage(dialog, message, wParam, lParam);
    } catch (...) {
        try {
            self->EndAsCancel(dialog);
        } catch (...) {
            EndDialog(dialog, IDCANCEL);
        }
        return TRUE;
    }
}

INT_PTR ModalDialog::OnMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE; // the dialog manager sets the focus
    case WM_COMMAND:
        if (LOWORD(wParam) != IDCANCEL) return OnCommand(dialog, wParam, lParam);
        EndAsCancel(dialog);
        return TRUE;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) != SC_CLOSE) return FALSE;
        EndAsCancel(dialog);
        return TRUE;
    case WM_DESTROY:
        OnDestroy(dialog);
        return FALSE;
    default:
        return FALSE;
    }
}
