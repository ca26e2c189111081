// How long the launcher menu takes to appear, and where the time goes. For
// stored menus of 10, 100 and 1,000 items (without icons, all with one icon,
// and with many different icons from real files) and a tree ten levels deep:
// - the whole press through Quoril.dll's WBPress, from the call to the end of
//   the root popup's first paint: the first press after the plug-in is
//   loaded, and the presses that follow on the unchanged menu;
// - the same press composed of its steps, called one by one from the
//   libraries, each step timed: the first such press and those that follow.
// One case per run (`--case N`; `--list` prints how many there are), so that
// each first press is the first of its process. Run by scripts/bench.sh.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>
#include "bench/bench_timeline.h"
#include "common/handle_guards.h"
#include "flatmenu/flat_popup_menu.h"
#include "menubuild/flat_popup_build.h"
#include "menubuild/native_build.h"
#include "menubuild/native_menu.h"
#include "menubuild/press_context.h"
#include "plugin/module.h"
#include "resources/resource_ids.h"
#include "store/registry_layout.h"
#include "store/stored_menu.h"

namespace {
typedef int(WINAPI* PressFunction)(HWND, int, int, DWORD);

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
    HKEY key = OpenSettingsKey().Release();
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

struct Case {
    int size; // items of a flat menu; 0 for the deep tree
    Icons icons;
};
const Case kCases[] = {{10, kNoIcons},     {100, kNoIcons},  {1000, kNoIcons}, {10, kOneIcon},
                       {100, kOneIcon},    {1000, kOneIcon}, {10, kManyIcons}, {100, kManyIcons},
                       {1000, kManyIcons}, {0, kManyIcons}};
const int kCaseCount = sizeof kCases / sizeof kCases[0];

std::string CaseName(const Case& c) {
    char label[64];
    if (c.size)
        snprintf(label, sizeof label, "%d items, %s", c.size, IconsName(c.icons));
    else
        snprintf(label, sizeof label, "10 levels x 10, %s", IconsName(c.icons));
    return label;
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

// Handles whatever the last press left queued (the host's own messages).
void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// The figures of one press: named parts, in order, and their sum.
struct Press {
    std::vector<std::pair<const char*, double>> parts;
    double Total() const {
        double sum = 0;
        for (const auto& p : parts)
            sum += p.second;
        return sum;
    }
};

// Adds the parts of tracking the popup from `trackStart` on.
void AddTrackParts(Press* press, double trackStart, const PopupTimeline& line) {
    if (!line.Complete()) {
        fprintf(stderr, "no popup was painted\n");
        exit(3);
    }
    press->parts.emplace_back("measure and place", line.created - trackStart);
    press->parts.emplace_back("window", line.paintStart - line.created);
    press->parts.emplace_back("first paint", line.paintEnd - line.paintStart);
}

// ShowLauncherMenu, step by step: the context popup, the launcher's popups
// with their strips, and the tracking of the root popup. The press's popups
// are released with its context, as in ShowLauncherMenu.
void ShowByParts(Press* press, PressContext& context, HMENU root, HMENU contextMenu) {
    double t = NowMs();
    PopupNode& contextNode = context.popups.Context();
    contextNode.nativeMenu = contextMenu;
    BuildPopupMenu(context, contextNode, nullptr);
    double after = NowMs();
    press->parts.emplace_back("context popup", after - t);

    t = after;
    PopupNode& first = context.popups.Add(root, QUORIL_LAUNCHER_TITLE);
    BuildPopupMenu(context, first, &contextNode);
    after = NowMs();
    press->parts.emplace_back("popups and strips", after - t);
    PopupWatch watch;
    t = NowMs();
    first.popup.Track(10, 10, nullptr, true, false, nullptr);
    AddTrackParts(press, t, watch.Timeline());
}

Press PressThroughExport(PressFunction wbPress, HWND host) {
    Press press;
    PopupWatch watch;
    double start = NowMs();
    wbPress(host, 10, 10, 0);
    const PopupTimeline& line = watch.Timeline();
    if (!line.Complete()) {
        fprintf(stderr, "WBPress painted no popup\n");
        exit(3);
    }
    press.parts.emplace_back("to the window", line.created - start);
    press.parts.emplace_back("window", line.paintStart - line.created);
    press.parts.emplace_back("first paint", line.paintEnd - line.paintStart);
    Pump();
    return press;
}

// The press of plugin/press.cpp, step by step. Reading the store is timed on
// its own by a plain read just before; normalizing is what the press's read
// takes beyond it (nothing, once every record has its position). Once the
// menu has settled, the press's read gives the tree kept from the last one,
// and "read the store" is that read.
Press PressByParts(HWND host, HMENU contextMenu) {
    Press press;
    PluginModule& plugin = ThePlugin();
    PressContext context(plugin.Instance(), host, plugin.Cache());
    double t = NowMs();
    {
        StoredKey plain;
        OwnedKey key = OpenSettingsKey();
        ReadStoredTree(key.Get(), false, &plain);
    }
    const double plainRead = NowMs() - t;

    t = NowMs();
    StoredKey tree;
    ReadAndNormalizeMenu(context.cache.menu, &tree);
    double after = NowMs();
    press.parts.emplace_back("read the store", std::min(plainRead, after - t));
    press.parts.emplace_back("normalize", std::max(0.0, after - t - plainRead));

    OwnedMenuTree root(CreatePopupMenu());
    {
        // BuildRootMenu, its icon look-up apart from the native tree.
        t = NowMs();
        NativeBuild build(context, host);
        build.LookUpIcons(tree);
        after = NowMs();
        press.parts.emplace_back("icons", after - t);
        t = after;
        FillMenuFromStore(build, root.Get(), tree);
        if (GetMenuItemCount(root.Get()) <= 0)
            InsertLauncherItem(build, root.Get(), QUORIL_PLACEHOLDER_TEXT, PlaceholderMarker);
    }
    after = NowMs();
    press.parts.emplace_back("native tree", after - t);

    ShowByParts(&press, context, root.Get(), contextMenu);
    context.popups.Clear();
    root.Reset();
    Pump();
    return press;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    if (n == 0) return 0;
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void PrintFirst(const char* what, const Press& press) {
    printf("  %-8s first press      %8.1f ms :", what, press.Total());
    for (const auto& p : press.parts)
        printf(" %s %.1f |", p.first, p.second);
    printf("\n");
}

// Medians over the presses after the first, part by part.
void PrintFollowing(const char* what, const std::vector<Press>& presses) {
    std::vector<double> totals;
    for (const Press& p : presses)
        totals.push_back(p.Total());
    printf("  %-8s following, median %8.1f ms (min %.1f, %zu presses) :", what, Median(totals),
           *std::min_element(totals.begin(), totals.end()), presses.size());
    for (size_t i = 0; i < presses[0].parts.size(); ++i) {
        std::vector<double> values;
        for (const Press& p : presses)
            values.push_back(p.parts[i].second);
        printf(" %s %.1f |", presses[0].parts[i].first, Median(values));
    }
    printf("\n");
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

ULONGLONG Ticks(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The last time any key of the tree beneath `key` was written.
ULONGLONG NewestWrite(HKEY key) {
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

// A menu is mostly pressed long after it was last changed, and the plug-in
// keeps what a press read only from keys that have gone unwritten for 2 s:
// waits until the stored menu (seeded, or completed by a first press) is
// that old.
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

void RunCase(const Case& c) {
    if (c.size)
        SeedFlat(c.size, c.icons);
    else
        SeedDeep(10, c.icons);
    WaitUntilTheStoreHasSettled();
    HWND host = MakeHostWindow();
    Pump();
    const int following = (c.size >= 1000) ? 7 : 15;
    printf("%s\n", CaseName(c).c_str());

    if (PressFunction wbPress = LoadPress()) {
        PrintFirst("WBPress", PressThroughExport(wbPress, host));
        WaitUntilTheStoreHasSettled();
        std::vector<Press> presses;
        for (int i = 0; i < following; ++i)
            presses.push_back(PressThroughExport(wbPress, host));
        PrintFollowing("WBPress", presses);
    } else {
        printf("  Quoril.dll not found beside the benchmark: no WBPress figures\n");
    }

    HMENU resource = LoadMenuA(ThePlugin().Instance(), MAKEINTRESOURCEA(IDR_CONTEXT_MENU));
    HMENU contextMenu = GetSubMenu(resource, 0);
    PrintFirst("parts", PressByParts(host, contextMenu));
    WaitUntilTheStoreHasSettled();
    std::vector<Press> presses;
    for (int i = 0; i < following; ++i)
        presses.push_back(PressByParts(host, contextMenu));
    PrintFollowing("parts", presses);
    DestroyMenu(resource);
    fflush(stdout);
    DeleteTree(HKEY_CURRENT_USER, "Software\\Quoril");
    DestroyWindow(host);
}
} // namespace

int main(int argc, char** argv) {
    ThePlugin().Attach(GetModuleHandleA(nullptr));
    if (argc == 2 && strcmp(argv[1], "--list") == 0) {
        printf("%d\n", kCaseCount);
        return 0;
    }
    if (argc == 3 && strcmp(argv[1], "--case") == 0) {
        int index = atoi(argv[2]);
        if (index < 0 || index >= kCaseCount) return 2;
        RunCase(kCases[index]);
        return 0;
    }
    fprintf(stderr, "usage: quoril_bench --list | --case N\n");
    return 2;
}
