#include "flatmenu/menu_dpi.h"

namespace {
// Per-monitor DPI awareness, as GetAwarenessFromDpiAwarenessContext reports it.
const int kPerMonitorAware = 2;
const int kEffectiveDpi = 0; // MDT_EFFECTIVE_DPI

typedef HANDLE(WINAPI* ThreadContextFn)();
typedef int(WINAPI* AwarenessFn)(HANDLE);
typedef HRESULT(WINAPI* MonitorDpiFn)(HMONITOR, int, UINT*, UINT*);

template <typename Fn> Fn Lookup(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                  : nullptr;
}

bool ThreadIsPerMonitorAware() {
    static const HMODULE user32 = GetModuleHandleA("user32.dll");
    static const ThreadContextFn context =
        Lookup<ThreadContextFn>(user32, "GetThreadDpiAwarenessContext");
    static const AwarenessFn awareness =
        Lookup<AwarenessFn>(user32, "GetAwarenessFromDpiAwarenessContext");
    return context && awareness && awareness(context()) == kPerMonitorAware;
}

// Loaded only once a per-monitor aware thread asks, and kept: the function
// is asked for on every menu that opens.
MonitorDpiFn MonitorDpi() {
    static const MonitorDpiFn monitorDpi =
        Lookup<MonitorDpiFn>(LoadLibraryA("shcore.dll"), "GetDpiForMonitor");
    return monitorDpi;
}
} // namespace

int MenuDpiOn(const RECT& area, int systemDpi) {
    if (!ThreadIsPerMonitorAware()) return systemDpi;
    const MonitorDpiFn monitorDpi = MonitorDpi();
    HMONITOR monitor = MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST);
    UINT x = 0, y = 0;
    if (!monitorDpi || !monitor || FAILED(monitorDpi(monitor, kEffectiveDpi, &x, &y)) || y == 0)
        return systemDpi;
    return static_cast<int>(y);
}

int MenuDpiAt(POINT point, int systemDpi) {
    const RECT pixel = {point.x, point.y, point.x + 1, point.y + 1};
    return MenuDpiOn(pixel, systemDpi);
}
