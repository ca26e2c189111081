// The plug-in's launcher menu driven by the keyboard alone, through WBPress:
// what starts, what the store holds afterwards, and that the host's window
// receives no key while the menu is open. The keys are tables of steps, each
// with the innermost menu and its hot row as the screen shows them.
#include "tests/keyboard/press_steps.h"
#include "tests/support/step_table.h"
#include "tests/support/test_support.h"

using namespace presstest;
using qtest::Char;
using qtest::kClosed;
using qtest::Key;
using qtest::kNoHot;
using qtest::Opened;
using qtest::ShiftKey;

namespace {
// Entries of the stored menu as shown (after the title and its line).
const int kFirst = 0, kSecond = 1, kTools = 2;
// Menus by their level.
const int kRoot = 0, kInner = 1, kInnermost = 2;

class PressKeys : public PressSteps {
  protected:
    void SetUp() override {
        PressSteps::SetUp();
        qtest::ParkPointer();
        StoreRecord("", "First", ProbePath() + ",first,,,0,0,1,0");
        StoreRecord("", "Second", ProbePath() + ",second,,,0,0,2,0");
        StoreRecord("Tools", "", ",,,,0,0,3,0");
        StoreRecord("Tools", "Calc", ProbePath() + ",calc,,,0,0,1,0");
        StoreRecord("Tools", "Notes", ProbePath() + ",notes,,,0,0,2,0");
    }
    const PressMenuView launcher{
        {{"the root", true}, {"Tools", true}, {"the context menu", false}}};
    const PressMenuView rootContext{{{"the root", true}, {"the context menu", false}}};
};
} // namespace

TEST_F(PressKeys, DownAndEnterStartTheChosenItem) {
    PressWithSteps("Down, Down, Enter", launcher,
                   {{Opened(), kRoot, kNoHot},
                    {Key(VK_DOWN), kRoot, kFirst},
                    {Key(VK_DOWN), kRoot, kSecond},
                    {Key(VK_RETURN), kClosed, kNoHot}});
    ASSERT_TRUE(WaitForProbeLines(1)) << "nothing was started";
    EXPECT_EQ("args=second", ProbeArgs(0));
}

TEST_F(PressKeys, ALetterFindsTheSubmenuRightOpensItAndALetterThereStartsAnItem) {
    PressWithSteps("'t', Right, 'N'", launcher,
                   {{Opened(), kRoot, kNoHot},
                    // In the root a letter searches: Tools comes first (the
                    // row below the search row), and Right opens it with its
                    // first entry hot; there, a letter keeps its old meaning.
                    {Char('t'), kRoot, 1},
                    {Key(VK_RIGHT), kInner, 0},
                    {Char('N'), kClosed, kNoHot}});
    ASSERT_TRUE(WaitForProbeLines(1)) << "nothing was started";
    EXPECT_EQ("args=notes", ProbeArgs(0));
}

TEST_F(PressKeys, EscClosesTheSubmenuThenTheMenuAndNothingStarts) {
    const std::map<std::string, std::string> before = StoreSnapshot();
    PressWithSteps("End, Right, Esc, Esc", launcher,
                   {{Opened(), kRoot, kNoHot},
                    {Key(VK_END), kRoot, kTools},
                    {Key(VK_RIGHT), kInner, 0},
                    {Key(VK_ESCAPE), kRoot, kTools}, // its entry stays hot
                    {Key(VK_ESCAPE), kClosed, kNoHot}});
    EXPECT_EQ(before, StoreSnapshot());
    // A second press starts its choice: had the first started anything, it
    // would come first.
    PressWithSteps("Home, Enter", launcher,
                   {{Opened(), kRoot, kNoHot},
                    {Key(VK_HOME), kRoot, kFirst},
                    {Key(VK_RETURN), kClosed, kNoHot}});
    ASSERT_TRUE(WaitForProbeLines(1));
    EXPECT_EQ("args=first", ProbeArgs(0));
    EXPECT_EQ(1u, ProbeLines().size());
}

TEST_F(PressKeys, TheContextKeyAndDDeleteTheHotItem) {
    auto atTheEntrysRow = [&] {
        const RECT r = qtest::WindowRect(rootContext.Window(kRoot));
        const RECT c = qtest::WindowRect(rootContext.Window(kInner));
        EXPECT_EQ(r.left + 8, c.left);
        EXPECT_EQ(r.top + rootContext.RowTop(kRoot, kFirst) + 4, c.top);
    };
    PressWithSteps("Down, the context key, 'd'", rootContext,
                   {{Opened(), kRoot, kNoHot},
                    {Key(VK_DOWN), kRoot, kFirst},
                    {Key(VK_APPS), kInner, kOpen, atTheEntrysRow},
                    {Char('d'), kClosed, kNoHot}});
    EXPECT_EQ("<missing>", StoredRecord("", "First"));
    EXPECT_EQ(ProbePath() + ",second,,,0,0,1,0", StoredRecord("", "Second"))
        << "the item after it moves up";
}

TEST_F(PressKeys, ShiftF10InASubmenuOpensTheContextMenuForItsHotItem) {
    PressWithSteps("End, Right, Down, Shift+F10, Down, Down, Enter", launcher,
                   {{Opened(), kRoot, kNoHot},
                    {Key(VK_END), kRoot, kTools},
                    {Key(VK_RIGHT), kInner, 0},
                    {Key(VK_DOWN), kInner, 1}, // Notes
                    {ShiftKey(VK_F10), kInnermost, kOpen},
                    {Key(VK_DOWN), kInnermost, kInsert},
                    {Key(VK_DOWN), kInnermost, kDelete},
                    {Key(VK_RETURN), kClosed, kNoHot}});
    EXPECT_EQ("<missing>", StoredRecord("Tools", "Notes"));
    EXPECT_EQ(ProbePath() + ",calc,,,0,0,1,0", StoredRecord("Tools", "Calc"));
}

TEST_F(PressKeys, AQuitWhileASubmenuIsOpenEndsThePressAndReachesTheHost) {
    const DWORD thread = GetCurrentThreadId();
    const qtest::Input quit{"a quit message (7) to the pressing thread",
                            [thread] { PostThreadMessageA(thread, WM_QUIT, 7, 0); }};
    PressWithSteps("End, Right, then a quit", launcher,
                   {{Opened(), kRoot, kNoHot},
                    {Key(VK_END), kRoot, kTools},
                    {Key(VK_RIGHT), kInner, 0},
                    {quit, kClosed, kNoHot}});
    EXPECT_EQ(std::vector<WPARAM>{7}, qtest::TakeQuitMessages());
    EXPECT_TRUE(ProbeLines().empty());
}

TEST_F(PressKeys, EnterOnInsertItemInAnEmptyMenuRunsTheInsertFlow) {
    qtest::DeleteProductKey();
    bool dialogShown = false;
    PressWithSteps("Down, Enter on Insert Item..., then the dialog", launcher,
                   {{Opened(), kRoot, kNoHot},
                    {Key(VK_DOWN), kRoot, 0}, // Insert Item...
                    {Key(VK_RETURN), kClosed, kNoHot}},
                   [&] {
                       HWND dialog = WaitForDialog("Create Menu Item");
                       dialogShown = dialog != nullptr;
                       const std::string target = ProbePath();
                       FillAndConfirm(dialog, NewItem{"Made", target.c_str(), "made", "", false});
                   });
    EXPECT_TRUE(dialogShown) << "Enter on the placeholder opens the item dialog";
    EXPECT_EQ(0u, StoredRecord("", "Made").find(ProbePath() + ",made,"))
        << StoredRecord("", "Made");
}
