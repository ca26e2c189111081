// Input as tables of steps, sent from a second thread while the test's thread
// tracks a tree of menus: each step is one input (a key, a character, a
// pointer move, a wheel notch, a click) and the state expected once the
// menus' thread has taken it: which menu is innermost, and which of its rows
// is hot. A failure names the step, what was sent, what was expected and
// what there was.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace qtest {

// One input and how a failure names it.
struct Input {
    std::string name;
    std::function<void()> send; // null: nothing is sent
};
Input Opened(); // nothing: the state the tree opened in
Input Key(WORD virtualKey);
Input ShiftKey(WORD virtualKey);
// The key (with Shift when needed) that types the character.
Input Char(char character);
// Each character of `text` in turn, as keys where the keyboard has them and
// as UTF-16 where it has none (`name` names them in failures).
Input Text(const std::string& name, const std::wstring& text);
// Glides the pointer to the point `point` gives when the step runs.
Input MoveTo(const std::string& where, const std::function<POINT()>& point);
// Notches of the wheel: negative towards the user, positive away.
Input Wheel(int notches);
Input LeftClick();
Input RightClick();

const int kClosed = -1; // as a menu: every menu closed
const int kNoHot = -1;  // as a row: none hot
const int kAnyRow = -2; // as a row: whichever (the step's check says more)

struct Step {
    Input input;
    // The innermost open menu expected after it (a number the view knows,
    // kClosed for none) and its hot row (kNoHot for none).
    int menu;
    int hot;
    // Further expectations, checked once the state holds.
    std::function<void()> check = nullptr;
};

// What a table reads of a tree of menus, numbered as the table names them.
class MenuTreeView {
  public:
    virtual ~MenuTreeView() = default;
    virtual std::string MenuName(int menu) const = 0;
    // The innermost open menu, or kClosed.
    virtual int Innermost() const = 0;
    virtual int HotRow(int menu) const = 0;
    // How a row of an open menu is painted; a row that does not show is
    // neither.
    virtual bool PaintedHot(int menu, int row) const = 0;
    virtual bool PaintedPlain(int menu, int row) const = 0;
};

// Runs the steps in order on the calling (input) thread. After each input it
// waits until the menus' thread has taken it (SyncInput; after a step that
// closes every menu, until they are gone), then checks the expected state,
// that the hot row is painted hot and that a row hot before it in the same
// menu is painted plain again, then the step's own check. Stops at the first
// step that fails and returns false.
bool RunSteps(const MenuTreeView& view, const std::vector<Step>& steps);

} // namespace qtest
