// The plug-in as the host sees it: Quoril.dll loaded after wblind.dll, WBPress
// called from a foreground host window's thread, and the menus and dialogs
// driven from a second thread the way a user drives them.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <functional>
#include <map>
#include <string>
#include <vector>
#include "tests/support/drive_modal.h"
#include "tests/support/step_table.h"
#include "tests/support/test_support.h"

namespace presstest {

const char kSettings[] = "Software\\Quoril\\RoduzuRodidiVo\\Settings";
// Where the host asks for the menu's top-left corner.
const int kPressX = 100;
const int kPressY = 100;

// Layout of a popup: a titled one has its title (19) and a separator (5)
// from top 3, so entries start at 27; an untitled one starts at 3.
const int kTitledFirstEntry = 27;
const int kUntitledFirstEntry = 3;
const int kEntryHeight = 19;
const int kSeparatorHeight = 5;

// Entries of the context popup, by their place in it.
enum ContextEntry { kOpen = 0, kInsert = 1, kDelete = 2, kProperties = 3, kCancel = 4 };

typedef int(WINAPI* PressFunction)(HWND, int, int, DWORD);

std::string BinDirectory();
std::string ProbePath();
// Loads wblind.dll and then Quoril.dll from the test's directory (once per
// process) and returns WBPress, or null.
PressFunction LoadWBPress();

class PressTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // Calls WBPress from this thread for `host` at the press point while
    // `steps` play the user on a second thread (qtest::DriveModal: a failed
    // step closes what is open at once, and a press that does not end once
    // the steps are done is closed from outside and fails the test).
    qtest::ModalOutcome Press(HWND host, const std::function<void()>& steps);
    // Calls WBPress once, for tests that play the user in a loop of their own.
    int PressOnce(HWND host);
    // Lines the probe wrote, one per start:
    // "args=<arguments>|cwd=<directory>|show=<show command>".
    std::vector<std::string> ProbeLines() const;
    bool WaitForProbeLines(size_t count, int timeoutMs = qtest::kPatienceMs) const;
    // The lines of every probe started so far, once all of them have finished:
    // a started program is a child process of this one from the moment
    // WBPress returns, and has written its line when it exits. The positive
    // signal that nothing was started, with no time allowed for it.
    std::vector<std::string> LinesOfFinishedProbes() const;
    // A fresh directory (without commas) for start-in tests.
    std::string MakeDirectory(const char* name) const;

    PressFunction m_press = nullptr;
    std::string m_probeOut;
};

// Every value of the stored menu, by its path below the settings key
// ("Tools\\Calc", "Tools\\" for a submenu's record).
std::map<std::string, std::string> StoreSnapshot();
// Sets the value `name` ("" for a submenu's record) of the key `path` below
// the settings key ("" for the settings key itself).
void StoreRecord(const std::string& path, const std::string& name, const std::string& record);
// The record stored for `name` in the key `path` below the settings key, or
// "<missing>".
std::string StoredRecord(const std::string& path, const std::string& name);

// Steps for the input thread. Each waits for what it needs and fails the
// test (without hanging) when it does not come.

// Waits until `count` launcher or context popups of this process are visible
// and the menus hold the mouse capture (so the pointer's input reaches them),
// and returns the newest (top of the z-order), or null with a failure.
HWND WaitForPopups(size_t count, int timeoutMs = qtest::kPatienceMs);
// Screen point in the middle of entry `index` of a popup.
POINT EntryPoint(HWND popup, int index, bool titled = true);
// Screen point on the separator line whose top lies `top` pixels below the
// popup's top edge.
POINT SeparatorPoint(HWND popup, int top);
// Screen point in the middle of a context popup's entry.
POINT ContextPoint(HWND contextPopup, ContextEntry entry);
void ClickEntry(HWND popup, int index, bool titled = true);
void RightClickEntry(HWND popup, int index);
void RightClickAtPoint(POINT p);
// Presses on a submenu entry (which opens it at once) and returns the new
// popup.
HWND OpenSubmenu(HWND popup, int index, size_t popupsBefore);
// Right-clicks entry `index` of the newest popup and picks `command` from the
// context popup that opens.
void ContextCommandOn(HWND popup, int index, ContextEntry command, size_t popupsBefore = 1);
void ContextCommandAt(POINT p, ContextEntry command, size_t popupsBefore = 1);

// The item dialog, found by its title ("Create Menu Item" or "Menu Item
// Properties").
HWND WaitForDialog(const char* title, int timeoutMs = qtest::kPatienceMs);
void SetControlText(HWND dialog, int controlId, const char* text);
std::string ControlText(HWND dialog, int controlId);
void ClickButton(HWND dialog, int controlId);
void PressOk(HWND dialog);
void PressCancel(HWND dialog);

struct NewItem {
    const char* name;
    const char* target;
    const char* parameters;
    const char* startIn;
    bool submenu;
};
// Fills the create dialog with `item` and confirms it.
void FillAndConfirm(HWND dialog, const NewItem& item);

// The menus a press shows, as a table of steps reads them from the screen:
// menu n is the one n levels in (0 the root), its hot row the one painted
// with the highlight bar. Each level is titled (a title and its line above
// the entries, as the launcher's menus are) or not (the context menu).
class PressMenuView : public qtest::MenuTreeView {
  public:
    struct Level {
        const char* name;
        bool titled;
    };
    explicit PressMenuView(std::vector<Level> levels) : m_levels(std::move(levels)) {}
    std::string MenuName(int menu) const override;
    int Innermost() const override;
    int HotRow(int menu) const override;
    bool PaintedHot(int menu, int row) const override;
    bool PaintedPlain(int menu, int row) const override;
    // The window of menu n, or null.
    HWND Window(int menu) const;
    // The top of a row within its menu.
    int RowTop(int menu, int row) const;

  private:
    std::vector<Level> m_levels;
};

} // namespace presstest
