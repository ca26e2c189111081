// A launcher-like tree of flat menus for the keyboard tests: a titled root
// with a submenu reached by its mnemonic, a submenu without one, entries that
// cannot be chosen, and the context menu of the plug-in.
#pragma once
#include <gtest/gtest.h>
#include "flatmenu/flat_popup_menu.h"
#include "tests/keyboard/key_test_support.h"

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
// Entries of the context menu.
enum ContextEntry {
    kOpen = 0,
    kInsert = 1,
    kDelete = 2,
    kProperties = 3,
    kCancelLine = 4,
    kCancel = 5
};

const int kAlphaId = 101, kBravoId = 102, kGrayedId = 103, kCharlieId = 104, kDisabledId = 105,
          kBetaId = 106, kDeltaId = 107, kEchoId = 108;
const int kOneId = 201, kTwoId = 202, kThreeId = 203, kInnerId = 301;
const int kOpenCmd = 40004, kInsertCmd = 40001, kDeleteCmd = 40003, kPropertiesCmd = 40002,
          kCancelCmd = 40010;

const int kRootX = 200, kRootY = 150;

class MenuKeys : public ::testing::Test {
  protected:
    void SetUp() override;
    // Tracks the root at (kRootX, kRootY) as the press does, while `steps` run
    // on a second thread.
    Outcome Run(const std::function<void()>& steps);
    // Waits until the menu's window is shown.
    bool WaitShown(const CFlatPopupMenu& menu);
    int Top(const CFlatPopupMenu& menu, int index) const { return menu.Rows().Item(index)->top; }
    // Settles the keys typed so far, then checks the menu's hot entry and that
    // it is the one painted hot.
    void ExpectHot(const CFlatPopupMenu& menu, int index);

    KeyHost host;
    MarkerWatch markers{GetCurrentThreadId()};
    CFlatPopupMenu root, charlie, echo, context;
};

} // namespace keytest
