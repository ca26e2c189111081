// Measures the time from the call that shows the launcher menu to its root
// popup being on screen, for stored menus of several sizes, with and without
// icons. Run by scripts/bench.sh; prints one line per case.
#include <windows.h>
#include <stdio.h>
#include <string>
#include <vector>
#include "menubuild/flat_popup_build.h"
#include "menubuild/native_menu.h"
#include "plugin/module.h"
#include "resources/resource_ids.h"
#include "store/registry_layout.h"

namespace {
LARGE_INTEGER g_frequency;

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    return 1000.0 * (to.QuadPart - from.QuadPart) / g_frequency.QuadPart;
}

void DeleteTree(HKEY parent, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    char child[512];
    while (RegEnumKeyA(key, 0, child, sizeof child) == ERROR_SUCCESS) DeleteTree(key, child);
    RegCloseKey(key);
    RegDeleteKeyA(parent, name);
}

// A flat menu of `count` items; with icons, every item takes notepad's icon.
void SeedMenu(int count, bool icons) {
    DeleteTree(HKEY_CURRENT_USER, "Software\\Quoril");
    HKEY key = OpenSettingsKey();
    for (int i = 1; i <= count; ++i) {
        char name[32], record[128];
        snprintf(name, sizeof name, "Item %04d", i);
        snprintf(record, sizeof record, "%s,,,,0,0,%d,0",
                 icons ? "C:\\windows\\notepad.exe" : "nothing.exe", count + 1 - i);
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(record),
                       static_cast<DWORD>(strlen(record)));
    }
    RegCloseKey(key);
}

struct Watch {
    LARGE_INTEGER shown = {};
    volatile bool done = false;
};

// Waits for the root popup, notes the time, then closes the menu with a
// click outside it.
DWORD WINAPI WatchForPopup(void* parameter) {
    Watch* watch = static_cast<Watch*>(parameter);
    for (;;) {
        HWND popup = FindWindowA("fpmMenuClass", nullptr);
        if (popup && IsWindowVisible(popup)) {
            QueryPerformanceCounter(&watch->shown);
            PostMessageA(popup, WM_LBUTTONDOWN, 0, MAKELPARAM(0, 0));
            break;
        }
        Sleep(0);
    }
    watch->done = true;
    return 0;
}

LRESULT CALLBACK HostProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(w, m, wp, lp);
}

HWND MakeHostWindow() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "QuorilBenchHost";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(0, wc.lpszClassName, "Bench host", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                             600, 600, 200, 100, nullptr, nullptr, wc.hInstance, nullptr);
    SetForegroundWindow(w);
    return w;
}

// One press without the store's normalisation: build, show, close, release.
void MeasureShow(HWND host, int count, bool icons, int repeats) {
    SeedMenu(count, icons);
    HMENU resource = LoadMenuA(ModuleInstance(), MAKEINTRESOURCEA(IDR_CONTEXT_MENU));
    double best = 1e9, total = 0;
    double buildBest = 1e9;
    for (int r = 0; r < repeats; ++r) {
        Watch watch;
        LARGE_INTEGER start, built;
        QueryPerformanceCounter(&start);
        HMENU root = CreatePopupMenu();
        BuildRootMenu(host, root);
        QueryPerformanceCounter(&built);
        HANDLE thread = CreateThread(nullptr, 0, WatchForPopup, &watch, 0, nullptr);
        LARGE_INTEGER call;
        QueryPerformanceCounter(&call);
        ShowLauncherMenu(ModuleInstance(), root, 10, 10, host, GetSubMenu(resource, 0), nullptr,
                         nullptr);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        DestroyMenuTree(root);
        DestroyMenu(root);
        double shown = Milliseconds(call, watch.shown);
        best = shown < best ? shown : best;
        total += shown;
        double b = Milliseconds(start, built);
        buildBest = b < buildBest ? b : buildBest;
    }
    DestroyMenu(resource);
    printf("menu of %4d items, %-8s build from registry %8.1f ms, call to popup shown %8.1f ms "
           "(best of %d; mean %.1f ms)\n",
           count, icons ? "icons" : "no icons", buildBest, best, repeats, total / repeats);
    fflush(stdout);
}
} // namespace

int main(int argc, char** argv) {
    QueryPerformanceFrequency(&g_frequency);
    SetModuleInstance(GetModuleHandleA(nullptr));
    HWND host = MakeHostWindow();
    const int sizes[] = {10, 100, 1000};
    for (bool icons : {false, true}) {
        for (int size : sizes) MeasureShow(host, size, icons, size >= 1000 ? 3 : 5);
    }
    DeleteTree(HKEY_CURRENT_USER, "Software\\Quoril");
    DestroyWindow(host);
    return 0;
}
