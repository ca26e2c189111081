// How long the launcher menu takes to appear. For stored menus of 10, 100 and
// 1,000 items (without icons, all with one icon, and with many different
// icons from real files) and for a tree ten levels deep it measures: the
// whole press (WBPress of Quoril.dll, from the call to the root popup on
// screen), NormalizePositions alone, BuildRootMenu from the registry, and
// ShowLauncherMenu to the popup on screen. Run by scripts/bench.sh; prints
// one line per case.
#include <windows.h>
#include <stdio.h>
#include <string>
#include <vector>
#include "menubuild/flat_popup_build.h"
#include "menubuild/native_menu.h"
#include "plugin/module.h"
#include "resources/resource_ids.h"
#include "store/registry_layout.h"
#include "store/store_edits.h"

namespace {
LARGE_INTEGER g_frequency;
typedef int(WINAPI* PressFunction)(HWND, int, int, DWORD);

double Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * t.QuadPart / g_frequency.QuadPart;
}

void DeleteTree(HKEY parent, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    char child[512];
    while (RegEnumKeyA(key, 0, child, sizeof child) == ERROR_SUCCESS)
        DeleteTree(key, child);
    RegCloseKey(key);
    RegDeleteKeyA(parent, name);
}

enum Icons { kNoIcons, kOneIcon, kManyIcons };
const char* IconsName(Icons icons) {
    return icons == kNoIcons ? "no icons" : icons == kOneIcon ? "one icon" : "many icons";
}

// The target and icon fields of item i: one missing program for all (no icon;
// a bare name, which the shell looks for along the search path), notepad
// for every item, or one of 60 different icons of the prefix's programs and
// shell32.dll.
std::string IconFields(Icons icons, int i) {
    static const char* const programs[] = {"C:\\windows\\notepad.exe",
                                           "C:\\windows\\regedit.exe",
                                           "C:\\windows\\explorer.exe",
                                           "C:\\windows\\system32\\winecfg.exe",
                                           "C:\\windows\\system32\\cmd.exe",
                                           "C:\\windows\\system32\\taskmgr.exe",
                                           "C:\\windows\\system32\\control.exe",
                                           "C:\\windows\\system32\\msiexec.exe",
                                           "C:\\windows\\system32\\wineconsole.exe",
                                           "C:\\windows\\system32\\uninstaller.exe"};
    char text[512];
    switch (icons) {
    case kNoIcons:
        snprintf(text, sizeof text, "nothing.exe,,,,0");
        break;
    case kOneIcon:
        snprintf(text, sizeof text, "%s,,,,0", programs[0]);
        break;
    case kManyIcons:
        if (i % 6 == 0)
            snprintf(text, sizeof text, "%s,,,,0", programs[(i / 6) % 10]);
        else
            snprintf(text, sizeof text, "%s,,,C:\\windows\\system32\\shell32.dll,%d",
                     programs[i % 10], i % 50);
        break;
    }
    return text;
}

void SetRecord(HKEY key, const char* name, const std::string& record) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(record.data()),
                   static_cast<DWORD>(record.size()));
}

// A flat menu of `count` items, stored in reverse order of their positions.
void SeedFlat(int count, Icons icons) {
    DeleteTree(HKEY_CURRENT_USER, "Software\\Quoril");
    HKEY key = OpenSettingsKey();
    for (int i = 1; i <= count; ++i) {
        char name[32];
        snprintf(name, sizeof name, "Item %04d", i);
        SetRecord(key, name, IconFields(icons, i) + ",0," + std::to_string(count + 1 - i) + ",0");
    }
    RegCloseKey(key);
}

// `levels` nested submenus, each holding ten items and the next submenu.
void SeedDeep(int levels, Icons icons) {
    DeleteTree(HKEY_CURRENT_USER, "Software\\Quoril");
    HKEY key = OpenSettingsKey();
    for (int level = 0; level < levels; ++level) {
        for (int i = 1; i <= 10; ++i) {
            char name[32];
            snprintf(name, sizeof name, "Item %d.%d", level, i);
            SetRecord(key, name,
                      IconFields(icons, level * 10 + i) + ",0," + std::to_string(i) + ",0");
        }
        if (level + 1 == levels) break;
        char name[32];
        snprintf(name, sizeof name, "Level %d", level + 1);
        HKEY sub;
        RegCreateKeyExA(key, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr);
        SetRecord(sub, nullptr, ",,,C:\\windows\\system32\\shell32.dll,3,,11,0");
        RegCloseKey(key);
        key = sub;
    }
    RegCloseKey(key);
}

struct Watch {
    double shown = 0;
};

// Waits for the root popup, notes the time, then closes the menu with a
// click outside it.
DWORD WINAPI WatchForPopup(void* parameter) {
    Watch* watch = static_cast<Watch*>(parameter);
    for (;;) {
        HWND popup = FindWindowA("fpmMenuClass", nullptr);
        if (popup && IsWindowVisible(popup)) {
            // Shown means painted: wait until the popup has no paint pending.
            SendMessageA(popup, WM_NULL, 0, 0);
            watch->shown = Now();
            PostMessageA(popup, WM_LBUTTONDOWN, 0, MAKELPARAM(0, 0));
            break;
        }
        Sleep(0);
    }
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

struct Figure {
    double best = 1e18, total = 0;
    int runs = 0;
    void Add(double ms) {
        best = ms < best ? ms : best;
        total += ms;
        ++runs;
    }
    double Mean() const { return runs ? total / runs : 0; }
};

// Runs `body` (which shows the menu) with a watcher that closes the popup;
// returns the time from `body`'s start to the popup on screen.
template <typename Body> double TimeToShown(Body body) {
    Watch watch;
    HANDLE thread = CreateThread(nullptr, 0, WatchForPopup, &watch, 0, nullptr);
    double start = Now();
    body();
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return watch.shown - start;
}

void Measure(HWND host, PressFunction press, const char* label, int repeats) {
    Figure whole, normalize, build, show;
    HMENU resource = LoadMenuA(ModuleInstance(), MAKEINTRESOURCEA(IDR_CONTEXT_MENU));
    for (int r = 0; r < repeats; ++r) {
        if (press) whole.Add(TimeToShown([&] { press(host, 10, 10, 0); }));

        double t = Now();
        NormalizePositions(nullptr);
        normalize.Add(Now() - t);

        t = Now();
        HMENU root = CreatePopupMenu();
        BuildRootMenu(host, root);
        build.Add(Now() - t);
        show.Add(TimeToShown([&] {
            ShowLauncherMenu(ModuleInstance(), root, 10, 10, host, GetSubMenu(resource, 0), nullptr,
                             nullptr);
        }));
        DestroyMenuTree(root);
        DestroyMenu(root);
    }
    DestroyMenu(resource);
    printf("%-28s WBPress to shown %7.1f ms | NormalizePositions %7.1f ms | BuildRootMenu "
           "%7.1f ms | ShowLauncherMenu to shown %6.1f ms   (best of %d; means %.1f / %.1f / "
           "%.1f / %.1f)\n",
           label, whole.best, normalize.best, build.best, show.best, repeats, whole.Mean(),
           normalize.Mean(), build.Mean(), show.Mean());
    fflush(stdout);
}

PressFunction LoadPress() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    while (n > 0 && path[n - 1] != '\\')
        --n;
    std::string dir(path, n);
    LoadLibraryA((dir + "wblind.dll").c_str());
    HMODULE plugin = LoadLibraryA((dir + "Quoril.dll").c_str());
    return plugin ? reinterpret_cast<PressFunction>(GetProcAddress(plugin, "WBPress")) : nullptr;
}
} // namespace

int main(int argc, char** argv) {
    QueryPerformanceFrequency(&g_frequency);
    SetModuleInstance(GetModuleHandleA(nullptr));
    PressFunction press = LoadPress();
    if (!press) printf("Quoril.dll not found beside the benchmark: no WBPress figures\n");
    HWND host = MakeHostWindow();
    for (Icons icons : {kNoIcons, kOneIcon, kManyIcons}) {
        for (int size : {10, 100, 1000}) {
            SeedFlat(size, icons);
            char label[64];
            snprintf(label, sizeof label, "%4d items, %s", size, IconsName(icons));
            Measure(host, press, label, size >= 1000 ? 3 : 5);
        }
    }
    SeedDeep(10, kManyIcons);
    Measure(host, press, "10 levels x 10, many icons", 5);
    DeleteTree(HKEY_CURRENT_USER, "Software\\Quoril");
    DestroyWindow(host);
    return 0;
}
