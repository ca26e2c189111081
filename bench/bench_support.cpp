// What the benchmarks share: stored menus to measure, a host window, the
// plug-in's press, and waiting for the store to settle.
#include "bench/bench_support.h"
#include <stdio.h>
#include <algorithm>
#include "menubuild/menu_cache.h"
#include "store/registry_layout.h"

void DeleteTree(HKEY parent, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    char child[512];
    while (RegEnumKeyA(key, 0, child, sizeof child) == ERROR_SUCCESS)
        DeleteTree(key, child);
    RegCloseKey(key);
    RegDeleteKeyA(parent, name);
}

const char* IconsName(Icons icons) {
    return icons == kNoIcons ? "no icons" : icons == kOneIcon ? "one icon" : "many icons";
}

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

void SeedFlat(int count, Icons icons) {
    DeleteTree(HKEY_CURRENT_USER, "Software\\Quoril");
    HKEY key = OpenSettingsKey().Release();
    for (int i = 1; i <= count; ++i) {
        char name[32];
        snprintf(name, sizeof name, "Item %04d", i);
        SetRecord(key, name, IconFields(icons, i) + ",0," + std::to_string(count + 1 - i) + ",0");
    }
    RegCloseKey(key);
}

void SeedDeep(int levels, Icons icons) {
    DeleteTree(HKEY_CURRENT_USER, "Software\\Quoril");
    HKEY key = OpenSettingsKey().Release();
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

static LRESULT CALLBACK HostProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
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

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    if (n == 0) return 0;
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
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

static ULONGLONG Ticks(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The last time any key of the tree beneath `key` was written.
static ULONGLONG NewestWrite(HKEY key) {
    FILETIME written = {};
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr, &written);
    ULONGLONG newest = Ticks(written);
    char child[512];
    for (DWORD i = 0; RegEnumKeyA(key, i, child, sizeof child) == ERROR_SUCCESS; ++i) {
        HKEY sub;
        if (RegOpenKeyExA(key, child, 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
        newest = std::max(newest, NewestWrite(sub));
        RegCloseKey(sub);
    }
    return newest;
}

void WaitUntilTheStoreHasSettled() {
    OwnedKey key = OpenSettingsKey();
    const ULONGLONG settled =
        NewestWrite(key.Get()) + KeptMenu::kDefaultSettleTime + 5000000ULL; // and 0.5 s
    for (;;) {
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        if (Ticks(now) >= settled) return;
        Sleep(50);
    }
}

void SeedGroups(int groups, int perGroup, Icons icons) {
    DeleteTree(HKEY_CURRENT_USER, "Software\\Quoril");
    HKEY key = OpenSettingsKey().Release();
    int item = 0;
    for (int i = 1; i <= 10; ++i) {
        char name[32];
        snprintf(name, sizeof name, "Root item %02d", i);
        SetRecord(key, name, IconFields(icons, ++item) + ",0," + std::to_string(i) + ",0");
    }
    for (int g = 1; g <= groups; ++g) {
        char name[32];
        snprintf(name, sizeof name, "Group %02d", g);
        HKEY sub;
        RegCreateKeyExA(key, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr);
        SetRecord(sub, nullptr,
                  ",,,C:\\windows\\system32\\shell32.dll,3,," + std::to_string(10 + g) + ",0");
        for (int i = 1; i <= perGroup; ++i) {
            snprintf(name, sizeof name, "Item %04d", (g - 1) * perGroup + i);
            SetRecord(sub, name, IconFields(icons, ++item) + ",0," + std::to_string(i) + ",0");
        }
        RegCloseKey(sub);
    }
    RegCloseKey(key);
}
