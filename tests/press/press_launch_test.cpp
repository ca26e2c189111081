// Presses that show the menu and start what the user picks, or start nothing:
// what the started program receives, and what a dismissed or cancelled press
// leaves behind.
#include "tests/press/press_fixture.h"
#include "tests/support/test_support.h"

using namespace presstest;

namespace {
class PressLaunch : public PressTest {};

// Height of a launcher popup with `entries` entries and no separators.
int PopupHeight(int entries) {
    return kTitledFirstEntry + entries * kEntryHeight + 2;
}

int WindowHeight(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return r.bottom - r.top;
}

std::string CurrentDirectory() {
    char directory[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, directory);
    return directory;
}
} // namespace

TEST_F(PressLaunch, AbsentTreeShowsOnlyInsertItemAndCreatesTheSettingsKey) {
    ASSERT_FALSE(qtest::KeyExists(kSettings));
    qtest::HostWindow host;
    int height = 0;
    EXPECT_EQ(1, Press(host.Handle(), [&] {
        HWND popup = WaitForPopups(1);
        ASSERT_NE(nullptr, popup);
        height = WindowHeight(popup);
        PostMessageA(popup, WM_LBUTTONDOWN, 0, MAKELPARAM(0, 0)); // outside
    }).result);
    EXPECT_EQ(PopupHeight(1), height) << "title, separator and a single entry";
    EXPECT_TRUE(qtest::KeyExists(kSettings));
    EXPECT_TRUE(StoreSnapshot().empty());
}

TEST_F(PressLaunch, EmptyTreeShowsOnlyInsertItemAtThePressPoint) {
    StoreRecord("", "", ""); // the settings key exists, with nothing in it
    qtest::HostWindow host;
    RECT where = {};
    EXPECT_EQ(1, Press(host.Handle(), [&] {
        HWND popup = WaitForPopups(1);
        ASSERT_NE(nullptr, popup);
        GetWindowRect(popup, &where);
        PostMessageA(popup, WM_LBUTTONDOWN, 0, MAKELPARAM(0, 0));
    }).result);
    EXPECT_EQ(kPressX, where.left);
    EXPECT_EQ(kPressY, where.top);
    EXPECT_EQ(PopupHeight(1), where.bottom - where.top);
    EXPECT_TRUE(qtest::WaitUntilNoMenu());
}

TEST_F(PressLaunch, ChoosingAnItemStartsItWithItsParametersInItsStartInDirectory) {
    const std::string docs = MakeDirectory("Quoril Docs");
    StoreRecord("", "First", ProbePath() + ",first,,,0,0,1,0");
    // Run mode 3 is stored, but every launch shows the program normally.
    StoreRecord("", "Notes", ProbePath() + ",readme.txt," + docs + ",,0,3,2,0");
    qtest::HostWindow host;
    EXPECT_EQ(1, Press(host.Handle(), [] {
        HWND popup = WaitForPopups(1);
        if (popup) ClickEntry(popup, 1);
    }).result);
    ASSERT_TRUE(WaitForProbeLines(1)) << "the chosen program was not started";
    EXPECT_EQ("args=readme.txt|cwd=" + docs + "|show=" + std::to_string(SW_SHOWNORMAL),
              ProbeLines().at(0));
    RemoveDirectoryA(docs.c_str());
}

TEST_F(PressLaunch, EmptyParametersAndDirectoryStartWithNoArgumentsInTheHostsDirectory) {
    StoreRecord("", "Plain", ProbePath() + ",,,,0,0,1,0");
    qtest::HostWindow host;
    EXPECT_EQ(1, Press(host.Handle(), [] {
        HWND popup = WaitForPopups(1);
        if (popup) ClickEntry(popup, 0);
    }).result);
    // No waiting for the line: the started program is followed until it has
    // finished (the signal the tests of presses that start nothing rely on).
    const std::vector<std::string> lines = LinesOfFinishedProbes();
    ASSERT_EQ(1u, lines.size()) << "the chosen program was not started";
    EXPECT_EQ("args=|cwd=" + CurrentDirectory() + "|show=" + std::to_string(SW_SHOWNORMAL),
              lines.at(0));
}

TEST_F(PressLaunch, OpenFromTheContextMenuStartsTheItemInASubmenu) {
    StoreRecord("Tools", "", ",,,,0,0,1,0");
    StoreRecord("Tools", "Inner", ProbePath() + ",inner,,,0,0,1,0");
    qtest::HostWindow host;
    EXPECT_EQ(1, Press(host.Handle(), [] {
        HWND popup = WaitForPopups(1);
        ASSERT_NE(nullptr, popup);
        HWND submenu = OpenSubmenu(popup, 0, 1);
        if (submenu) ContextCommandOn(submenu, 0, kOpen, 2);
    }).result);
    ASSERT_TRUE(WaitForProbeLines(1)) << "Open did not start the item";
    EXPECT_EQ(0u, ProbeLines().at(0).find("args=inner|"));
}

TEST_F(PressLaunch, RightClickThenCancelChangesNothingAndStartsNothing) {
    StoreRecord("", "Alpha", ProbePath() + ",a,,,0,0,1,0");
    StoreRecord("", "Beta", ProbePath() + ",b,,,0,0,2,1");
    const auto before = StoreSnapshot();
    qtest::HostWindow host;
    EXPECT_EQ(1, Press(host.Handle(), [] {
        HWND popup = WaitForPopups(1);
        if (popup) ContextCommandOn(popup, 0, kCancel);
    }).result);
    EXPECT_TRUE(qtest::WaitUntilNoMenu());
    EXPECT_EQ(std::vector<std::string>(), LinesOfFinishedProbes()) << "Cancel started a program";
    EXPECT_EQ(before, StoreSnapshot());
}

TEST_F(PressLaunch, OpenOnASubmenuItemStartsNothing) {
    StoreRecord("Tools", "", ",,,,0,0,1,0");
    StoreRecord("Tools", "Inner", ProbePath() + ",inner,,,0,0,1,0");
    const auto before = StoreSnapshot();
    const size_t windowsBefore = qtest::OwnWindows("#32770").size();
    qtest::HostWindow host;
    EXPECT_EQ(1, Press(host.Handle(), [] {
        HWND popup = WaitForPopups(1);
        if (popup) ContextCommandOn(popup, 0, kOpen);
    }).result);
    EXPECT_EQ(std::vector<std::string>(), LinesOfFinishedProbes())
        << "Open on a submenu started a program";
    EXPECT_EQ(windowsBefore, qtest::OwnWindows("#32770").size());
    EXPECT_EQ(before, StoreSnapshot());
}

TEST_F(PressLaunch, OpenOnASeparatorStartsNothingAndChangesNothing) {
    StoreRecord("", "Alpha", ProbePath() + ",a,,,0,0,1,0");
    StoreRecord("", "Beta", ProbePath() + ",b,,,0,0,2,1"); // a separator line above Beta
    const auto before = StoreSnapshot();
    qtest::HostWindow host;
    EXPECT_EQ(1, Press(host.Handle(), [] {
        HWND popup = WaitForPopups(1);
        if (popup) ContextCommandAt(SeparatorPoint(popup, kTitledFirstEntry + kEntryHeight), kOpen);
    }).result);
    EXPECT_EQ(std::vector<std::string>(), LinesOfFinishedProbes())
        << "Open on a separator started a program";
    EXPECT_EQ(before, StoreSnapshot());
}

TEST_F(PressLaunch, DismissedMenuStartsNothingAndRecordsWithoutPositionGetOne) {
    // A record in short form gets its place and the full eight fields.
    StoreRecord("", "Short", ProbePath());
    qtest::HostWindow host;
    EXPECT_EQ(1, Press(host.Handle(), [] {
        HWND popup = WaitForPopups(1);
        ASSERT_NE(nullptr, popup);
        RECT r;
        GetWindowRect(popup, &r);
        qtest::ClickAt(r.right + 40, r.bottom + 40);
    }).result);
    EXPECT_EQ(std::vector<std::string>(), LinesOfFinishedProbes());
    EXPECT_EQ(ProbePath() + ",,,,0,0,1,0", StoredRecord("", "Short"));
}
