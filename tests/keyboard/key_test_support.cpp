#include "tests/keyboard/key_test_support.h"
#include <gtest/gtest.h>
#include <stdio.h>
#include <atomic>
#include <thread>
#include "tests/support/test_support.h"

namespace keytest {

namespace {
const WORD kMarkerKey = VK_F24; // no menu uses it, and it types no character
// A step that should have ended tracking but did not: after this long the
// menus are closed from outside and the test fails. Far beyond any wait a
// loaded machine causes; it only keeps a fault from hanging the test.
const int kRescueAfterMs = 15000;

std::atomic<long> g_markersTaken(0);
int g_hostKeyMessages = 0;
int g_hostKeyMessagesWhileMenuShown = 0;

LRESULT CALLBACK KeyHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_KEYFIRST && message <= WM_KEYLAST) {
        ++g_hostKeyMessages;
        if (!MenuWindows().empty()) ++g_hostKeyMessagesWhileMenuShown;
    }
    if (message == kQuitRequest) PostQuitMessage(static_cast<int>(wParam));
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK MarkerHook(int code, WPARAM removed, LPARAM lParam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && removed == PM_REMOVE && msg->message == WM_KEYDOWN &&
        msg->wParam == kMarkerKey)
        ++g_markersTaken;
    return CallNextHookEx(nullptr, code, removed, lParam);
}

void SendKey(WORD virtualKey, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, 0));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

// A window as a failure message names it.
std::string Describe(HWND window) {
    if (!window) return "none";
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char text[160];
    snprintf(text, sizeof text, "window %p of class \"%s\"%s", static_cast<void*>(window), name,
             process == GetCurrentProcessId() ? "" : " of another process");
    return text;
}

void PumpAll() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
} // namespace

KeyHost::KeyHost() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = KeyHostProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
        wc.lpszClassName = "QuorilKeyTestHost";
        RegisterClassA(&wc);
        registered = true;
    }
    m_window =
        CreateWindowExA(0, "QuorilKeyTestHost", "Key test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                        300, 300, 200, 120, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(m_window, SW_SHOWNORMAL);
    UpdateWindow(m_window);
    TakeForegroundAndFocus(m_window);
    PumpAll();
}

bool TakeForegroundAndFocus(HWND window) {
    SetForegroundWindow(window);
    SetFocus(window);
    const bool held =
        qtest::PollUntil([&] { return GetForegroundWindow() == window && GetFocus() == window; });
    if (!held)
        ADD_FAILURE() << "the key host needs to be the foreground window and to hold the focus "
                         "(keys typed with SendInput reach only the focus of the foreground "
                         "thread, and only then does the menus' capture see the pointer); the "
                         "foreground window is "
                      << Describe(GetForegroundWindow()) << ", the focus " << Describe(GetFocus());
    return held;
}

KeyHost::~KeyHost() {
    DestroyWindow(m_window);
    PumpAll();
}

int KeyHost::KeyMessages() const {
    return g_hostKeyMessages;
}

int KeyHost::KeyMessagesWhileMenuShown() const {
    return g_hostKeyMessagesWhileMenuShown;
}

void KeyHost::ResetKeyMessages() {
    g_hostKeyMessages = 0;
    g_hostKeyMessagesWhileMenuShown = 0;
}

MarkerWatch::MarkerWatch(DWORD thread)
    : m_hook(SetWindowsHookExA(WH_GETMESSAGE, MarkerHook, nullptr, thread)) {}

MarkerWatch::~MarkerWatch() {
    if (m_hook) UnhookWindowsHookEx(m_hook);
}

void Tap(WORD virtualKey) {
    SendKey(virtualKey, false);
    SendKey(virtualKey, true);
}

void TapWithShift(WORD virtualKey) {
    SendKey(VK_SHIFT, false);
    Tap(virtualKey);
    SendKey(VK_SHIFT, true);
}

void Type(char character) {
    const SHORT key = VkKeyScanA(character);
    if (key & 0x100) {
        TapWithShift(LOBYTE(key));
    } else {
        Tap(LOBYTE(key));
    }
}

bool Settle() {
    const long before = g_markersTaken;
    Tap(kMarkerKey);
    const bool taken = WaitFor([&] { return g_markersTaken > before; }, kRescueAfterMs);
    if (!taken) ADD_FAILURE() << "the menu's thread did not take the keys typed so far";
    return taken;
}

POINT ParkingPoint() {
    POINT p = {GetSystemMetrics(SM_CXSCREEN) - 20, GetSystemMetrics(SM_CYSCREEN) - 20};
    return p;
}

void MovePointer(int x, int y) {
    qtest::PlacePointer(x, y);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    input.mi.dx = (x * 65536 + w / 2) / w;
    input.mi.dy = (y * 65536 + h / 2) / h;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
    WaitFor([&] {
        POINT now;
        GetCursorPos(&now);
        return now.x == x && now.y == y;
    });
}

void LeftClick() {
    qtest::KeepOnlySentPointerInput();
    INPUT click[2] = {};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, click, sizeof click[0]);
}

void ParkPointer() {
    const POINT p = ParkingPoint();
    MovePointer(p.x, p.y);
}

std::vector<WPARAM> TakeQuitMessages() {
    std::vector<WPARAM> quits;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) quits.push_back(msg.wParam);
    }
    return quits;
}

namespace {
BOOL CALLBACK CollectMenu(HWND window, LPARAM found) {
    char name[64] = "";
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
        GetClassNameA(window, name, sizeof name) && lstrcmpA(name, "fpmMenuClass") == 0)
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}
} // namespace

std::vector<HWND> MenuWindows() {
    std::vector<HWND> found;
    EnumWindows(CollectMenu, reinterpret_cast<LPARAM>(&found));
    return found;
}

bool WaitForMenuCount(size_t count, int timeoutMs) {
    return WaitFor([&] { return MenuWindows().size() == count; }, timeoutMs);
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (static_cast<int>(GetTickCount() - start) > timeoutMs) return condition();
        Sleep(5);
    }
}

namespace {
bool BarHasColour(HWND menuWindow, int top, COLORREF colour) {
    RECT client = {};
    GetClientRect(menuWindow, &client);
    const int x = client.right - 14; // right of any text, left of the arrow
    HDC dc = GetDC(menuWindow);
    const bool painted = GetPixel(dc, x, top + 3) == colour && GetPixel(dc, x, top + 15) == colour;
    ReleaseDC(menuWindow, dc);
    return painted;
}
} // namespace

bool PaintedHot(HWND menuWindow, int top) {
    return BarHasColour(menuWindow, top, GetSysColor(COLOR_HIGHLIGHT));
}

bool PaintedPlain(HWND menuWindow, int top) {
    return BarHasColour(menuWindow, top, GetSysColor(COLOR_MENU));
}

bool WaitPaintedHot(HWND menuWindow, int top) {
    return WaitFor([&] { return PaintedHot(menuWindow, top); });
}

bool WaitPaintedPlain(HWND menuWindow, int top) {
    return WaitFor([&] { return PaintedPlain(menuWindow, top); });
}

RECT WindowRect(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return r;
}

HWND ThreadCapture(DWORD threadId) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(threadId, &info) ? info.hwndCapture : nullptr;
}

Outcome RunDriven(KeyHost& host, const std::function<int(int* contextCommand)>& track,
                  const std::function<void()>& steps) {
    Outcome outcome;
    const DWORD thread = GetCurrentThreadId();
    if (!TakeForegroundAndFocus(host.Handle())) return outcome;
    host.ResetKeyMessages();
    std::atomic<bool> returned(false), rescued(false);
    std::thread input([&] {
        steps();
        DWORD start = GetTickCount();
        while (!returned) {
            if (static_cast<int>(GetTickCount() - start) > kRescueAfterMs) {
                rescued = true;
                for (HWND w : MenuWindows())
                    PostMessageA(w, WM_CLOSE, 0, 0);
                PostThreadMessageA(thread, WM_NULL, 0, 0);
                start = GetTickCount() - kRescueAfterMs + 100;
            }
            Sleep(10);
        }
    });
    try {
        outcome.result = track(&outcome.contextCommand);
    } catch (...) {
        outcome.threw = true;
    }
    returned = true;
    outcome.hostKeyMessages = host.KeyMessagesWhileMenuShown();
    input.join();
    outcome.rescued = rescued;
    return outcome;
}

} // namespace keytest
