// How long a keystroke in the launcher's root takes to show its search
// results, for a stored menu of 1,010 items with icons (ten in the root, a
// thousand in ten submenus, every one of them found by "item"): from the
// moment the menu's loop takes the key to the end of the root's next paint.
// The keys are posted to the pressing thread while WBPress runs; each waits
// for the paint of the one before. Run by scripts/bench.sh.
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>
#include "bench/bench_support.h"
#include "bench/bench_timeline.h"

namespace {
// Shared with the hook and the subclassed root, which run on the pressing
// thread.
std::atomic<double> g_keyTaken(0);
std::atomic<double> g_painted(0);
HANDLE g_paintDone = nullptr;

bool IsTimedKey(const MSG& msg) {
    return msg.message == WM_CHAR || (msg.message == WM_KEYDOWN && msg.wParam == VK_BACK);
}

LRESULT CALLBACK KeyTaken(int code, WPARAM removed, LPARAM message) {
    const MSG* msg = reinterpret_cast<const MSG*>(message);
    if (code == HC_ACTION && removed == PM_REMOVE && IsTimedKey(*msg)) g_keyTaken = NowMs();
    return CallNextHookEx(nullptr, code, removed, message);
}

WNDPROC g_menuProc = nullptr;

// The root's window procedure, subclassed: a paint after a timed key ends
// its figure.
LRESULT CALLBACK WatchedRoot(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcA(g_menuProc, window, message, wParam, lParam);
    if (message == WM_PAINT && g_keyTaken > 0) {
        g_painted = NowMs();
        SetEvent(g_paintDone);
    }
    return result;
}

HWND FindRootMenu() {
    for (int tries = 0; tries < 2000; ++tries) {
        HWND window = FindWindowA("fpmMenuClass", nullptr);
        if (window && IsWindowVisible(window)) return window;
        Sleep(5);
    }
    return nullptr;
}

struct Keystroke {
    const char* name;
    UINT message;
    WPARAM key;
};

// One round: "item 05" typed and taken back, one key at a time.
std::vector<Keystroke> Round() {
    std::vector<Keystroke> keys;
    static const char* const typed[] = {"i", "t", "e", "m", " ", "0", "5"};
    for (const char* c : typed)
        keys.push_back({c, WM_CHAR, static_cast<WPARAM>(c[0])});
    for (int i = 0; i < 7; ++i)
        keys.push_back({"Backspace", WM_KEYDOWN, VK_BACK});
    return keys;
}

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    if (values.empty()) return 0;
    return values[static_cast<size_t>(p * (values.size() - 1) + 0.5)];
}
} // namespace

int main() {
    SeedGroups(10, 100, kManyIcons);
    WaitUntilTheStoreHasSettled();
    PressFunction wbPress = LoadPress();
    if (!wbPress) {
        fprintf(stderr, "Quoril.dll not found beside the benchmark\n");
        return 2;
    }
    HWND host = MakeHostWindow();
    Pump();
    g_paintDone = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    const DWORD pressing = GetCurrentThreadId();
    HHOOK taken = SetWindowsHookExA(WH_GETMESSAGE, KeyTaken, nullptr, pressing);

    const int rounds = 10;
    std::vector<double> all, typing, erasing, firstKeys;
    bool failed = false;
    std::thread keys([&] {
        HWND root = FindRootMenu();
        if (!root) {
            failed = true;
            return;
        }
        g_menuProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(root, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchedRoot)));
        for (int round = 0; round < rounds && !failed; ++round) {
            bool first = true;
            for (const Keystroke& k : Round()) {
                g_keyTaken = 0;
                ResetEvent(g_paintDone);
                PostThreadMessageA(pressing, k.message, k.key, 0);
                if (WaitForSingleObject(g_paintDone, 10000) != WAIT_OBJECT_0) {
                    fprintf(stderr, "no paint after a key\n");
                    failed = true;
                    break;
                }
                const double ms = g_painted - g_keyTaken;
                all.push_back(ms);
                (k.message == WM_CHAR ? typing : erasing).push_back(ms);
                if (first) firstKeys.push_back(ms);
                first = false;
            }
        }
        // The first Esc clears a search left running, the second closes.
        PostThreadMessageA(pressing, WM_KEYDOWN, VK_ESCAPE, 0);
        PostThreadMessageA(pressing, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    wbPress(host, 10, 10, 0);
    keys.join();
    UnhookWindowsHookEx(taken);
    if (failed) return 3;

    printf("keystroke to painted root, 1,010 items with icons (10 in the root, 1,000 in 10 "
           "submenus), %d rounds of \"item 05\" typed and erased:\n",
           rounds);
    auto line = [](const char* what, const std::vector<double>& v) {
        printf("  %-28s median %6.1f ms   90th %6.1f ms   max %6.1f ms   (%zu keys)\n", what,
               Median(v), Percentile(v, 0.9), *std::max_element(v.begin(), v.end()), v.size());
    };
    line("every keystroke", all);
    line("a character typed", typing);
    line("Backspace", erasing);
    line("the first character (\"i\")", firstKeys);
    fflush(stdout);
    DeleteTree(HKEY_CURRENT_USER, "Software\\Quoril");
    DestroyWindow(host);
    return 0;
}
