// A small stand-in for the skinning engine: a window with a caption-style
// button whose face Quoril paints (WBDraw); clicking it calls WBPress with the
// screen point below the button. wblind.dll is loaded before Quoril.dll, as in
// the engine's own process.
#include <windows.h>
#include <string.h>

namespace {
typedef int(WINAPI* DrawFn)(DWORD, HDC, const RECT*, DWORD, DWORD);
typedef int(WINAPI* PressFn)(HWND, int, int, DWORD);

DrawFn g_draw = nullptr;
PressFn g_press = nullptr;
const RECT kButton = {8, 6, 48, 22}; // 40 x 16, like a caption button

void PressButton(HWND window) {
    POINT below = {kButton.left, kButton.bottom};
    ClientToScreen(window, &below);
    if (g_press) g_press(window, below.x, below.y, 0);
}

LRESULT CALLBACK HostWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT caption;
        GetClientRect(window, &caption);
        caption.bottom = 28;
        FillRect(dc, &caption, GetSysColorBrush(COLOR_ACTIVECAPTION));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
        TextOutA(dc, 56, 7, "Quoril host - click the button", 30);
        if (g_draw) g_draw(0, dc, &kButton, 0, 0);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_LBUTTONUP: {
        POINT p = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
        if (PtInRect(&kButton, p)) PressButton(window);
        return 0;
    }
    case WM_USER + 100: // scripted press (--press)
        PressButton(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void LoadModules() {
    char dir[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, dir, MAX_PATH);
    while (n > 0 && dir[n - 1] != '\\') --n;
    dir[n] = '\0';
    char path[MAX_PATH + 32];
    lstrcpyA(path, dir);
    lstrcatA(path, "wblind.dll");
    LoadLibraryA(path);
    lstrcpyA(path, dir);
    lstrcatA(path, "Quoril.dll");
    HMODULE quoril = LoadLibraryA(path);
    if (!quoril) return;
    g_draw = reinterpret_cast<DrawFn>(GetProcAddress(quoril, "WBDraw"));
    g_press = reinterpret_cast<PressFn>(GetProcAddress(quoril, "WBPress"));
}
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
    LoadModules();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostWndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    wc.lpszClassName = "QuorilHost";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, "QuorilHost", "Quoril host", WS_OVERLAPPEDWINDOW, 40, 40,
                                  420, 300, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, show ? show : SW_SHOWNORMAL);
    UpdateWindow(window);
    SetForegroundWindow(window);
    if (strstr(commandLine, "--press")) PostMessageA(window, WM_USER + 100, 0, 0);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
