// Presses as the host makes them. One that fails half-way, here because an
// allocation fails, ends cleanly: WBPress returns 0, no menu window is left,
// every menu, GDI object and registry key of the press is released, and the
// next press works. And a press never rewrites stored text that the code
// page cannot hold.
#include <gtest/gtest.h>
#include <windows.h>
#include <atomic>
#include <string>
#include "plugin/exports.h"
#include "plugin/module.h"
#include "tests/boundary/failing_allocator.h"
#include "tests/support/drive_modal.h"
#include "tests/support/test_support.h"
#include "tests/wide/wide_registry.h"

namespace {

const char kSettings[] = "Software\\Quoril\\RoduzuRodidiVo\\Settings";
const char kIconFile[] = "C:\\windows\\notepad.exe";

// Every menu that the plug-in code of this program makes goes through the
// import table entries patched below, which record it. Fixed storage: the
// recording must not allocate while the allocator is armed.
HMENU g_menus[4096];
size_t g_menuCount = 0;
HMENU(WINAPI* g_realCreateMenu)() = nullptr;
HMENU(WINAPI* g_realCreatePopupMenu)() = nullptr;
HMENU(WINAPI* g_realLoadMenuA)(HINSTANCE, LPCSTR) = nullptr;

void RecordMenu(HMENU menu) {
    if (!menu || g_menuCount >= sizeof g_menus / sizeof g_menus[0]) return;
    g_menus[g_menuCount++] = menu;
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i)
        RecordMenu(GetSubMenu(menu, i)); // a loaded menu brings its popups
}
HMENU WINAPI RecordingCreateMenu() {
    HMENU menu = g_realCreateMenu();
    RecordMenu(menu);
    return menu;
}
HMENU WINAPI RecordingCreatePopupMenu() {
    HMENU menu = g_realCreatePopupMenu();
    RecordMenu(menu);
    return menu;
}
HMENU WINAPI RecordingLoadMenuA(HINSTANCE instance, LPCSTR name) {
    HMENU menu = g_realLoadMenuA(instance, name);
    RecordMenu(menu);
    return menu;
}

// Points this program's import of `function` from user32.dll at `replacement`.
template <typename Function>
bool PatchUser32Import(const char* function, Function replacement, Function* original) {
    BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto* descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
    for (; descriptor->Name; ++descriptor) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + descriptor->Name), "user32.dll") != 0)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (lstrcmpA(reinterpret_cast<char*>(byName->Name), function) != 0) continue;
            DWORD protection;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE,
                           &protection);
            *original = reinterpret_cast<Function>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
            return true;
        }
    }
    return false;
}

// Windows of the flat popup menus, shown or not, that belong to `thread`.
int MenuWindowsOf(DWORD thread, bool visibleOnly) {
    struct Count {
        bool visibleOnly;
        int windows;
    } count = {visibleOnly, 0};
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM param) -> BOOL {
            Count* c = reinterpret_cast<Count*>(param);
            if (qtest::ClassName(window) == "fpmMenuClass" &&
                (!c->visibleOnly || IsWindowVisible(window)))
                ++c->windows;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count.windows;
}

struct PressOutcome {
    int result;
    bool menuShown;
    size_t allocations; // counted on the pressing thread while armed
    bool endedByItself;
    std::string stuckState; // what a press that had to be ended looked like
};

struct AllocatorDisarmer {
    size_t* counted;
    ~AllocatorDisarmer() { *counted = failalloc::Disarm(); }
};

class HostPress : public ::testing::Test {
  protected:
    void SetUp() override {
        ThePlugin().Attach(GetModuleHandleA(nullptr));
        qtest::ReleaseAllButtons();
        qtest::DeleteProductKey(); // names beyond the code page included
        // Two items with icons, one in a submenu, and a separator: every
        // kind of thing a press builds.
        qtest::SetStringValue(kSettings, "Alpha", std::string(kIconFile) + ",,,,0,0,1,0");
        qtest::SetStringValue(std::string(kSettings) + "\\Tools", "", ",,,,,,2,1");
        qtest::SetStringValue(std::string(kSettings) + "\\Tools", "Beta",
                              std::string(kIconFile) + ",a.txt,C:\\,,0,0,1,0");
        static bool patched = false;
        if (!patched) {
            patched = PatchUser32Import("CreateMenu", &RecordingCreateMenu, &g_realCreateMenu) &&
                      PatchUser32Import("CreatePopupMenu", &RecordingCreatePopupMenu,
                                        &g_realCreatePopupMenu) &&
                      PatchUser32Import("LoadMenuA", &RecordingLoadMenuA, &g_realLoadMenuA);
        }
        ASSERT_TRUE(patched) << "the menu functions could not be watched";
    }
    void TearDown() override {
        qtest::ReleaseAllButtons();
        qtest::DeleteProductKey();
    }

    // Presses with the `failAt`-th allocation failing (0: none) while a
    // second thread dismisses the menu, by a click outside, whenever it shows.
    PressOutcome Press(size_t failAt) {
        HWND host = m_host.Handle();
        PressOutcome outcome = {0, false, 0, true, ""};
        const DWORD pressingThread = GetCurrentThreadId();
        RECT hostRect = {};
        GetWindowRect(host, &hostRect);
        std::atomic<bool> shown(false);
        const qtest::ModalOutcome run = qtest::DriveModal(
            [&] {
                g_menuCount = 0;
                AllocatorDisarmer disarmer = {&outcome.allocations};
                failalloc::Arm(failAt);
                return WBPress(host, 100, 100, 0);
            },
            [&] {
                const DWORD start = GetTickCount();
                DWORD clickedAt = 0;
                while (!qtest::ModalRunReturned()) {
                    if (MenuWindowsOf(pressingThread, true) > 0) {
                        shown = true;
                        // Outside every popup, on the host's own window: a
                        // click on the desktop could make it the foreground
                        // window after this press, and the next press's menu
                        // would then never see a click outside. One click, and
                        // another only if the menu is still open long after
                        // it: a second click on its way while the menu closes
                        // would reach the next press's menu and close it unseen.
                        if (!clickedAt || GetTickCount() - clickedAt > 3000) {
                            qtest::ClickAt(hostRect.right - 5, hostRect.bottom - 5);
                            clickedAt = GetTickCount();
                        }
                    }
                    // A message box would stop the press too; nothing here expects one.
                    for (HWND box : qtest::OwnWindows("#32770"))
                        if (GetWindowThreadProcessId(box, nullptr) == pressingThread)
                            PostMessageA(box, WM_COMMAND, IDOK, 0);
                    if (GetTickCount() - start > qtest::kWatchdogMs) {
                        // Stuck: say in what state; the failure ends it.
                        outcome.stuckState =
                            "menu windows " + std::to_string(MenuWindowsOf(pressingThread, false)) +
                            " (shown " + std::to_string(MenuWindowsOf(pressingThread, true)) +
                            "), foreground thread " +
                            std::to_string(
                                GetWindowThreadProcessId(GetForegroundWindow(), nullptr)) +
                            ", pressing thread " + std::to_string(pressingThread);
                        ADD_FAILURE() << "the press did not end: " << outcome.stuckState;
                        return;
                    }
                    Sleep(30);
                }
            },
            "a press with allocation " + std::to_string(failAt) + " failing");
        outcome.result = run.result;
        outcome.menuShown = shown;
        outcome.endedByItself = !run.rescued;
        return outcome;
    }

    int MenusAlive() const {
        int alive = 0;
        for (size_t i = 0; i < g_menuCount; ++i)
            if (IsMenu(g_menus[i])) ++alive;
        return alive;
    }

    qtest::HostWindow m_host;
};

TEST_F(HostPress, EveryFailedAllocationEndsThePressCleanly) {
    // A first press makes whatever the system keeps for later presses.
    PressOutcome warmUp = Press(0);
    ASSERT_TRUE(warmUp.menuShown) << "the launcher menu did not show";
    ASSERT_EQ(1, warmUp.result);
    ASSERT_GT(warmUp.allocations, 0u);
    ASSERT_EQ(0, MenusAlive()) << "a normal press left menus behind";
    // A press makes and releases its own bitmaps, DCs and keys; after the
    // warm-up the counts are exactly as before each press (no tolerance:
    // what the system caches lazily was made by the warm-up).
    const int gdiBefore = qtest::LiveGdiObjects();
    const int keysBefore = qtest::OpenKeyHandles();

    // Later presses may allocate less than the first (they use the icons it
    // kept): the sweep has to go past the last allocation of a normal press.
    size_t normalAllocations = warmUp.allocations;
    size_t failAt = 1;
    for (; failAt <= 5000; ++failAt) {
        SCOPED_TRACE("allocation " + std::to_string(failAt) + " failed");
        PressOutcome failed = Press(failAt);
        if (!failed.endedByItself) {
            MSG quit;
            PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        }
        ASSERT_TRUE(failed.endedByItself)
            << "the press had to be ended from outside: " << failed.stuckState;
        if (failed.allocations < failAt) {
            // Past the last allocation of a press: this one ran normally.
            EXPECT_EQ(1, failed.result);
            EXPECT_TRUE(failed.menuShown);
            break;
        }
        EXPECT_EQ(0, failed.result) << "a failed press reports failure";
        EXPECT_EQ(0, MenuWindowsOf(GetCurrentThreadId(), false)) << "a menu window was left";
        EXPECT_EQ(0, MenusAlive()) << "a native menu of the press was left";
        EXPECT_EQ(gdiBefore, qtest::LiveGdiObjects()) << "GDI objects of the press were left";
        EXPECT_EQ(keysBefore, qtest::OpenKeyHandles()) << "registry keys were left open";

        PressOutcome next = Press(0);
        ASSERT_TRUE(next.endedByItself) << "the next press had to be ended: " << next.stuckState;
        EXPECT_TRUE(next.menuShown) << "the next press showed no menu";
        EXPECT_EQ(1, next.result);
        normalAllocations = next.allocations;
        if (HasFailure()) break;
    }
    EXPECT_GT(failAt, normalAllocations) << "the sweep ended before the last allocation";
}

TEST_F(HostPress, TextBeyondTheCodePageSurvivesPresses) {
    using widetest::Record;
    // As another program stores them: a path in characters the code page
    // cannot hold, without a position; look-alikes the ANSI API would turn
    // into l and o; names the code page cannot hold.
    widetest::SetRecord(L"", L"Cjk", L"C:\\rel\\text.txt\u4E2D\u6587,,C:\\windows,");
    widetest::SetRecord(L"", L"Look", L"C:\\\u0141\u00F3d\u017A\\\u0151.exe,,,,0,0,5,0");
    widetest::SetRecord(L"", L"\u4E2D\u6587", L"C:\\named.exe,,,,0,0,,0");
    widetest::SetRecord(L"\u83DC\u5355", L"", L",,,C:\\\u56FE\u6807.ico,0,0,,0");
    const widetest::Snapshot before = widetest::Take();

    PressOutcome first = Press(0);
    ASSERT_TRUE(first.endedByItself);
    EXPECT_TRUE(first.menuShown);
    const widetest::Snapshot afterOne = widetest::Take();
    EXPECT_EQ(widetest::Entries(before), widetest::Entries(afterOne))
        << "values or keys appeared or went";
    const std::wstring cjk = Record(L"", L"Cjk");
    EXPECT_GT(widetest::PositionOf(cjk), 0);
    EXPECT_EQ(widetest::WithPosition(L"C:\\rel\\text.txt\u4E2D\u6587,,C:\\windows,,0,0,0,0",
                                     widetest::PositionOf(cjk)),
              cjk);
    EXPECT_EQ(before.at(L"|Look"), afterOne.at(L"|Look")) << "a complete record was rewritten";
    EXPECT_GT(widetest::PositionOf(Record(L"", L"\u4E2D\u6587")), 0);
    const std::wstring submenu = Record(L"\u83DC\u5355", L"");
    EXPECT_EQ(
        widetest::WithPosition(L",,,C:\\\u56FE\u6807.ico,0,0,0,0", widetest::PositionOf(submenu)),
        submenu);

    // Every record has its position now: the next press writes nothing.
    ASSERT_TRUE(Press(0).endedByItself);
    EXPECT_EQ(afterOne, widetest::Take());
}

} // namespace
