// Helpers of the item editor's tests: driving dialogs from the input thread,
// scratch files, and reading the dialog resources back.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include "tests/support/drive_modal.h"
#include "tests/support/test_support.h"

namespace edtest {

// The test program's own module, which carries the resources.
HINSTANCE Module();

// Runs `run` on this thread (it shows a modal dialog titled `title`) while
// `steps` get the dialog on the input thread (qtest::DriveModal). Whatever
// `steps` leave open is cancelled; a failed step closes the dialog at once.
// Returns what `run` returned.
INT_PTR DriveDialog(const char* title, const std::function<void(HWND)>& steps,
                    const std::function<INT_PTR()>& run);


std::string ControlText(HWND dialog, int id);
void SetControlText(HWND dialog, int id, const std::string& text);
// Presses a button the way a click does (BM_CLICK), without waiting.
void PostClick(HWND dialog, int id);
// Clicks a check box and waits until its notification was handled.
void ClickCheckBox(HWND dialog, int id);
// Clicks an arrow of the item dialog's position spinner with the mouse and
// waits until the dialog has taken the click; returns the number shown then.
std::string ClickSpinner(HWND dialog, bool up);

// The system's open-file dialog ("Open"), once it shows; null on timeout.
HWND WaitForOpenDialog();
// The descriptions of its file type box, joined by "|".
std::string OpenDialogFilters(HWND openDialog);
// Types `path` as the file name and confirms; true when the dialog closed.
bool ConfirmOpenDialog(HWND openDialog, const std::string& path);
bool CancelOpenDialog(HWND openDialog);

// A fresh scratch folder, removed with everything in it on destruction.
class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    const std::string& Path() const { return m_path; }
    // Files inside it: a 32x32 single-image icon, a copy of this program
    // (whose one icon is the dialog icon), a plain text file.
    std::string WriteIcon(const char* name);
    std::string CopyProgram(const char* name);
    std::string WriteText(const char* name);

  private:
    std::string m_path;
};

// An icon handle that still works (not destroyed).
bool IsLiveIcon(HICON icon);

} // namespace edtest
