// Helpers of the item editor's tests: driving dialogs from the input thread,
// scratch files, and reading the dialog resources back.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include "tests/support/test_support.h"

namespace edtest {

// The test program's own module, which carries the resources.
HINSTANCE Module();

// Runs `run` on this thread (it shows a modal dialog titled `title`) while
// `steps` get the dialog on the input thread. Whatever `steps` leave open is
// cancelled, and a watchdog ends a run that still does not end, so a failing
// test never hangs. Returns what `run` returned.
INT_PTR DriveDialog(const char* title, const std::function<void(HWND)>& steps,
                    const std::function<INT_PTR()>& run);

// Waits for a visible dialog of this process with the title; null on timeout.
// Other test programs may show dialogs of the same title at the same time.
HWND WaitForOwnDialog(const char* title, int timeoutMs = qtest::kPatienceMs);

std::string ControlText(HWND dialog, int id);
void SetControlText(HWND dialog, int id, const std::string& text);
// Presses a button the way a click does (BM_CLICK), without waiting.
void PostClick(HWND dialog, int id);
// Clicks a check box and waits until its notification was handled.
void ClickCheckBox(HWND dialog, int id);
bool WaitUntilClosed(HWND window, int timeoutMs = qtest::kPatienceMs);
// Clicks an arrow of the item dialog's position spinner with the mouse and
// waits until the dialog has taken the click; returns the number shown then.
std::string ClickSpinner(HWND dialog, bool up);
// Polls `condition` without pumping (for the input thread).
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = qtest::kPatienceMs);

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
