// A launcher-like tree of flat menus too tall for the screen: a titled root
// of sixty entries, among them a submenu of sixty entries and, near the end,
// a short submenu; and the plug-in's context menu. Tracked as the press does,
// while a second thread drives it with SendInput.
#pragma once
#include <gtest/gtest.h>
#include "flatmenu/flat_popup_menu.h"
#include "tests/scrolling/scroll_test_support.h"
#include "tests/support/drive_modal.h"
#include "tests/support/flat_menus.h"
#include "tests/support/snapshot.h"
#include "tests/support/step_table.h"
#include "tests/support/test_support.h"

namespace scrolltest {

const int kEntries = 60;
// Root entry k (1 to 60) is at index k + 1, after the title and its line.
inline int RootIndex(int k) {
    return k + 1;
}
inline int ItemId(int k) {
    return 1000 + k;
}
const int kProgramsEntry = 4; // "&Programs": the submenu of sixty entries
const int kLateEntry = 57;    // "Late": a short submenu
// Entry k of the Programs submenu is at index k + 1 as well.
inline int ProgramId(int k) {
    return 2000 + k;
}
const int kLateOneId = 3001, kLateTwoId = 3002;
const int kDeleteCmd = 40003, kPropertiesCmd = 40002;
enum ContextEntry { kOpen = 0, kInsert = 1, kDelete = 2, kProperties = 3 };

const int kRootX = 200, kRootY = 150;
// The menus, as the tables number them.
enum MenuId { kRootMenu = 0, kProgramsMenu = 1, kLateMenu = 2, kContextMenu = 3 };

class TallMenus : public ::testing::Test {
  protected:
    void SetUp() override;
    // Tracks the root at (kRootX, kRootY) while `steps` run on a second thread.
    qtest::ModalOutcome Run(const std::function<void()>& steps);
    // Tracks the root while a table of steps runs (then `more`, when the
    // steps held), and checks that nothing was left open and that no key and
    // no wheel message reached the host meanwhile.
    qtest::ModalOutcome RunTable(const std::vector<qtest::Step>& steps,
                                 const std::function<void()>& more = nullptr);

    static int LastShown(const CFlatPopupMenu& menu);
    // Screen point inside entry `index` as it shows now.
    static POINT RowPoint(const CFlatPopupMenu& menu, int index, int dy = 9);
    // Screen points on the top and bottom scroll bands.
    static POINT TopBandPoint(const CFlatPopupMenu& menu);
    static POINT BottomBandPoint(const CFlatPopupMenu& menu);
    // Syncs the input so far, then checks the hot entry, that it shows and
    // its paint.
    void ExpectHot(const CFlatPopupMenu& menu, int index);

    qtest::HostWindow host;
    CFlatPopupMenu root, programs, late, context;
    qtest::FlatMenuView view{{{&root, "the root"},
                              {&programs, "Programs"},
                              {&late, "Late"},
                              {&context, "the context menu"}}};
};

} // namespace scrolltest
