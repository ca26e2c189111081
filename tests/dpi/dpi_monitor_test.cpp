// Which DPI a menu takes: the monitor's where the system gives this thread's
// windows per-monitor DPI, else the system's.
#include <gtest/gtest.h>
#include <windows.h>
#include "flatmenu/menu_dpi.h"
#include "tests/dpi/dpi_test_support.h"

namespace {
// Stands for the system DPI: no monitor reports it.
const int kSystemDpi = 1234;
const HANDLE kPerMonitorAware =
    reinterpret_cast<HANDLE>(-3);                     // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE
const HANDLE kUnaware = reinterpret_cast<HANDLE>(-1); // DPI_AWARENESS_CONTEXT_UNAWARE

typedef HANDLE(WINAPI* SetContextFn)(HANDLE);
typedef HRESULT(WINAPI* MonitorDpiFn)(HMONITOR, int, UINT*, UINT*);

SetContextFn SetThreadContext() {
    return reinterpret_cast<SetContextFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("user32.dll"), "SetThreadDpiAwarenessContext")));
}

// The thread's awareness while it lives, put back after.
class ThreadAwareness {
  public:
    explicit ThreadAwareness(HANDLE context)
        : m_set(SetThreadContext()), m_previous(m_set ? m_set(context) : nullptr) {}
    ~ThreadAwareness() {
        if (m_previous) m_set(m_previous);
    }
    bool Taken() const { return m_previous != nullptr; }

  private:
    SetContextFn m_set;
    HANDLE m_previous;
};
} // namespace

TEST(DpiMonitor, AThreadWithoutPerMonitorDpiTakesTheSystemDpi) {
    ThreadAwareness unaware(kUnaware);
    if (!unaware.Taken()) GTEST_SKIP() << "the system has no DPI awareness per thread";
    EXPECT_EQ(kSystemDpi, MenuDpiAt(POINT{10, 10}, kSystemDpi));
}

TEST(DpiMonitor, APerMonitorAwareThreadTakesTheDpiOfTheMonitorTheMenuOpensOn) {
    const MonitorDpiFn monitorDpi = reinterpret_cast<MonitorDpiFn>(
        reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("shcore.dll"), "GetDpiForMonitor")));
    ThreadAwareness aware(kPerMonitorAware);
    if (!aware.Taken() || !monitorDpi) GTEST_SKIP() << "the system has no per-monitor DPI";
    const POINT point = {10, 10};
    UINT x = 0, y = 0;
    ASSERT_EQ(S_OK, monitorDpi(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), 0, &x, &y));
    EXPECT_EQ(static_cast<int>(y), MenuDpiAt(point, kSystemDpi));
    const RECT workArea = {0, 0, 100, 100};
    EXPECT_EQ(static_cast<int>(y), MenuDpiOn(workArea, kSystemDpi));
}
