// What each key and typed character asks of an open menu, decided from its
// rows alone. The menu is laid out as a launcher's root menu:
//   0 "Quoril 2.0" (disabled, bold)   1 line   2 "&Alpha"   3 "Bravo"
//   4 "Grayed" (grayed)   5 "&Charlie" (submenu)   6 line
//   7 "Disabled" (disabled)   8 "Beta"   9 "Delta"   10 "Echo" (submenu)
#include <gtest/gtest.h>
#include <string>
#include "flatmenu/flat_popup_menu.h"
#include "flatmenu/menu_keys.h"

namespace {
const int kAlphaId = 101, kBravoId = 102, kDeltaId = 107;

MenuKeyDecision Act(MenuKeyAction action, int index = -1, int command = 0) {
    MenuKeyDecision decision;
    decision.action = action;
    decision.index = index;
    decision.command = command;
    return decision;
}

const char* Name(MenuKeyAction action) {
    switch (action) {
    case MenuKeyAction::NotAMenuKey:
        return "not a menu key";
    case MenuKeyAction::Nothing:
        return "nothing";
    case MenuKeyAction::MoveHot:
        return "move hot";
    case MenuKeyAction::OpenSubmenu:
        return "open submenu";
    case MenuKeyAction::Choose:
        return "choose";
    case MenuKeyAction::CloseSubmenu:
        return "close submenu";
    case MenuKeyAction::CloseTree:
        return "close tree";
    case MenuKeyAction::OpenContextMenu:
        return "open context menu";
    }
    return "?";
}

std::string Describe(const MenuKeyDecision& d) {
    return std::string(Name(d.action)) + " index " + std::to_string(d.index) + " command " +
           std::to_string(d.command);
}

class MenuKeyDecisions : public ::testing::Test {
  protected:
    void SetUp() override {
        Add(fpmDisabled | fpmBold, "Quoril 2.0", 0);
        Add(fpmSeparator, "", 0);
        Add(0, "&Alpha", kAlphaId);
        Add(0, "Bravo", kBravoId);
        Add(fpmGrayed, "Grayed", 103);
        Add(0, "&Charlie", 104, &submenu);
        Add(fpmSeparator, "", 0);
        Add(fpmDisabled, "Disabled", 105);
        Add(0, "Beta", 106);
        Add(0, "Delta", kDeltaId);
        Add(0, "Echo", 108, &submenu);
    }
    void Add(int flags, const char* text, int commandId, CFlatPopupMenu* child = nullptr) {
        FlatMenuItem item;
        item.flags = flags;
        item.text = text;
        item.commandId = commandId;
        item.child = child;
        rows.Append(item);
    }
    MenuKeyDecision Key(WPARAM key, int hot, bool hasParent = false, bool shift = false) {
        rows.SetHotIndex(hot);
        return DecideKey(key, shift, rows, hasParent);
    }
    MenuKeyDecision Typed(char character, int hot = -1) {
        rows.SetHotIndex(hot);
        return DecideCharacter(static_cast<BYTE>(character), rows);
    }

    CFlatPopupMenu submenu; // never shown: it only makes entries submenus
    MenuRows rows;
};
} // namespace

TEST_F(MenuKeyDecisions, ArrowsHomeAndEndMoveAmongTheEntriesToChoose) {
    struct Case {
        WPARAM key;
        int hot;
        int expected;
        const char* what;
    } cases[] = {
        {VK_DOWN, -1, 2, "Down from none: the first"},
        {VK_UP, -1, 10, "Up from none: the last"},
        {VK_DOWN, 3, 5, "past a grayed entry"},
        {VK_DOWN, 5, 8, "past a line and a disabled entry"},
        {VK_DOWN, 10, 2, "Down from the last wraps past the title"},
        {VK_UP, 2, 10, "Up from the first wraps"},
        {VK_UP, 8, 5, "Up past a disabled entry and a line"},
        {VK_DOWN, 1, 2, "from a line the mouse made hot"},
        {VK_HOME, 9, 2, "Home"},
        {VK_END, 3, 10, "End"},
    };
    for (const Case& c : cases) {
        const MenuKeyDecision got = Key(c.key, c.hot);
        EXPECT_TRUE(Act(MenuKeyAction::MoveHot, c.expected) == got)
            << c.what << ": " << Describe(got);
    }
    MenuRows none;
    EXPECT_TRUE(Act(MenuKeyAction::Nothing) == DecideKey(VK_DOWN, false, none, false))
        << "nothing to move to";
}

TEST_F(MenuKeyDecisions, KeysThatOpenChooseAndClose) {
    using A = MenuKeyAction;
    struct Case {
        WPARAM key;
        int hot;
        bool hasParent, shift;
        MenuKeyDecision expected;
        const char* what;
    } cases[] = {
        {VK_RIGHT, 5, false, false, Act(A::OpenSubmenu), "Right on a submenu's entry"},
        {VK_RIGHT, 2, false, false, Act(A::Nothing), "Right on a plain entry"},
        {VK_RIGHT, -1, false, false, Act(A::Nothing), "Right with nothing hot"},
        {VK_RETURN, 2, false, false, Act(A::Choose, -1, kAlphaId), "Enter chooses"},
        {VK_RETURN, 10, false, false, Act(A::OpenSubmenu), "Enter on a submenu's entry opens it"},
        {VK_RETURN, 1, false, false, Act(A::Nothing), "Enter on a line"},
        {VK_RETURN, -1, false, false, Act(A::Nothing), "Enter with nothing hot"},
        {VK_LEFT, 3, true, false, Act(A::CloseSubmenu), "Left in a submenu"},
        {VK_LEFT, 3, false, false, Act(A::Nothing), "Left in the top menu"},
        {VK_ESCAPE, 3, true, false, Act(A::CloseSubmenu), "Esc in a submenu"},
        {VK_ESCAPE, -1, false, false, Act(A::CloseTree), "Esc in the top menu"},
        {VK_APPS, 3, false, false, Act(A::OpenContextMenu), "the context-menu key"},
        {VK_APPS, -1, false, false, Act(A::Nothing), "the context-menu key, nothing hot"},
        {VK_F10, 3, false, true, Act(A::OpenContextMenu), "Shift+F10"},
        {VK_F10, 3, false, false, Act(A::NotAMenuKey), "F10 alone"},
        {VK_TAB, 3, false, false, Act(A::NotAMenuKey), "Tab"},
        {'B', 3, false, false, Act(A::NotAMenuKey), "a letter's key: it is translated"},
    };
    for (const Case& c : cases) {
        const MenuKeyDecision got = Key(c.key, c.hot, c.hasParent, c.shift);
        EXPECT_TRUE(c.expected == got) << c.what << ": " << Describe(got);
    }
}

TEST_F(MenuKeyDecisions, CharactersFollowMnemonicsThenFirstLetters) {
    using A = MenuKeyAction;
    struct Case {
        char typed;
        int hot;
        MenuKeyDecision expected;
        const char* what;
    } cases[] = {
        {'a', -1, Act(A::Choose, -1, kAlphaId), "a mnemonic chooses at once"},
        {'A', 9, Act(A::Choose, -1, kAlphaId), "in either case"},
        {'c', -1, Act(A::OpenSubmenu, 5), "a submenu's mnemonic opens it"},
        {'d', -1, Act(A::Choose, 9, kDeltaId), "the one entry starting with d"},
        {'e', -1, Act(A::OpenSubmenu, 10), "the one entry with e is a submenu"},
        {'b', -1, Act(A::MoveHot, 3), "several: the first of them"},
        {'b', 3, Act(A::MoveHot, 8), "several: the next after the hot one"},
        {'b', 8, Act(A::MoveHot, 3), "several: round again"},
        {'g', -1, Act(A::Nothing), "only a grayed entry starts with g"},
        {'q', -1, Act(A::Nothing), "only the disabled title starts with q"},
        {'z', -1, Act(A::Nothing), "no entry"},
        {'\r', 3, Act(A::Nothing), "Enter's character acts as the key only"},
        {'\x1b', 3, Act(A::Nothing), "Esc's character"},
    };
    for (const Case& c : cases) {
        const MenuKeyDecision got = Typed(c.typed, c.hot);
        EXPECT_TRUE(c.expected == got) << "'" << c.typed << "' " << c.what << ": " << Describe(got);
    }
}

TEST(MenuMnemonics, TheFirstAmpersandOfAChoosableEntryMarksIt) {
    MenuRows rows;
    const struct {
        int flags;
        const char* text;
        int commandId;
    } entries[] = {
        {fpmDisabled, "&Disabled", 1},
        {fpmGrayed, "&Grayed", 2},
        {fpmSeparator, "&Separator", 3},
        {0, "A&b&c", 4},
        {0, "&Zulu", 5},
        {0, "&zeta", 6},
        {0, "Trail&", 7},
        {0, "&Null id", 0},
    };
    for (const auto& e : entries) {
        FlatMenuItem item;
        item.flags = e.flags;
        item.text = e.text;
        item.commandId = e.commandId;
        rows.Append(item);
    }
    EXPECT_EQ(-1, MnemonicEntry(rows, 'd')) << "disabled";
    EXPECT_EQ(-1, MnemonicEntry(rows, 'g')) << "grayed";
    EXPECT_EQ(-1, MnemonicEntry(rows, 's')) << "a separator";
    EXPECT_EQ(3, MnemonicEntry(rows, 'b')) << "the first ampersand";
    EXPECT_EQ(-1, MnemonicEntry(rows, 'c')) << "not the second";
    EXPECT_EQ(4, MnemonicEntry(rows, 'z')) << "of two, the first wins";
    EXPECT_EQ(-1, MnemonicEntry(rows, 't')) << "an ampersand at the end marks nothing";

    MenuKeyDecision chooseZero;
    chooseZero.action = MenuKeyAction::Choose;
    chooseZero.command = 0;
    EXPECT_TRUE(chooseZero == DecideCharacter('n', rows))
        << "an entry without a command is chosen by its mnemonic all the same";
}
