// Flat menus as the tests see them: shown or gone, which rows show between
// the bands, how a row is painted, and a tree of them as a table of steps
// reads it.
#pragma once
#include <windows.h>
#include <vector>
#include "flatmenu/flat_popup_menu.h"
#include "tests/support/step_table.h"
#include "tests/support/test_support.h"

namespace qtest {

// Waits until Track has shown the menu (it has its window once shown, with
// or without the capture), or until it has no window; false, and a failure
// naming `what`, when it does not come.
bool WaitShown(const CFlatPopupMenu& menu, const char* what = "the menu");
bool WaitGone(const CFlatPopupMenu& menu, const char* what = "the menu");

// A view of CFlatPopupMenu objects, named for failures.
class FlatMenuView : public MenuTreeView {
  public:
    struct Menu {
        const CFlatPopupMenu* menu;
        const char* name;
    };
    explicit FlatMenuView(std::vector<Menu> menus) : m_menus(std::move(menus)) {}
    std::string MenuName(int menu) const override;
    int Innermost() const override;
    int HotRow(int menu) const override;
    bool PaintedHot(int menu, int row) const override;
    bool PaintedPlain(int menu, int row) const override;

  private:
    std::vector<Menu> m_menus;
};

// Whether the highlight bar of the row whose top is `top` has `colour`, read
// from two pixels right of any text and left of a submenu's arrow.
bool RowBarHasColour(HWND menuWindow, int top, COLORREF colour);
// Whether row `index` of a flat menu shows whole between its bands.
bool RowShown(const CFlatPopupMenu& menu, int index);

} // namespace qtest
