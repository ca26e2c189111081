// What the DPI tests share: the lane's DPI, a value at 96 DPI scaled to it,
// and a shown flat menu read back as pixels.
#pragma once
#include <windows.h>
#include <stdlib.h>
#include "flatmenu/flat_popup_menu.h"
#include "tests/support/flat_menus.h"
#include "tests/support/snapshot.h"
#include "tests/support/test_support.h"

namespace dpitest {

// The DPI this run of the program was listed for (96 when none was asked).
inline int ListedDpi() {
    const char* dpi = getenv("QUORIL_LANE_DPI");
    return dpi && *dpi ? atoi(dpi) : 96;
}

// A measure of 96 DPI at the lane's DPI, rounded as the system rounds.
inline int Scaled(int valueAt96) {
    return MulDiv(valueAt96, ListedDpi(), 96);
}

// Shows `menu` without a loop of its own at (x, y), painted and ready to be
// read back; false (with a failure) when it does not show.
inline bool ShowPainted(CFlatPopupMenu& menu, int x, int y) {
    menu.Track(x, y, nullptr, false, true, nullptr);
    if (!qtest::WaitShown(menu)) return false;
    UpdateWindow(menu.Window());
    qtest::PumpMessages();
    return true;
}

} // namespace dpitest
