// A small stand-in for the skinning engine: a window with a caption-style
// button whose face Quoril paints (WBDraw); clicking it calls WBPress with the
// screen point below the button. wblind.dll is loaded before Quoril.dll, as in
// the engine's own process.
//
// Options for scripted runs:
//   --press               press the button once the window is up
//   --open-submenu[=N]    once the menu is up, rest the mouse on its entry N
//                         (0-based, default 2) so that the submenu there opens
//   --ready-file=PATH     create PATH when the menu (and the submenu, if asked
//                         for) is on screen
#include <windows.h>
#include <stdlib.h>
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

// Layout of the launcher popup at 96 DPI: a top margin of 3, then the title
// and entries of 19 pixels each, with a separator of 5 below the title. Each
// measure grows with the display's DPI.
int ScaledToDisplay(int pixelsAt96) {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return MulDiv(pixelsAt96, dpi, 96);
}

struct ScriptedRun {
    bool openSubmenu = false;
    int submenuEntry = 2;
    char readyFile[MAX_PATH] = "";
};
ScriptedRun g_script;

// Visible launcher popups (windows of class "fpmMenuClass") of this process.
int VisiblePopups(HWND* newest) {
    int count = 0;
    *newest = nullptr;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        char name[32];
        DWORD process = 0;
        GetWindowThreadProcessId(w, &process);
        if (process != GetCurrentProcessId() || !IsWindowVisible(w)) continue;
        if (!GetClassNameA(w, name, sizeof name) || lstrcmpA(name, "fpmMenuClass") != 0) continue;
        if (!*newest) *newest = w;
        ++count;
    }
    return count;
}

HWND WaitForPopups(int count, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    HWND newest = nullptr;
    while (VisiblePopups(&newest) < count) {
        if (GetTickCount() - start > timeoutMs) return nullptr;
        Sleep(20);
    }
    return newest;
}

void MovePointer(int x, int y) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    input.mi.dx = (x * 65536 + w / 2) / w;
    input.mi.dy = (y * 65536 + h / 2) / h;
    SendInput(1, &input, sizeof input);
}

// Runs beside the host's own thread, which is inside WBPress while the menu
// is up: moves the pointer as a user would and reports when all is shown.
DWORD WINAPI DriveScriptedRun(void*) {
    HWND root = WaitForPopups(1, 30000);
    if (!root) return 1;
    if (g_script.openSubmenu) {
        RECT r;
        GetWindowRect(root, &r);
        const int entryHeight = ScaledToDisplay(19);
        const int firstEntryTop = ScaledToDisplay(3) + entryHeight + ScaledToDisplay(5);
        int y = r.top + firstEntryTop + g_script.submenuEntry * entryHeight + entryHeight / 2;
        MovePointer(r.left + 30, y - 3);
        Sleep(50);
        MovePointer(r.left + 40, y); // rest on the entry: the submenu opens after its delay
        if (!WaitForPopups(2, 5000)) return 1;
    }
    Sleep(300); // let the popups paint
    if (g_script.readyFile[0]) {
        HANDLE file = CreateFileA(g_script.readyFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    return 0;
}

void ReadOptions(const char* commandLine) {
    if (const char* open = strstr(commandLine, "--open-submenu")) {
        g_script.openSubmenu = true;
        if (open[14] == '=') g_script.submenuEntry = atoi(open + 15);
    }
    if (const char* ready = strstr(commandLine, "--ready-file=")) {
        ready += 13;
        bool quoted = *ready == '"';
        if (quoted) ++ready;
        size_t n = 0;
        while (ready[n] && n + 1 < sizeof g_script.readyFile &&
               (quoted ? ready[n] != '"' : ready[n] != ' '))
            ++n;
        memcpy(g_script.readyFile, ready, n);
        g_script.readyFile[n] = '\0';
    }
}

void LoadModules() {
    char dir[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, dir, MAX_PATH);
    while (n > 0 && dir[n - 1] != '\\')
        --n;
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
    ReadOptions(commandLine);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostWndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    wc.lpszClassName = "QuorilHost";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, "QuorilHost", "Quoril host", WS_OVERLAPPEDWINDOW, 40, 40, 420,
                                  300, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, show ? show : SW_SHOWNORMAL);
    UpdateWindow(window);
    SetForegroundWindow(window);
    if (g_script.openSubmenu || g_script.readyFile[0]) {
        HANDLE thread = CreateThread(nullptr, 0, DriveScriptedRun, nullptr, 0, nullptr);
        if (thread) CloseHandle(thread);
    }
    if (strstr(commandLine, "--press")) PostMessageA(window, WM_USER + 100, 0, 0);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
