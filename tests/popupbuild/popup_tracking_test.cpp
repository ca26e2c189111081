// The launcher menu tracked for real: what ShowLauncherMenu reports for a
// left choice, a context choice and a dismissal, its failure messages, and
// that repeated calls release everything they make.
#include <gtest/gtest.h>
#include "flatmenu/flat_popup_menu.h"
#include "menubuild/flat_popup_build.h"
#include "menubuild/press_context.h"
#include "resources/resource_ids.h"
#include "tests/popupbuild/native_menu_fixture.h"
#include "tests/support/test_press.h"
#include "tests/support/drive_modal.h"
#include "tests/support/test_support.h"

namespace {
// Layout of a titled popup: title (19) and separator (5) from top 3.
const int kFirstEntryTop = 27;
const int kEntryHeight = 19;

class LauncherTracking : public ::testing::Test {
  protected:
    void SetUp() override {
        m_resource = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_CONTEXT_MENU));
        HMENU root = m_menus.Root();
        m_tools = m_menus.NewSubmenu();
        m_menus.AddItem(m_tools, "Calc", 0x0151, "calc.exe,,,,0,0,1,0");
        m_menus.AddItem(m_tools, "Paint", 0x0251, "paint.exe,,,,0,0,2,0");
        m_menus.AddItem(root, "Editor", 0x013C, "ed.exe,,,,0,0,1,0");
        m_menus.AddSubmenu(root, "Tools", 0x0351, m_tools, ",,,,,,2,0");
        m_menus.AddItem(root, "Shell", 0x033C, "sh.exe,,,,0,0,3,0");
    }
    void TearDown() override {
        qtest::ReleaseAllButtons();
        DestroyMenu(m_resource);
    }
    // What the launcher menu reported.
    struct Shown {
        int chosen = -7;
        int context = -7;
        int parent = -7;
        bool rescued = false;
    };
    // Tracks the launcher menu while `steps` play the user on a second thread
    // (qtest::DriveModal: a menu that the steps do not close is closed from
    // outside, and the test fails).
    Shown Show(HWND host, const std::function<void()>& steps = [] {}) {
        Shown shown;
        const qtest::ModalOutcome out = qtest::DriveModal(
            [&] {
                qtest::TestPress press(host);
                const int chosen = ShowLauncherMenu(press.Context(), m_menus.Root(), 100, 100,
                                                    GetSubMenu(m_resource, 0));
                const MenuChoice& choice = press.Context().choice;
                EXPECT_EQ(chosen, choice.itemId) << "the choice is recorded in the press";
                shown.context = choice.contextCommand;
                shown.parent = choice.parentSubmenuId;
                return chosen;
            },
            steps, "the launcher menu");
        shown.chosen = out.result;
        shown.rescued = out.rescued;
        return shown;
    }
    NativeMenuFixture m_menus;
    HMENU m_tools = nullptr;
    HMENU m_resource = nullptr;
};

// Screen point in the middle of entry `index` (after title and separator) of
// the popup window `w`.
POINT EntryPoint(HWND w, int index, int titled = 1) {
    RECT r;
    GetWindowRect(w, &r);
    int top = titled ? kFirstEntryTop + index * kEntryHeight : 3 + index * kEntryHeight;
    return POINT{r.left + 40, r.top + top + kEntryHeight / 2};
}

// Waits until `count` popup windows of this process are visible (the menus
// holding the capture) and returns the newest, or null.
HWND WaitForPopupCount(size_t count) {
    return qtest::WaitForMenus(count);
}
} // namespace

TEST_F(LauncherTracking, LeftChoiceInRootReportsIdAndNoParent) {
    qtest::HostWindow host;
    const Shown shown = Show(host.Handle(), [] {
        HWND popup = WaitForPopupCount(1);
        ASSERT_NE(nullptr, popup) << "no popup appeared";
        POINT p = EntryPoint(popup, 2);
        qtest::ClickAt(p.x, p.y);
    });
    EXPECT_FALSE(shown.rescued);
    EXPECT_EQ(0x033C, shown.chosen);
    EXPECT_EQ(0, shown.context);
    EXPECT_EQ(0, shown.parent);
}

TEST_F(LauncherTracking, LeftChoiceInSubmenuReportsItsParentSubmenu) {
    qtest::HostWindow host;
    const Shown shown = Show(host.Handle(), [] {
        HWND popup = WaitForPopupCount(1);
        ASSERT_NE(nullptr, popup) << "no popup appeared";
        POINT p = EntryPoint(popup, 1);
        qtest::MoveMouse(p.x, p.y);
        qtest::LeftDown(); // opens the submenu at once
        qtest::LeftUp();
        HWND sub = WaitForPopupCount(2);
        ASSERT_NE(nullptr, sub) << "the submenu did not appear";
        POINT q = EntryPoint(sub, 1);
        qtest::MoveMouse(q.x - 20, q.y);
        qtest::ClickAt(q.x, q.y);
    });
    EXPECT_FALSE(shown.rescued);
    EXPECT_EQ(0x0251, shown.chosen);
    EXPECT_EQ(0, shown.context);
    EXPECT_EQ(0x0351, shown.parent);
}

TEST_F(LauncherTracking, ContextChoiceReportsItemAndCommand) {
    qtest::HostWindow host;
    const Shown shown = Show(host.Handle(), [] {
        HWND popup = WaitForPopupCount(1);
        ASSERT_NE(nullptr, popup) << "no popup appeared";
        POINT p = EntryPoint(popup, 0);
        qtest::MoveMouse(p.x, p.y - 2);
        qtest::RightClickAt(p.x, p.y);
        HWND context = WaitForPopupCount(2);
        ASSERT_NE(nullptr, context) << "the context popup did not appear";
        POINT q = EntryPoint(context, 2, 0); // "&Delete"
        qtest::MoveMouse(q.x, q.y - 2);
        qtest::ClickAt(q.x, q.y);
    });
    EXPECT_FALSE(shown.rescued);
    EXPECT_EQ(0x013C, shown.chosen);
    EXPECT_EQ(ID_CONTEXT_DELETE, shown.context);
    EXPECT_EQ(0, shown.parent);
}

TEST_F(LauncherTracking, DismissingReturnsZero) {
    qtest::HostWindow host;
    const Shown shown = Show(host.Handle(), [] {
        HWND popup = WaitForPopupCount(1);
        ASSERT_NE(nullptr, popup) << "no popup appeared";
        RECT r;
        GetWindowRect(popup, &r);
        qtest::ClickAt(r.right + 60, r.bottom + 60);
    });
    EXPECT_FALSE(shown.rescued);
    EXPECT_EQ(0, shown.chosen);
    EXPECT_EQ(0, shown.context);
    EXPECT_EQ(0, shown.parent);
}

TEST_F(LauncherTracking, NoHostWindowShowsNothing) {
    // A first call and window enumeration make what the system makes once
    // per process; only this thread makes GDI objects, so after that the
    // count is compared exactly.
    EXPECT_EQ(0, Show(nullptr).chosen);
    EXPECT_TRUE(qtest::OwnWindows("fpmMenuClass").empty());
    int gdiBefore = qtest::LiveGdiObjects();
    EXPECT_EQ(0, Show(nullptr).chosen);
    EXPECT_TRUE(qtest::OwnWindows("fpmMenuClass").empty());
    EXPECT_EQ(gdiBefore, qtest::LiveGdiObjects());
}

TEST_F(LauncherTracking, ClassRegistrationFailureIsReportedAndShowsNothing) {
    // A class of the same name registered first makes the popup's own
    // registration fail.
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "fpmMenuClass";
    if (!RegisterClassA(&wc))
        GTEST_SKIP() << "a popup already registered the class in this process";
    qtest::MessageBoxWatcher create("CFlatPopupMenu::Create");
    qtest::MessageBoxWatcher build("BuildPopupMenu");
    qtest::HostWindow host;
    EXPECT_EQ(0, Show(host.Handle()).chosen);
    ASSERT_TRUE(build.WaitForCount(1));
    EXPECT_EQ("FlatPopupMenu w/o context creation failed", build.Texts().at(0));
    ASSERT_TRUE(create.WaitForCount(1));
    EXPECT_EQ("Class registration failed", create.Texts().at(0));
}

TEST_F(LauncherTracking, FiftyCallsLeaveNoGdiObjectBehind) {
    qtest::HostWindow host;
    auto closeOnce = [] {
        HWND popup = WaitForPopupCount(1);
        ASSERT_NE(nullptr, popup) << "no popup appeared";
        PostMessageA(popup, WM_LBUTTONDOWN, 0, MAKELPARAM(0, 0)); // outside: x, y <= 2
    };
    Show(host.Handle(), closeOnce);
    int before = qtest::LiveGdiObjects();
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(0, Show(host.Handle(), closeOnce).chosen) << "call " << i;
        ASSERT_TRUE(qtest::WaitUntilNoMenu());
    }
    EXPECT_EQ(before, qtest::LiveGdiObjects());
}
