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
#include "bench/bench_support.h"
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
