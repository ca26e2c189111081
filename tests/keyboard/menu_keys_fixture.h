// A launcher-like tree of flat menus for the keyboard tests: a titled root
// with a submenu reached by its mnemonic, a submenu without one, entries that
// cannot be chosen, and the context menu of the plug-in. Tracked as the press
// does, on the test's thread, while a table of steps is sent from a second.
#pragma once
#include <gtest/gtest.h>
#include <vector>
#include "flatmenu/flat_popup_menu.h"
#include "tests/support/drive_modal.h"
#include "tests/support/flat_menus.h"
#include "tests/support/step_table.h"
#include "tests/support/test_support.h"

namespace keytest {

// Root entries, by index.
enum RootEntry {
    kTitle = 0, // disabled and bold
    kTitleLine = 1,
    kAlpha = 2, // "&Alpha"
    kBravo = 3,
    kGrayed = 4,
    kCharlie = 5, // "&Charlie", a submenu
    kLine = 6,
    kDisabled = 7,
    kBeta = 8,
    kDelta = 9,
    kEcho = 10, // "Echo", a submenu without mnemonic
};
// Entries of the Charlie submenu.
enum ChildEntry { kChildTitle = 0, kChildLine = 1, kOne = 2, kTwo = 3, kThree = 4 };
// Entries of the Echo submenu, where letters are tried without mnemonics.
enum EchoEntry {
    kInner = 0,
    kEchoBravo = 1,
    kEchoGrayed = 2,
    kEchoBeta = 3,
    kEchoDelta = 4,
    kEchoDisabled = 5
};
// Entries of the context menu.
enum ContextEntry {
    kOpen = 0,
    kInsert = 1,
    kDelete = 2,
    kProperties = 3,
    kCancelLine = 4,
    kCancel = 5
};
// The menus, as the tables number them.
enum MenuId { kRootMenu = 0, kCharlieMenu = 1, kEchoMenu = 2, kContextMenu = 3 };

const int kAlphaId = 101, kBravoId = 102, kGrayedId = 103, kCharlieId = 104, kDisabledId = 105,
          kBetaId = 106, kDeltaId = 107, kEchoId = 108;
const int kOneId = 201, kTwoId = 202, kThreeId = 203;
const int kInnerId = 301, kEchoBravoId = 302, kEchoGrayedId = 303, kEchoBetaId = 304,
          kEchoDeltaId = 305, kEchoDisabledId = 306;
const int kOpenCmd = 40004, kInsertCmd = 40001, kDeleteCmd = 40003, kPropertiesCmd = 40002,
          kCancelCmd = 40010;

const int kRootX = 200, kRootY = 150;

// One table: its steps, and what Track reports at the end.
struct KeyCase {
    const char* name;
    std::vector<qtest::Step> steps;
    int result;
    int contextCommand;
};

class MenuKeys : public ::testing::Test {
  protected:
    void SetUp() override;
    // Tracks the root at (kRootX, kRootY) as the press does, while `steps` run
    // on a second thread.
    qtest::ModalOutcome Run(const std::function<void()>& steps);
    // Runs a table: the steps hold, Track reports the case's result and
    // context command, the steps close every menu, and no key reaches the
    // host meanwhile. Failures name the case.
    void RunCase(const KeyCase& keyCase);
    int Top(const CFlatPopupMenu& menu, int index) const { return menu.Rows().Item(index)->top; }
    // Screen point in a row of a shown menu.
    static POINT RowPoint(const CFlatPopupMenu& menu, int index, int dx = 30, int dy = 10);

    qtest::HostWindow host;
    CFlatPopupMenu root, charlie, echo, context;
    qtest::FlatMenuView view{{{&root, "the root"},
                              {&charlie, "Charlie"},
                              {&echo, "Echo"},
                              {&context, "the context menu"}}};
};

} // namespace keytest
