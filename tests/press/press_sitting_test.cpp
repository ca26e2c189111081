// One sitting at the host, as a user has it: an empty menu filled through
// the dialogs, an item moved with Properties, one deleted, one started; the
// store and the started program are checked after every press.
#include "resources/resource_ids.h"
#include "tests/press/press_fixture.h"
#include "tests/support/test_support.h"

using namespace presstest;

namespace {
using Store = std::map<std::string, std::string>;

class PressSitting : public PressTest {
  protected:
    // One press, with the user's steps on the input thread.
    void PressWith(HWND host, std::function<void()> steps, const char* what) {
        SCOPED_TRACE(what);
        EXPECT_EQ(1, Press(host, steps).result);
        EXPECT_TRUE(qtest::WaitUntilNoMenu());
    }
    void ExpectStore(const Store& expected, const char* after) {
        EXPECT_EQ(expected, StoreSnapshot()) << "the store after " << after;
    }
    void ExpectNothingStarted(const char* after) {
        EXPECT_EQ(std::vector<std::string>(), LinesOfFinishedProbes()) << after;
    }
};

// Clicks the up arrow of the position spinner `steps` times, and waits until
// the dialog has taken the clicks (a posted OK would otherwise overtake them:
// posted messages are taken before input).
void SpinUp(HWND dialog, int steps) {
    RECT r = {};
    GetWindowRect(GetDlgItem(dialog, IDC_POSITION_SPIN), &r);
    for (int i = 0; i < steps; ++i)
        qtest::ClickAt((r.left + r.right) / 2, r.top + 3);
    EXPECT_TRUE(qtest::SyncInput()) << "the dialog did not take the clicks";
}
} // namespace

TEST_F(PressSitting, FillMoveDeleteAndLaunchFromAnEmptyMenu) {
    const std::string p = ProbePath();
    const std::string docs = MakeDirectory("Quoril Sitting");
    qtest::HostWindow host;
    std::string shown;

    PressWith(
        host.Handle(),
        [&] {
            HWND popup = WaitForPopups(1);
            ASSERT_NE(nullptr, popup);
            ClickEntry(popup, 0); // "Insert Item..."
            HWND dialog = WaitForDialog("Create Menu Item");
            shown = ControlText(dialog, IDC_POSITION);
            FillAndConfirm(dialog, {"Alpha", p.c_str(), "a1", "", false});
        },
        "first item through the placeholder");
    EXPECT_EQ("1", shown);
    ExpectStore({{"Alpha", p + ",a1,,,,0,1,0"}}, "the first insert");
    ExpectNothingStarted("the first insert");

    PressWith(
        host.Handle(),
        [&] {
            HWND popup = WaitForPopups(1);
            ASSERT_NE(nullptr, popup);
            ContextCommandOn(popup, 0, kInsert);
            HWND dialog = WaitForDialog("Create Menu Item");
            shown = ControlText(dialog, IDC_POSITION);
            FillAndConfirm(dialog, {"Beta", p.c_str(), "b2", docs.c_str(), false});
        },
        "second item after the first");
    EXPECT_EQ("2", shown);
    ExpectStore({{"Alpha", p + ",a1,,,0,0,1,0"}, {"Beta", p + ",b2," + docs + ",,,0,2,0"}},
                "the second insert");

    PressWith(
        host.Handle(),
        [&] {
            HWND popup = WaitForPopups(1);
            ASSERT_NE(nullptr, popup);
            ContextCommandOn(popup, 1, kInsert);
            FillAndConfirm(WaitForDialog("Create Menu Item"),
                           {"Gamma", p.c_str(), "g3", "", false});
        },
        "third item after the second");
    ExpectStore({{"Alpha", p + ",a1,,,0,0,1,0"},
                 {"Beta", p + ",b2," + docs + ",,0,0,2,0"},
                 {"Gamma", p + ",g3,,,,0,3,0"}},
                "the third insert");

    PressWith(
        host.Handle(),
        [&] {
            HWND popup = WaitForPopups(1);
            ASSERT_NE(nullptr, popup);
            ContextCommandOn(popup, 2, kInsert);
            FillAndConfirm(WaitForDialog("Create Menu Item"), {"Tools", "", "", "", true});
        },
        "a submenu after the third item");
    ExpectStore({{"Alpha", p + ",a1,,,0,0,1,0"},
                 {"Beta", p + ",b2," + docs + ",,0,0,2,0"},
                 {"Gamma", p + ",g3,,,0,0,3,0"},
                 {"Tools\\", ",,,,,,4,0"}},
                "the submenu insert");

    PressWith(
        host.Handle(),
        [&] {
            HWND popup = WaitForPopups(1);
            ASSERT_NE(nullptr, popup);
            HWND submenu = OpenSubmenu(popup, 3, 1);
            ASSERT_NE(nullptr, submenu);
            ClickEntry(submenu, 0); // the empty submenu's "Insert Item..."
            FillAndConfirm(WaitForDialog("Create Menu Item"),
                           {"Delta", p.c_str(), "d4", "", false});
        },
        "an item in the new submenu");
    ExpectStore({{"Alpha", p + ",a1,,,0,0,1,0"},
                 {"Beta", p + ",b2," + docs + ",,0,0,2,0"},
                 {"Gamma", p + ",g3,,,0,0,3,0"},
                 {"Tools\\", ",,,,0,0,4,0"},
                 {"Tools\\Delta", p + ",d4,,,,0,1,0"}},
                "the insert into the submenu");

    std::string name;
    PressWith(
        host.Handle(),
        [&] {
            HWND popup = WaitForPopups(1);
            ASSERT_NE(nullptr, popup);
            ContextCommandOn(popup, 2, kProperties);
            HWND dialog = WaitForDialog("Menu Item Properties");
            ASSERT_NE(nullptr, dialog);
            name = ControlText(dialog, IDC_NAME);
            shown = ControlText(dialog, IDC_POSITION);
            SpinUp(dialog, 2); // from 3 to 1
            PressOk(dialog);
            EXPECT_TRUE(qtest::WaitUntilGone(dialog));
        },
        "Gamma moved to the top");
    EXPECT_EQ("Gamma", name);
    EXPECT_EQ("3", shown);
    ExpectStore({{"Gamma", p + ",g3,,,0,0,1,0"},
                 {"Alpha", p + ",a1,,,0,0,2,0"},
                 {"Beta", p + ",b2," + docs + ",,0,0,3,0"},
                 {"Tools\\", ",,,,0,0,4,0"},
                 {"Tools\\Delta", p + ",d4,,,0,0,1,0"}},
                "the move");

    PressWith(
        host.Handle(),
        [&] {
            HWND popup = WaitForPopups(1);
            if (popup) ContextCommandOn(popup, 1, kDelete); // Alpha, now second
        },
        "Alpha deleted");
    ExpectStore({{"Gamma", p + ",g3,,,0,0,1,0"},
                 {"Beta", p + ",b2," + docs + ",,0,0,2,0"},
                 {"Tools\\", ",,,,0,0,3,0"},
                 {"Tools\\Delta", p + ",d4,,,0,0,1,0"}},
                "the delete");
    ExpectNothingStarted("editing");

    PressWith(
        host.Handle(),
        [&] {
            HWND popup = WaitForPopups(1);
            if (popup) ClickEntry(popup, 1); // Beta
        },
        "Beta started");
    ASSERT_TRUE(WaitForProbeLines(1)) << "Beta was not started";
    EXPECT_EQ("args=b2|cwd=" + docs + "|show=" + std::to_string(SW_SHOWNORMAL), ProbeLines().at(0));
    EXPECT_EQ(1u, ProbeLines().size());
    RemoveDirectoryA(docs.c_str());
}
