// The creation and first paint of the root popup, seen through a CBT hook and
// a subclass of the new window: no polling thread, so the figures do not
// depend on how often something looks.
#include "bench/bench_timeline.h"
#include <string.h>

namespace {
LARGE_INTEGER g_frequency;
HHOOK g_hook = nullptr;
HWND g_window = nullptr;
WNDPROC g_original = nullptr;
PopupTimeline g_timeline;

LRESULT CALLBACK WatchedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT || g_timeline.paintEnd > 0)
        return CallWindowProcA(g_original, window, message, wParam, lParam);
    g_timeline.paintStart = NowMs();
    LRESULT result = CallWindowProcA(g_original, window, message, wParam, lParam);
    g_timeline.paintEnd = NowMs();
    // Client point (0, 0) lies on the frame, which counts as outside.
    PostMessageA(window, WM_LBUTTONDOWN, 0, MAKELPARAM(0, 0));
    return result;
}

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && !g_window) {
        const CBT_CREATEWNDA* create = reinterpret_cast<const CBT_CREATEWNDA*>(lParam);
        const char* name = create->lpcs->lpszClass;
        if (!IS_INTRESOURCE(name) && strcmp(name, "fpmMenuClass") == 0) {
            g_timeline.created = NowMs();
            g_window = reinterpret_cast<HWND>(wParam);
            g_original = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(g_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchedProc)));
        }
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}
} // namespace

double NowMs() {
    if (!g_frequency.QuadPart) QueryPerformanceFrequency(&g_frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(g_frequency.QuadPart);
}

PopupWatch::PopupWatch() {
    g_timeline = PopupTimeline();
    g_window = nullptr;
    g_original = nullptr;
    g_hook = SetWindowsHookExA(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
}

PopupWatch::~PopupWatch() {
    if (g_hook) UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
}

const PopupTimeline& PopupWatch::Timeline() const {
    return g_timeline;
}
