// One skeleton for the editor's modal dialogs. A dialog is an object: RunModal
// hands `this` to DialogBoxParamA as the creation parameter, the dialog
// procedure keeps it in the window's DWLP_USER at WM_INITDIALOG and gives
// every message to it. Cancel and the close box end the dialog as Cancel;
// nothing may unwind into the system's dialog manager, so a failure in a
// handler ends it as Cancel too.
#pragma once
#include <windows.h>

class ModalDialog {
  public:
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;
    virtual ~ModalDialog() = default;

  protected:
    ModalDialog() = default;
    // Runs dialog resource `templateId` of `module`, owned by `owner`, until
    // it ends; its result (-1 when it could not be shown).
    INT_PTR RunModal(HINSTANCE module, int templateId, HWND owner);

    virtual void OnInitDialog(HWND dialog) = 0;
    // WM_COMMAND other than Cancel; TRUE for what was handled.
    virtual INT_PTR OnCommand(HWND dialog, WPARAM wParam, LPARAM lParam) = 0;
    // Ends the dialog with IDCANCEL and releases what it holds.
    virtual void EndAsCancel(HWND dialog) = 0;
    // The window goes, however it ends (also destroyed by someone else, or
    // with its owner): releases what the dialog holds.
    virtual void OnDestroy(HWND dialog) = 0;

  private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
};
