// Checks the real 32-bit Quoril.dll through its exported entry points only,
// as the engine's process would: wblind.dll first, then the plug-in. Prints
// one line per check and a closing "N passed, N failed" line.
#include <windows.h>
#include <stdio.h>
#include <string.h>

namespace {
typedef int(WINAPI* DrawFn)(DWORD, HDC, const RECT*, DWORD, DWORD);
typedef int(WINAPI* PressFn)(HWND, int, int, DWORD);
typedef int(WINAPI* QueryFn)(DWORD);
typedef int(WINAPI* ReleaseFn)(DWORD, DWORD, DWORD, DWORD);

int g_passed = 0, g_failed = 0;

void Check(bool ok, const char* what) {
    printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    fflush(stdout);
    (ok ? g_passed : g_failed)++;
}

const char kSettings[] = "Software\\Quoril\\RoduzuRodidiVo\\Settings";

void SetRecord(const char* subkey, const char* name, const char* record) {
    char path[256];
    snprintf(path, sizeof path, "%s%s%s", kSettings, subkey[0] ? "\\" : "", subkey);
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name[0] ? name : nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(record),
                   static_cast<DWORD>(strlen(record)));
    RegCloseKey(key);
}

bool ReadRecord(const char* name, char* out, DWORD size) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettings, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    memset(out, 0, size);
    LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(out), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && type == REG_SZ;
}

// A visible menu window of this program; those of other processes on the
// same display are never its own.
HWND OwnVisibleMenu() {
    for (HWND w = FindWindowExA(nullptr, nullptr, "fpmMenuClass", nullptr); w;
         w = FindWindowExA(nullptr, w, "fpmMenuClass", nullptr)) {
        DWORD process = 0;
        GetWindowThreadProcessId(w, &process);
        if (process == GetCurrentProcessId() && IsWindowVisible(w)) return w;
    }
    return nullptr;
}

// Closes the launcher menu with a click outside it as soon as it shows.
DWORD WINAPI CloseMenuWhenShown(void* shownFlag) {
    for (int i = 0; i < 6000; ++i) {
        if (HWND popup = OwnVisibleMenu()) {
            *static_cast<volatile bool*>(shownFlag) = true;
            PostMessageA(popup, WM_LBUTTONDOWN, 0, MAKELPARAM(0, 0));
            return 0;
        }
        Sleep(10);
    }
    return 0;
}

HWND MakeHostWindow() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "Smoke32Host";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(0, wc.lpszClassName, "Smoke host", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                             100, 100, 300, 200, nullptr, nullptr, wc.hInstance, nullptr);
    SetForegroundWindow(w);
    return w;
}
} // namespace

int main() {
    Check(sizeof(void*) == 4, "running as a 32-bit process");
    Check(LoadLibraryA("wblind.dll") != nullptr, "host module wblind.dll loads");
    HMODULE quoril = LoadLibraryA("Quoril.dll");
    Check(quoril != nullptr, "Quoril.dll loads");
    if (!quoril) {
        printf("smoke32: %d passed, %d failed\n", g_passed, g_failed);
        return 1;
    }
    DrawFn draw = reinterpret_cast<DrawFn>(GetProcAddress(quoril, "WBDraw"));
    PressFn press = reinterpret_cast<PressFn>(GetProcAddress(quoril, "WBPress"));
    QueryFn query = reinterpret_cast<QueryFn>(GetProcAddress(quoril, "WBQuery"));
    ReleaseFn release = reinterpret_cast<ReleaseFn>(GetProcAddress(quoril, "WBRelease"));
    Check(draw && press && query && release, "the four undecorated exports are found");
    if (!(draw && press && query && release)) {
        printf("smoke32: %d passed, %d failed\n", g_passed, g_failed);
        return 1;
    }
    Check(query(0) == 0, "WBQuery answers 0");
    Check(release(0, 0, 0, 0) == 1, "WBRelease answers 1");

    // The built-in face stretched into 40 x 16: grey body, blue squares.
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 40, 16);
    HGDIOBJ old = SelectObject(dc, canvas);
    RECT rc = {0, 0, 40, 16};
    Check(draw(0, dc, &rc, 0, 0) == 1, "WBDraw answers 1");
    Check(GetPixel(dc, 4, 2) == RGB(192, 192, 192), "face body is grey at (4, 2)");
    Check(GetPixel(dc, 13, 5) == RGB(0, 0, 255), "a launcher square is blue at (13, 5)");
    SelectObject(dc, old);
    DeleteObject(canvas);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);

    // A press over a stored menu: positions are filled in, the menu shows and
    // closes on a click outside, and the press reports 1.
    SetRecord("", "Editor", "C:\\windows\\notepad.exe");
    SetRecord("Tools", "", ",,,,,,,0");
    SetRecord("Tools", "Calc", "calc.exe,,,,0,0,1,0");
    HWND host = MakeHostWindow();
    volatile bool shown = false;
    HANDLE closer = CreateThread(nullptr, 0, CloseMenuWhenShown, (void*)&shown, 0, nullptr);
    int result = press(host, 120, 120, 0);
    WaitForSingleObject(closer, 70000);
    CloseHandle(closer);
    Check(result == 1, "WBPress answers 1");
    Check(shown, "the launcher menu was shown");
    char record[1060];
    Check(ReadRecord("Editor", record, sizeof record) &&
              strcmp(record, "C:\\windows\\notepad.exe,,,,0,0,2,0") == 0,
          "the press gave the item without a position the next one");
    DestroyWindow(host);

    printf("smoke32: %d passed, %d failed\n", g_passed, g_failed);
    const int status = g_failed == 0 ? 0 : 1;
    // Read by cmake/wine-exit.sh, as every test program's last line.
    printf("quoril-test: main returns %d\n", status);
    fflush(stdout);
    return status;
}
