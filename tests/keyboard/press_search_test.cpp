// Typing in the launcher's root through WBPress: an item three submenus deep
// starts from its letters and Enter, and the context menu of a result edits
// the item in its own submenu exactly as it would there. Hostile records are
// searched without harm.
#include "tests/keyboard/press_steps.h"
#include "resources/resource_ids.h"
#include "tests/support/step_table.h"
#include "tests/support/test_support.h"

using namespace presstest;
using qtest::Char;
using qtest::kClosed;
using qtest::Key;
using qtest::kNoHot;
using qtest::Opened;
using qtest::ShiftKey;
using qtest::Text;

namespace {
// Menus by their level, and rows of the root while it searches (the search
// row, then the results).
const int kRoot = 0, kInner = 1, kInnermost = 2;
const int kSearchRow = 0, kFirstResult = 1;

class PressSearch : public PressSteps {
  protected:
    void SetUp() override {
        PressSteps::SetUp();
        qtest::ParkPointer();
        StoreTree();
    }
    void StoreTree() {
        StoreRecord("", "First", ProbePath() + ",first,,,0,0,1,0");
        StoreRecord("", "Second", ProbePath() + ",second,,,0,0,2,0");
        StoreRecord("Tools", "", ",,,,0,0,3,0");
        StoreRecord("Tools", "Calc", ProbePath() + ",calc,,,0,0,1,0");
        StoreRecord("Tools", "Notes", ProbePath() + ",notes,,,0,0,2,0");
        StoreRecord("Tools\\Games", "", ",,,,0,0,3,0");
        StoreRecord("Tools\\Games", "Chess", ProbePath() + ",chess,,,0,0,1,0");
        StoreRecord("Tools\\Games\\Deep", "", ",,,,0,0,2,0");
        StoreRecord("Tools\\Games\\Deep", "Treasure Hunt", ProbePath() + ",treasure,,,0,0,1,0");
    }
    const PressMenuView launcher{{{"the root", true}, {"a submenu", true}, {"another", true}}};
    const PressMenuView rootContext{{{"the root", true}, {"the context menu", false}}};
    const PressMenuView submenuContext{
        {{"the root", true}, {"Tools", true}, {"the context menu", false}}};
};
} // namespace

TEST_F(PressSearch, AnItemThreeSubmenusDeepStartsFromItsLettersAndEnter) {
    PressWithSteps("\"treas\", Enter", launcher,
                   {{Opened(), kRoot, kNoHot},
                    {Text("treas", L"treas"), kRoot, kFirstResult},
                    {Key(VK_RETURN), kClosed, kNoHot}});
    ASSERT_TRUE(WaitForProbeLines(1)) << "nothing was started";
    EXPECT_EQ("args=treasure", ProbeArgs(0));
}

TEST_F(PressSearch, TheTargetsFileNameFindsAnItemAfterTheNames) {
    // Every item's target is the probe: its file name finds them all, after
    // any name that holds the text (there is none here).
    const std::string probe = "probe";
    PressWithSteps("\"probe\", Down, Enter", launcher,
                   {{Opened(), kRoot, kNoHot},
                    {Text(probe, std::wstring(probe.begin(), probe.end())), kRoot, kFirstResult},
                    {Key(VK_DOWN), kRoot, kFirstResult + 1},
                    {Key(VK_RETURN), kClosed, kNoHot}});
    ASSERT_TRUE(WaitForProbeLines(1)) << "nothing was started";
    EXPECT_EQ("args=second", ProbeArgs(0)) << "the second item in menu order";
}

TEST_F(PressSearch, ASubmenuResultOpensWithRightAndItsItemsStart) {
    PressWithSteps("\"gam\", Right, Down, Right, Enter", launcher,
                   {{Opened(), kRoot, kNoHot},
                    {Text("gam", L"gam"), kRoot, kFirstResult},
                    {Key(VK_RIGHT), kInner, 0}, // Games, beside the root: Chess hot
                    {Key(VK_DOWN), kInner, 1},  // Deep
                    {Key(VK_RIGHT), kInnermost, 0},
                    {Key(VK_RETURN), kClosed, kNoHot}});
    ASSERT_TRUE(WaitForProbeLines(1)) << "nothing was started";
    EXPECT_EQ("args=treasure", ProbeArgs(0));
}

TEST_F(PressSearch, DeleteOnAResultDeletesTheItemInItsOwnSubmenuAsThereAndNothingElse) {
    const std::map<std::string, std::string> before = StoreSnapshot();
    PressWithSteps("\"calc\", the context key, 'd'", rootContext,
                   {{Opened(), kRoot, kNoHot},
                    {Text("calc", L"calc"), kRoot, kFirstResult},
                    {Key(VK_APPS), kInner, kOpen},
                    {Char('d'), kClosed, kNoHot}});
    const std::map<std::string, std::string> throughSearch = StoreSnapshot();
    EXPECT_EQ("<missing>", StoredRecord("Tools", "Calc"));

    // The same deletion where the item lives.
    qtest::DeleteProductKey();
    StoreTree();
    PressWithSteps("End, Right, the context key, 'd'", submenuContext,
                   {{Opened(), kRoot, kNoHot},
                    {Key(VK_END), kRoot, 2}, // Tools
                    {Key(VK_RIGHT), kInner, 0},
                    {Key(VK_APPS), kInnermost, kOpen},
                    {Char('d'), kClosed, kNoHot}});
    EXPECT_EQ(StoreSnapshot(), throughSearch) << "the store holds what the delete flow leaves";
    EXPECT_NE(before, throughSearch);
    EXPECT_EQ(ProbePath() + ",notes,,,0,0,1,0", StoredRecord("Tools", "Notes"))
        << "its siblings move up";
    EXPECT_EQ(ProbePath() + ",first,,,0,0,1,0", StoredRecord("", "First"))
        << "the root's entries keep their places";
}

TEST_F(PressSearch, PropertiesOnAResultEditTheItemInItsOwnSubmenu) {
    PressWithSteps("\"chess\", Shift+F10, 'p', then the dialog", rootContext,
                   {{Opened(), kRoot, kNoHot},
                    {Text("chess", L"chess"), kRoot, kFirstResult},
                    {ShiftKey(VK_F10), kInner, kOpen},
                    {Char('p'), kClosed, kNoHot}},
                   [&] {
                       HWND dialog = WaitForDialog("Menu Item Properties");
                       if (!dialog) return;
                       EXPECT_EQ("Chess", ControlText(dialog, IDC_NAME));
                       SetControlText(dialog, IDC_PARAMETERS, "blitz");
                       PressOk(dialog);
                       qtest::WaitUntilGone(dialog);
                   });
    EXPECT_EQ(ProbePath() + ",blitz,,,0,0,1,0", StoredRecord("Tools\\Games", "Chess"));
    EXPECT_EQ(ProbePath() + ",calc,,,0,0,1,0", StoredRecord("Tools", "Calc"));
    EXPECT_TRUE(ProbeLines().empty()) << "nothing was started";
}

TEST_F(PressSearch, HostileRecordsAreSearchedWithoutHarm) {
    qtest::DeleteProductKey();
    const std::string longName(300, 'x');
    const std::string longRecord = ProbePath() + "," + std::string(3000, 'y') + ",,,0,0,3,0";
    StoreRecord("", "Plain", ProbePath() + ",plain,,,0,0,1,0");
    StoreRecord("", "No fields", "xq");
    StoreRecord("", longName, ProbePath() + ",long,,,0,0,2,0");
    StoreRecord("", "Long record", longRecord);
    StoreRecord("Empty", "", "");
    StoreRecord("x&&Odd,name", "", ",,,,garbage,999999999999,-5,zz");
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kSettings, 0, KEY_SET_VALUE, &key));
    const DWORD number = 7;
    RegSetValueExA(key, "A number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                   sizeof number);
    RegCloseKey(key);
    // A first press puts the records in order; searching changes nothing after it.
    PressWithSteps("Esc", launcher, {{Opened(), kRoot, kNoHot}, {Key(VK_ESCAPE), kClosed, kNoHot}});
    const std::map<std::string, std::string> before = StoreSnapshot();
    PressWithSteps("\"x\", End, Home, \"q\", Backspace, Esc, Esc", launcher,
                   {{Opened(), kRoot, kNoHot},
                    {Char('x'), kRoot, kFirstResult},
                    {Key(VK_END), kRoot, qtest::kAnyRow},
                    {Key(VK_HOME), kRoot, kFirstResult},
                    {Char('q'), kRoot, qtest::kAnyRow},
                    {Key(VK_BACK), kRoot, kFirstResult},
                    {Key(VK_ESCAPE), kRoot, kNoHot},
                    {Key(VK_ESCAPE), kClosed, kNoHot}});
    EXPECT_EQ(before, StoreSnapshot());
    EXPECT_TRUE(ProbeLines().empty()) << "nothing was started";
}
