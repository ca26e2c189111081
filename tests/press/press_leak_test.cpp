// Hundreds of presses leave the process as they found it: no GDI object,
// kernel handle or heap block of a press outlives it.
#include <atomic>
#include <thread>
#include "resources/resource_ids.h"
#include "tests/press/press_fixture.h"
#include "tests/support/test_support.h"

using namespace presstest;

namespace {
struct Resources {
    int gdi;
    int handles;
    size_t heap;
};

Resources Measure() {
    return Resources{qtest::LiveGdiObjects(), qtest::OpenHandles(), qtest::AllHeapsInUse()};
}

// The first visible popup, found without allocating.
HWND VisiblePopup() {
    HWND popup = FindWindowA("fpmMenuClass", nullptr);
    return popup && IsWindowVisible(popup) ? popup : nullptr;
}

bool WaitFor(const std::atomic<bool>& stop, HWND* popup) {
    while (!stop) {
        if ((*popup = VisiblePopup()) != nullptr) return true;
        Sleep(2);
    }
    return false;
}

void WaitUntilNoPopup(const std::atomic<bool>& stop) {
    while (!stop && FindWindowA("fpmMenuClass", nullptr))
        Sleep(2);
}

// A menu with icons from real files, a submenu and a separator line.
void SeedMenu() {
    StoreRecord("", "Notepad", "C:\\windows\\notepad.exe,,,,0,0,1,0");
    StoreRecord("", "Registry", "C:\\windows\\regedit.exe,,,,0,0,2,1");
    StoreRecord("Tools", "", ",,,C:\\windows\\system32\\winecfg.exe,0,,3,0");
    StoreRecord("Tools", "Explorer", "C:\\windows\\explorer.exe,,,,0,0,1,0");
    StoreRecord("Tools", "Missing", "C:\\nowhere\\missing.exe,,,,0,0,2,0");
}

class PressLeak : public PressTest {
  protected:
    void ExpectUnchanged(const Resources& before, const char* what) {
        // Give Wine a moment to finish destroying windows of the last press.
        qtest::PollUntil([&] { return qtest::LiveGdiObjects() <= before.gdi; }, 2000);
        Resources after = Measure();
        EXPECT_EQ(before.gdi, after.gdi) << "live GDI objects after " << what;
        EXPECT_EQ(before.handles, after.handles) << "open handles after " << what;
        EXPECT_LE(after.heap, before.heap + kHeapSlack)
            << "heap in use grew from " << before.heap << " to " << after.heap << " after " << what;
    }
    static const size_t kHeapSlack = 0;
};
} // namespace

TEST_F(PressLeak, FiveHundredPressesClosedByAClickOutsideLeaveNothingBehind) {
    SeedMenu();
    qtest::HostWindow host;
    std::atomic<bool> stop(false);
    std::atomic<int> closed(0);
    std::thread closer([&] {
        HWND popup;
        while (WaitFor(stop, &popup)) {
            PostMessageA(popup, WM_LBUTTONDOWN, 0, MAKELPARAM(0, 0)); // counts as outside
            WaitUntilNoPopup(stop);
            ++closed;
        }
    });
    ASSERT_EQ(1, Press(host.Handle())); // warm-up: first-use caches of Wine and the plug-in
    Resources before = Measure();
    for (int i = 0; i < 500; ++i) {
        ASSERT_EQ(1, m_press(host.Handle(), kPressX, kPressY, 0)) << "press " << i;
    }
    EXPECT_TRUE(qtest::PollUntil([&] { return closed == 501; }, 5000)) << closed << " closed";
    ExpectUnchanged(before, "500 presses"); // while the closing thread still lives
    stop = true;
    closer.join();
}

namespace {
// The context popup: a visible menu window other than the launcher's.
HWND OtherPopup(HWND launcher) {
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        char name[32];
        if (w != launcher && IsWindowVisible(w) && GetClassNameA(w, name, sizeof name) &&
            lstrcmpA(name, "fpmMenuClass") == 0)
            return w;
    }
    return nullptr;
}

// Right click on the first entry, Insert, then Cancel in the item dialog, all
// by posted messages so that fifty rounds stay quick. False when a step did
// not come.
bool CancelAnInsert(HWND popup, const std::atomic<bool>& stop) {
    LPARAM entry = MAKELPARAM(40, kTitledFirstEntry + kEntryHeight / 2);
    PostMessageA(popup, WM_MOUSEMOVE, 0, entry);
    PostMessageA(popup, WM_RBUTTONDOWN, MK_RBUTTON, entry);
    HWND context = nullptr;
    for (int i = 0; i < 1000 && !stop && !(context = OtherPopup(popup)); ++i)
        Sleep(5);
    if (!context) return false;
    LPARAM insert = MAKELPARAM(40, kUntitledFirstEntry + kEntryHeight + kEntryHeight / 2);
    PostMessageA(context, WM_MOUSEMOVE, 0, insert);
    PostMessageA(context, WM_LBUTTONUP, 0, insert);
    HWND dialog = nullptr;
    for (int i = 0; i < 1000 && !stop && !(dialog = FindWindowA("#32770", "Create Menu Item")); ++i)
        Sleep(5);
    if (!dialog) return false;
    PressCancel(dialog);
    while (!stop && IsWindow(dialog))
        Sleep(2);
    return true;
}
} // namespace

TEST_F(PressLeak, FiftyPressesWithACancelledInsertLeaveNothingBehind) {
    SeedMenu();
    qtest::HostWindow host;
    std::atomic<bool> stop(false), failed(false);
    std::atomic<int> cancelled(0);
    std::thread user([&] {
        HWND popup;
        while (WaitFor(stop, &popup)) {
            if (!failed && CancelAnInsert(popup, stop)) {
                ++cancelled;
                continue;
            }
            // Something did not come: close whatever is open so no press hangs.
            failed = true;
            if (HWND dialog = FindWindowA("#32770", "Create Menu Item")) PressCancel(dialog);
            if ((popup = VisiblePopup()) != nullptr)
                PostMessageA(popup, WM_LBUTTONDOWN, 0, MAKELPARAM(0, 0));
            WaitUntilNoPopup(stop);
        }
    });
    ASSERT_EQ(1, Press(host.Handle())); // warm-up
    const auto stored = StoreSnapshot();
    Resources before = Measure();
    for (int i = 0; i < 50 && !failed; ++i) {
        ASSERT_EQ(1, m_press(host.Handle(), kPressX, kPressY, 0)) << "press " << i;
    }
    EXPECT_FALSE(failed) << "the context popup or the item dialog did not appear";
    EXPECT_TRUE(qtest::PollUntil([&] { return cancelled == 51 || failed; }, 5000));
    if (!failed) ExpectUnchanged(before, "50 cancelled inserts");
    stop = true;
    user.join();
    EXPECT_EQ(stored, StoreSnapshot()) << "a cancelled insert stores nothing";
}
