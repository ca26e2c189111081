// The plug-in's launcher menu driven by the keyboard alone, through WBPress:
// what starts, what the store holds afterwards, and that the host's window
// receives no key while the menu is open.
#include <thread>
#include "tests/keyboard/key_test_support.h"
#include "tests/press/press_fixture.h"
#include "tests/support/test_support.h"

using namespace presstest;
using namespace keytest;

namespace {
// Entries of the stored menu as shown (after the title and its line).
const int kFirst = 0, kSecond = 1, kTools = 2;

class PressKeys : public PressTest {
  protected:
    void SetUp() override {
        PressTest::SetUp();
        ParkPointer();
        StoreRecord("", "First", ProbePath() + ",first,,,0,0,1,0");
        StoreRecord("", "Second", ProbePath() + ",second,,,0,0,2,0");
        StoreRecord("Tools", "", ",,,,0,0,3,0");
        StoreRecord("Tools", "Calc", ProbePath() + ",calc,,,0,0,1,0");
        StoreRecord("Tools", "Notes", ProbePath() + ",notes,,,0,0,2,0");
    }
    // Presses with `steps` running on a second thread; returns WBPress's
    // result.
    int PressDriven(const std::function<void()>& steps) {
        host.ResetKeyMessages();
        std::thread input(steps);
        const int result = Press(host.Handle());
        hostKeysWhileMenuShown = host.KeyMessagesWhileMenuShown();
        input.join();
        return result;
    }
    // The newest menu window, once `count` are shown.
    HWND Menus(size_t count) {
        EXPECT_TRUE(WaitForMenuCount(count)) << "expected " << count << " menu(s) shown";
        std::vector<HWND> menus = MenuWindows();
        return menus.size() == count ? menus.front() : nullptr;
    }
    static int EntryTop(int index) { return kTitledFirstEntry + index * kEntryHeight; }
    std::string ProbeArgs(size_t line) const {
        std::vector<std::string> lines = ProbeLines();
        if (line >= lines.size()) return "<none>";
        return lines[line].substr(0, lines[line].find('|'));
    }

    KeyHost host;
    MarkerWatch markers{GetCurrentThreadId()};
    int hostKeysWhileMenuShown = -1;
};
} // namespace

TEST_F(PressKeys, DownAndEnterStartTheChosenItem) {
    const int result = PressDriven([&] {
        HWND root = Menus(1);
        if (!root) return;
        Tap(VK_DOWN);
        Settle();
        EXPECT_TRUE(WaitPaintedHot(root, EntryTop(kFirst)));
        Tap(VK_DOWN);
        Settle();
        EXPECT_TRUE(WaitPaintedHot(root, EntryTop(kSecond)));
        EXPECT_TRUE(WaitPaintedPlain(root, EntryTop(kFirst)));
        Tap(VK_RETURN);
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(0, hostKeysWhileMenuShown);
    ASSERT_TRUE(WaitForProbeLines(1)) << "nothing was started";
    EXPECT_EQ("args=second", ProbeArgs(0));
}

TEST_F(PressKeys, LettersOpenTheSubmenuAndStartAnItemInIt) {
    const int result = PressDriven([&] {
        if (!Menus(1)) return;
        Type('t'); // the only entry starting with t: its submenu opens
        HWND tools = Menus(2);
        if (!tools) return;
        EXPECT_TRUE(WaitPaintedHot(tools, EntryTop(0))) << "opened with its first entry hot";
        Type('N');
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(0, hostKeysWhileMenuShown);
    ASSERT_TRUE(WaitForProbeLines(1)) << "nothing was started";
    EXPECT_EQ("args=notes", ProbeArgs(0));
}

TEST_F(PressKeys, EscClosesTheSubmenuThenTheMenuAndNothingStarts) {
    const std::map<std::string, std::string> before = StoreSnapshot();
    int result = PressDriven([&] {
        if (!Menus(1)) return;
        Tap(VK_END);
        Tap(VK_RIGHT);
        HWND tools = Menus(2);
        if (!tools) return;
        Tap(VK_ESCAPE);
        HWND root = Menus(1);
        if (!root) return;
        EXPECT_TRUE(WaitPaintedHot(root, EntryTop(kTools))) << "its entry stays hot";
        Tap(VK_ESCAPE);
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(0, hostKeysWhileMenuShown);
    EXPECT_TRUE(MenuWindows().empty());
    EXPECT_EQ(before, StoreSnapshot());
    // A second press starts its choice: had the first started anything, it
    // would come first.
    result = PressDriven([&] {
        if (!Menus(1)) return;
        Tap(VK_HOME);
        Tap(VK_RETURN);
    });
    EXPECT_EQ(1, result);
    ASSERT_TRUE(WaitForProbeLines(1));
    EXPECT_EQ("args=first", ProbeArgs(0));
    EXPECT_EQ(1u, ProbeLines().size());
}

TEST_F(PressKeys, TheContextKeyAndDDeleteTheHotItem) {
    const int result = PressDriven([&] {
        HWND root = Menus(1);
        if (!root) return;
        Tap(VK_DOWN);
        Tap(VK_APPS);
        HWND context = Menus(2);
        if (!context) return;
        EXPECT_TRUE(WaitPaintedHot(context, kUntitledFirstEntry)) << "Open is hot";
        const RECT r = WindowRect(root);
        const RECT c = WindowRect(context);
        EXPECT_EQ(r.left + 8, c.left);
        EXPECT_EQ(r.top + EntryTop(kFirst) + 4, c.top);
        Type('d');
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(0, hostKeysWhileMenuShown);
    EXPECT_TRUE(MenuWindows().empty());
    EXPECT_EQ("<missing>", StoredRecord("", "First"));
    EXPECT_EQ(ProbePath() + ",second,,,0,0,1,0", StoredRecord("", "Second"))
        << "the item after it moves up";
}

TEST_F(PressKeys, ShiftF10InASubmenuOpensTheContextMenuForItsHotItem) {
    const int result = PressDriven([&] {
        if (!Menus(1)) return;
        Type('t');
        if (!Menus(2)) return;
        Tap(VK_DOWN); // Notes
        TapWithShift(VK_F10);
        if (!Menus(3)) return;
        Tap(VK_DOWN);
        Tap(VK_DOWN); // Delete
        Tap(VK_RETURN);
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(0, hostKeysWhileMenuShown);
    EXPECT_EQ("<missing>", StoredRecord("Tools", "Notes"));
    EXPECT_EQ(ProbePath() + ",calc,,,0,0,1,0", StoredRecord("Tools", "Calc"));
}

TEST_F(PressKeys, AQuitWhileASubmenuIsOpenEndsThePressAndReachesTheHost) {
    const DWORD thread = GetCurrentThreadId();
    const int result = PressDriven([&] {
        if (!Menus(1)) return;
        Type('t');
        if (!Menus(2)) return;
        Settle();
        PostThreadMessageA(thread, WM_QUIT, 7, 0);
    });
    EXPECT_EQ(1, result);
    EXPECT_TRUE(MenuWindows().empty()) << "every menu window is gone";
    EXPECT_EQ(std::vector<WPARAM>{7}, TakeQuitMessages());
    EXPECT_TRUE(ProbeLines().empty());
}

TEST_F(PressKeys, EnterOnInsertItemInAnEmptyMenuRunsTheInsertFlow) {
    qtest::DeleteProductKey();
    bool dialogShown = false;
    const int result = PressDriven([&] {
        HWND root = Menus(1);
        if (!root) return;
        Tap(VK_DOWN);
        Settle();
        EXPECT_TRUE(WaitPaintedHot(root, EntryTop(0))) << "Insert Item... is hot";
        Tap(VK_RETURN);
        HWND dialog = WaitForDialog("Create Menu Item");
        dialogShown = dialog != nullptr;
        const std::string target = ProbePath();
        FillAndConfirm(dialog, NewItem{"Made", target.c_str(), "made", "", false});
    });
    EXPECT_EQ(1, result);
    EXPECT_TRUE(dialogShown) << "Enter on the placeholder opens the item dialog";
    EXPECT_EQ(0, hostKeysWhileMenuShown);
    EXPECT_EQ(0u, StoredRecord("", "Made").find(ProbePath() + ",made,"))
        << StoredRecord("", "Made");
}
