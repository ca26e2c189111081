#include "tests/support/test_support.h"
// NtCurrentTeb reads through a segment register at a small constant offset,
// which GCC's bounds check takes for an access to an empty array.
#pragma GCC diagnostic ignored "-Warray-bounds"
#include <gtest/gtest.h>
#include <algorithm>
#include <memory>
#include <stdio.h>
#include <string.h>
#include <wchar.h>

namespace {
// A test program's output goes to a file under Wine, where the C runtime
// buffers it: unbuffered, a program that dies still shows how far it got.
const bool g_unbufferedOutput = setvbuf(stdout, nullptr, _IONBF, 0) == 0;
} // namespace

namespace qtest {

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

namespace {
// Static initialisation runs on the thread that goes on to run the tests.
const DWORD g_testThread = GetCurrentThreadId();
} // namespace

bool OnTestThread() {
    return GetCurrentThreadId() == g_testThread;
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    const bool pump = OnTestThread();
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (static_cast<int>(GetTickCount() - start) > timeoutMs) return condition();
        if (pump) PumpMessages();
        Sleep(pump ? 5 : 2);
    }
}

namespace {
const UINT kSidewaysWheel = 0x020E;
HostWindow* g_host = nullptr;
volatile LONG g_hostKeys = 0, g_hostKeysWhileMenu = 0, g_hostWheelsWhileMenu = 0;

LRESULT CALLBACK HostProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m >= WM_KEYFIRST && m <= WM_KEYLAST) {
        InterlockedIncrement(&g_hostKeys);
        if (!MenuWindows().empty()) InterlockedIncrement(&g_hostKeysWhileMenu);
    }
    if ((m == WM_MOUSEWHEEL || m == kSidewaysWheel) && !MenuWindows().empty())
        InterlockedIncrement(&g_hostWheelsWhileMenu);
    if (m == kQuitRequest) PostQuitMessage(static_cast<int>(wp));
    return DefWindowProcA(w, m, wp, lp);
}

// What the UI thread's message hook watches for, and the window through which
// other threads run steps on it.
struct UiProbe {
    DWORD thread = 0;
    int users = 0;
    HHOOK hook = nullptr;
    HWND runner = nullptr;
    volatile LONG markersSent = 0;
    volatile LONG markersTaken = 0;
    volatile UINT_PTR timer = 0;
    volatile LONG timerFired = 0;
    CRITICAL_SECTION watchLock;
    std::function<void(const MSG&)> watch;
    UiProbe() { InitializeCriticalSection(&watchLock); }
};
UiProbe& Probe() {
    static UiProbe probe;
    return probe;
}

const WORD kMarkerKey = VK_F24;
const UINT kRunStep = WM_APP + 0x51;

LRESULT CALLBACK ProbeHook(int code, WPARAM removal, LPARAM lp) {
    UiProbe& probe = Probe();
    MSG* msg = reinterpret_cast<MSG*>(lp);
    if (code == HC_ACTION && removal == PM_REMOVE) {
        if ((msg->message == WM_KEYDOWN || msg->message == WM_KEYUP) && msg->wParam == kMarkerKey) {
            if (msg->message == WM_KEYUP) InterlockedIncrement(&probe.markersTaken);
            msg->message = WM_NULL;
        } else if (msg->message == WM_TIMER && !msg->hwnd && probe.timer &&
                   msg->wParam == probe.timer) {
            KillTimer(nullptr, probe.timer);
            probe.timer = 0;
            InterlockedExchange(&probe.timerFired, 1);
            msg->message = WM_NULL;
        } else {
            EnterCriticalSection(&probe.watchLock);
            if (probe.watch) probe.watch(*msg);
            LeaveCriticalSection(&probe.watchLock);
        }
    }
    return CallNextHookEx(nullptr, code, removal, lp);
}

// A step handed to the UI thread; whoever claims it first runs or cancels it.
struct UiStep {
    std::function<void()> step;
    volatile LONG state = 0; // 0 waiting, 1 running, 2 done, 3 cancelled
};

LRESULT CALLBACK RunnerProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m != kRunStep) return DefWindowProcA(w, m, wp, lp);
    std::unique_ptr<std::shared_ptr<UiStep>> held(reinterpret_cast<std::shared_ptr<UiStep>*>(lp));
    UiStep& step = **held;
    if (InterlockedCompareExchange(&step.state, 1, 0) == 0) {
        step.step();
        InterlockedExchange(&step.state, 2);
    }
    return 1;
}

void AttachProbe() {
    UiProbe& probe = Probe();
    if (probe.users++ > 0) return;
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = RunnerProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "QuorilTestRunner";
        RegisterClassA(&wc);
        registered = true;
    }
    probe.thread = GetCurrentThreadId();
    probe.hook = SetWindowsHookExA(WH_GETMESSAGE, ProbeHook, nullptr, probe.thread);
    probe.runner = CreateWindowExA(0, "QuorilTestRunner", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
}

void DetachProbe() {
    UiProbe& probe = Probe();
    if (--probe.users > 0) return;
    if (probe.hook) UnhookWindowsHookEx(probe.hook);
    if (probe.runner) DestroyWindow(probe.runner);
    probe.hook = nullptr;
    probe.runner = nullptr;
    probe.thread = 0;
}

} // namespace

HostWindow::HostWindow(int x, int y, int width, int height) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
        wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
        wc.lpszClassName = "QuorilTestHost";
        RegisterClassA(&wc);
        registered = true;
    }
    m_window =
        CreateWindowExA(0, "QuorilTestHost", "Test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y,
                        width, height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(m_window, SW_SHOWNORMAL);
    UpdateWindow(m_window);
    g_host = this;
    ResetCounts();
    TakeForegroundAndFocus();
    PumpMessages();
    AttachProbe();
}

HostWindow::~HostWindow() {
    DetachProbe();
    if (g_host == this) g_host = nullptr;
    DestroyWindow(m_window);
    PumpMessages();
}

bool HostWindow::TakeForegroundAndFocus() {
    SetForegroundWindow(m_window);
    SetFocus(m_window);
    const bool held =
        WaitFor([&] { return GetForegroundWindow() == m_window && GetFocus() == m_window; });
    if (!held)
        ADD_FAILURE() << "the host window needs to be the foreground window and to hold the focus "
                         "(keys sent with SendInput reach only the focus of the foreground "
                         "thread, and only then does a capture see the pointer); the foreground "
                         "window is "
                      << Describe(GetForegroundWindow()) << ", the focus " << Describe(GetFocus());
    return held;
}

int HostWindow::KeyMessages() const {
    return g_hostKeys;
}

int HostWindow::KeyMessagesWhileMenuShown() const {
    return g_hostKeysWhileMenu;
}

int HostWindow::WheelMessagesWhileMenuShown() const {
    return g_hostWheelsWhileMenu;
}

void HostWindow::ResetCounts() {
    InterlockedExchange(&g_hostKeys, 0);
    InterlockedExchange(&g_hostKeysWhileMenu, 0);
    InterlockedExchange(&g_hostWheelsWhileMenu, 0);
}

HostWindow* HostWindow::Current() {
    return g_host;
}

std::string Describe(HWND window) {
    if (!window) return "none";
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char text[200];
    snprintf(text, sizeof text, "window %p of class \"%s\"%s", static_cast<void*>(window),
             ClassName(window).c_str(),
             process == GetCurrentProcessId() ? "" : " of another process");
    return text;
}

HWND CaptureOf(DWORD threadId) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(threadId, &info) ? info.hwndCapture : nullptr;
}

long SendMarker() {
    UiProbe& probe = Probe();
    const LONG marker = InterlockedIncrement(&probe.markersSent);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = kMarkerKey;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof in[0]);
    return marker;
}

bool WaitForMarker(long marker, int timeoutMs) {
    UiProbe& probe = Probe();
    if (!probe.hook) return false;
    auto taken = [&] { return probe.markersTaken >= marker; };
    // On the UI thread itself, taking its own messages brings the marker in.
    return WaitFor(taken, timeoutMs);
}

bool SyncInput(int timeoutMs) {
    if (!Probe().hook) return false;
    return WaitForMarker(SendMarker(), timeoutMs);
}

bool OnUiThread(const std::function<void()>& step, int timeoutMs) {
    UiProbe& probe = Probe();
    if (!probe.runner) return false;
    if (GetCurrentThreadId() == probe.thread) {
        step();
        return true;
    }
    std::shared_ptr<UiStep> shared = std::make_shared<UiStep>();
    shared->step = step;
    auto* held = new std::shared_ptr<UiStep>(shared);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(probe.runner, kRunStep, 0, reinterpret_cast<LPARAM>(held), SMTO_NORMAL,
                             timeoutMs, &result)) {
        // Not taken in time: make sure it never runs later, or wait for the end
        // of a run that has just begun.
        if (InterlockedCompareExchange(&shared->state, 3, 0) == 0) return false;
        WaitFor([&] { return shared->state == 2; }, kWatchdogMs);
    }
    return shared->state == 2;
}

bool WaitPastTimers(int delayMs, int timeoutMs) {
    UiProbe& probe = Probe();
    InterlockedExchange(&probe.timerFired, 0);
    if (!OnUiThread([&] { probe.timer = SetTimer(nullptr, 0, delayMs, nullptr); }, timeoutMs))
        return false;
    return WaitFor([&] { return probe.timerFired != 0; }, delayMs + timeoutMs);
}

namespace {
void SetWatch(std::function<void(const MSG&)> watch) {
    UiProbe& probe = Probe();
    EnterCriticalSection(&probe.watchLock);
    probe.watch = std::move(watch);
    LeaveCriticalSection(&probe.watchLock);
}
} // namespace

MessageWatch::MessageWatch(std::function<void(const MSG&)> watch) {
    SetWatch(std::move(watch));
}

MessageWatch::~MessageWatch() {
    SetWatch(nullptr);
}

int FailureCount() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    if (!test) return 0;
    int failures = 0;
    for (int i = 0; i < test->result()->total_part_count(); ++i)
        failures += test->result()->GetTestPartResult(i).failed() ? 1 : 0;
    return failures;
}

void CloseOwnWindows() {
    // A press at a client point with x, y <= 2 is outside: it closes the
    // whole tree.
    for (HWND menu : MenuWindows())
        PostMessageA(menu, WM_LBUTTONDOWN, 0, MAKELPARAM(0, 0));
    for (HWND dialog : OwnWindows("#32770")) {
        // A message box with only OK has no Cancel button.
        const int command = GetDlgItem(dialog, IDCANCEL) ? IDCANCEL : IDOK;
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, command)));
    }
}

Watchdog::Watchdog(std::string what, int timeoutMs, bool armed)
    : m_what(std::move(what)), m_timeoutMs(timeoutMs), m_uiThread(GetCurrentThreadId()),
      m_stop(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      m_fireNow(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      m_kick(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      m_arm(CreateEventA(nullptr, TRUE, armed, nullptr)) {
    m_thread = std::thread([this] {
        HANDLE events[3] = {m_stop, m_fireNow, m_arm};
        DWORD woke = WaitForMultipleObjects(3, events, FALSE, INFINITE);
        events[2] = m_kick;
        if (woke == WAIT_OBJECT_0 + 2) {
            do
                woke = WaitForMultipleObjects(3, events, FALSE, m_timeoutMs);
            while (woke == WAIT_OBJECT_0 + 2);
        }
        if (woke == WAIT_OBJECT_0) return;
        if (woke == WAIT_TIMEOUT) InterlockedExchange(&m_timedOut, 1);
        InterlockedExchange(&m_fired, 1);
        ReleaseAllButtons();
        // Every level of nested loops needs its own close and wake-up.
        do {
            CloseOwnWindows();
            PostThreadMessageA(m_uiThread, WM_NULL, 0, 0);
        } while (WaitForSingleObject(m_stop, 50) == WAIT_TIMEOUT);
    });
}

Watchdog::~Watchdog() {
    Disarm();
    CloseHandle(m_stop);
    CloseHandle(m_fireNow);
    CloseHandle(m_kick);
    CloseHandle(m_arm);
    if (m_timedOut)
        ADD_FAILURE() << m_what << " did not end within " << m_timeoutMs
                      << " ms; what it had open was closed from outside";
}

void Watchdog::Disarm() {
    SetEvent(m_stop);
    if (m_thread.joinable()) m_thread.join();
}

void Watchdog::Arm() {
    SetEvent(m_arm);
}

void Watchdog::Fire() {
    SetEvent(m_fireNow);
}

void Watchdog::Kick() {
    SetEvent(m_kick);
}

namespace {
LRESULT CALLBACK DropUnsentPointerInput(int code, WPARAM message, LPARAM lp) {
    const MSLLHOOKSTRUCT* input = reinterpret_cast<const MSLLHOOKSTRUCT*>(lp);
    if (code == HC_ACTION && !(input->flags & LLMHF_INJECTED)) return 1;
    return CallNextHookEx(nullptr, code, message, lp);
}
} // namespace

void KeepOnlySentPointerInput() {
    // Started once, on first use; the thread lives as long as the process and
    // takes messages so that the hook is called.
    static const bool started = [] {
        HANDLE hooked = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        std::thread([hooked] {
            SetWindowsHookExA(WH_MOUSE_LL, DropUnsentPointerInput, GetModuleHandleA(nullptr), 0);
            SetEvent(hooked);
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0) > 0)
                DispatchMessageA(&msg);
        }).detach();
        WaitForSingleObject(hooked, INFINITE);
        CloseHandle(hooked);
        return true;
    }();
    (void)started;
}

void PlacePointer(int x, int y) {
    KeepOnlySentPointerInput();
    SetCursorPos(x, y);
}

namespace {
INPUT MouseInput(DWORD flags, int x, int y) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_MOVE) {
        int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
        // The system maps 0..65535 back to pixels rounding down: round up
        // here, or some pixels (x 501, 502 of 1280) are never reached.
        in.mi.dx = (x * 65536 + w - 1) / w;
        in.mi.dy = (y * 65536 + h - 1) / h;
        in.mi.dwFlags |= MOUSEEVENTF_ABSOLUTE;
    }
    return in;
}

void SendMouse(DWORD flags, int x = 0, int y = 0) {
    if (flags & MOUSEEVENTF_MOVE) {
        PlacePointer(x, y);
    } else {
        KeepOnlySentPointerInput();
    }
    INPUT in = MouseInput(flags, x, y);
    SendInput(1, &in, sizeof in);
}
} // namespace

void ClickCarryingPosition(int x, int y) {
    PlacePointer(x, y);
    INPUT in[2] = {MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN, x, y),
                   MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP, x, y)};
    SendInput(2, in, sizeof in[0]);
}

void MoveMouse(int x, int y) {
    // Later input carries the pointer's position: wait until it is there, and
    // move again if the display put it back.
    auto there = [&] {
        POINT p;
        GetCursorPos(&p);
        return p.x == x && p.y == y;
    };
    const DWORD start = GetTickCount();
    for (;;) {
        SendMouse(MOUSEEVENTF_MOVE, x, y);
        if (WaitFor(there, 200)) break;
        if (static_cast<int>(GetTickCount() - start) > kPatienceMs) {
            ADD_FAILURE() << "the pointer did not move to (" << x << ", " << y << ")";
            break;
        }
    }
    // Moves still queued one after the other are merged into one; a marker
    // after each keeps it a step of its own (the first move into another menu
    // only hands the capture over), however late the UI thread takes them.
    if (Probe().hook) SendMarker();
}
void LeftDown() {
    SendMouse(MOUSEEVENTF_LEFTDOWN);
}
void LeftUp() {
    SendMouse(MOUSEEVENTF_LEFTUP);
}
void RightDown() {
    SendMouse(MOUSEEVENTF_RIGHTDOWN);
}
void RightUp() {
    SendMouse(MOUSEEVENTF_RIGHTUP);
}

namespace {
void SendButtonPair(DWORD down, DWORD up) {
    KeepOnlySentPointerInput();
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = down;
    in[1].mi.dwFlags = up;
    SendInput(2, in, sizeof in[0]);
}
} // namespace

void ClickAt(int x, int y) {
    MoveMouse(x, y);
    SendButtonPair(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
}
void RightClickAt(int x, int y) {
    MoveMouse(x, y);
    SendButtonPair(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
}
void ClickHere() {
    SendButtonPair(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
}
void RightClickHere() {
    SendButtonPair(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
}

void GlideTo(int x, int y) {
    MoveMouse(x, y - 2);
    const POINT target = {x, y};
    const HWND under = WindowFromPoint(target);
    if (ClassName(under) == "fpmMenuClass") {
        const DWORD thread = GetWindowThreadProcessId(under, nullptr);
        if (!WaitFor([&] { return CaptureOf(thread) == under; }))
            ADD_FAILURE() << "the menu under (" << x << ", " << y
                          << ") needs the mouse capture to see the pointer; the capture is with "
                          << Describe(CaptureOf(thread)) << ", the foreground window is "
                          << Describe(GetForegroundWindow());
    }
    MoveMouse(x, y);
}

namespace {
INPUT KeyInput(WORD vk, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, 0));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}
} // namespace

void PressKey(WORD vk) {
    INPUT in[2] = {KeyInput(vk, false), KeyInput(vk, true)};
    SendInput(2, in, sizeof in[0]);
}

void PressKeyWithShift(WORD vk) {
    INPUT in[4] = {KeyInput(VK_SHIFT, false), KeyInput(vk, false), KeyInput(vk, true),
                   KeyInput(VK_SHIFT, true)};
    SendInput(4, in, sizeof in[0]);
}

void TypeChar(char character) {
    const SHORT key = VkKeyScanA(character);
    if (key & 0x100)
        PressKeyWithShift(LOBYTE(key));
    else
        PressKey(LOBYTE(key));
}

void TypeUnicode(wchar_t character) {
    INPUT in[2] = {};
    for (int i = 0; i < 2; ++i) {
        in[i].type = INPUT_KEYBOARD;
        in[i].ki.wScan = character;
        in[i].ki.dwFlags = KEYEVENTF_UNICODE | (i ? KEYEVENTF_KEYUP : 0);
    }
    SendInput(2, in, sizeof in[0]);
}

void TurnWheel(int notches) {
    KeepOnlySentPointerInput();
    const int step = notches < 0 ? -1 : 1;
    for (int i = 0; i != notches; i += step) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.mouseData = static_cast<DWORD>(step * WHEEL_DELTA);
        input.mi.dwFlags = MOUSEEVENTF_WHEEL;
        SendInput(1, &input, sizeof input);
    }
}

int RowsPerNotch() {
    UINT rows = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &rows, 0);
    return static_cast<int>(rows);
}
void ParkPointer() {
    MoveMouse(GetSystemMetrics(SM_CXSCREEN) - 20, GetSystemMetrics(SM_CYSCREEN) - 20);
}

void ReleaseAllButtons() {
    if (GetAsyncKeyState(VK_LBUTTON) & 0x8000) LeftUp();
    if (GetAsyncKeyState(VK_RBUTTON) & 0x8000) RightUp();
}

InputThread::InputThread(std::function<void()> steps) : m_thread(std::move(steps)) {}
InputThread::~InputThread() {
    Join();
}
void InputThread::Join() {
    if (m_thread.joinable()) m_thread.join();
}

namespace {
struct OwnWindowSearch {
    const char* className;
    const char* title;
    HWND except;
    std::vector<HWND>* all; // null: stop at the first
    HWND first;
};
// Compares without allocating and without a message to the window: the text
// as the window keeps it.
bool IsOwnWindowSought(HWND w, const OwnWindowSearch& search) {
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    char name[64] = "";
    if (w == search.except || process != GetCurrentProcessId() || !IsWindowVisible(w) ||
        !GetClassNameA(w, name, sizeof name) || lstrcmpA(name, search.className) != 0)
        return false;
    if (!search.title) return true;
    WCHAR text[256] = L"";
    InternalGetWindowText(w, text, 256);
    int i = 0;
    while (search.title[i] && text[i] == static_cast<WCHAR>(static_cast<BYTE>(search.title[i])))
        ++i;
    return !search.title[i] && !text[i];
}
BOOL CALLBACK CollectOwnWindow(HWND w, LPARAM lp) {
    OwnWindowSearch* search = reinterpret_cast<OwnWindowSearch*>(lp);
    if (!IsOwnWindowSought(w, *search)) return TRUE;
    if (!search->all) {
        search->first = w;
        return FALSE;
    }
    search->all->push_back(w);
    return TRUE;
}
} // namespace

std::vector<HWND> OwnWindows(const char* className, const char* title) {
    std::vector<HWND> found;
    OwnWindowSearch search = {className, title, nullptr, &found, nullptr};
    EnumWindows(CollectOwnWindow, reinterpret_cast<LPARAM>(&search));
    return found;
}

HWND FirstOwnWindow(const char* className, const char* title, HWND except) {
    OwnWindowSearch search = {className, title, except, nullptr, nullptr};
    EnumWindows(CollectOwnWindow, reinterpret_cast<LPARAM>(&search));
    return search.first;
}

std::vector<HWND> MenuWindows() {
    return OwnWindows("fpmMenuClass");
}

HWND WaitForWindow(const char* className, const char* title, int timeoutMs) {
    HWND found = nullptr;
    WaitFor([&] { return (found = FirstOwnWindow(className, title)) != nullptr; }, timeoutMs);
    return found;
}

HWND WaitForMenus(size_t count, int timeoutMs) {
    if (count == 0) {
        EXPECT_TRUE(WaitUntilNoMenu(timeoutMs)) << "a menu window stayed open";
        return nullptr;
    }
    std::vector<HWND> menus;
    HWND capture = nullptr;
    const bool shown = WaitFor(
        [&] {
            menus = MenuWindows();
            if (menus.size() != count) return false;
            capture = CaptureOf(GetWindowThreadProcessId(menus.front(), nullptr));
            return capture != nullptr;
        },
        timeoutMs);
    if (shown) return menus.front();
    if (menus.size() != count)
        ADD_FAILURE() << "expected " << count << " menu window(s) shown, there are "
                      << menus.size();
    else
        ADD_FAILURE() << "the menus' thread needs to hold the mouse capture (the pointer's "
                         "input reaches the menus only then); it holds none, the foreground "
                         "window is "
                      << Describe(GetForegroundWindow());
    return nullptr;
}

bool WaitUntilNoMenu(int timeoutMs) {
    return WaitFor([] { return MenuWindows().empty(); }, timeoutMs);
}

bool WaitUntilGone(HWND window, int timeoutMs) {
    return WaitFor([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
}

RECT WindowRect(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return r;
}

std::vector<WPARAM> TakeQuitMessages() {
    std::vector<WPARAM> quits;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        if (msg.message == WM_QUIT) quits.push_back(msg.wParam);
    return quits;
}

std::string WindowText(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ClassName(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

COLORREF PixelAt(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return c;
}

COLORREF ScreenPixel(int x, int y) {
    HDC dc = GetDC(nullptr);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(nullptr, dc);
    return c;
}

namespace {
// The PEB of this process, read from the TEB.
BYTE* ProcessEnvironmentBlock() {
    BYTE* teb = reinterpret_cast<BYTE*>(NtCurrentTeb());
    return *reinterpret_cast<BYTE**>(teb + (sizeof(void*) == 8 ? 0x60 : 0x30));
}
} // namespace

int LiveGdiObjects() {
#ifdef _WIN64
    const size_t tableOffset = 0xF8;
#else
    const size_t tableOffset = 0x94;
#endif
    BYTE* table = *reinterpret_cast<BYTE**>(ProcessEnvironmentBlock() + tableOffset);
    if (!table) return -1;
    int live = 0;
    for (int i = 0; i < 0x10000; ++i) {
        if (table[i * 24 + 14] != 0) ++live;
    }
    return live;
}

int OpenHandles() {
    int count = 0;
    for (ULONG_PTR h = 4; h <= 0xFFFC; h += 4) {
        DWORD flags;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(h), &flags)) ++count;
    }
    return count;
}

namespace {
size_t BusyBytes(HANDLE heap) {
    size_t used = 0;
    PROCESS_HEAP_ENTRY entry = {};
    HeapLock(heap);
    while (HeapWalk(heap, &entry)) {
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) used += entry.cbData;
    }
    HeapUnlock(heap);
    return used;
}
} // namespace

size_t HeapInUse() {
    return BusyBytes(GetProcessHeap());
}

size_t AllHeapsInUse() {
    HANDLE heaps[256];
    DWORD count = GetProcessHeaps(256, heaps);
    if (count > 256) count = 256;
    size_t used = 0;
    for (DWORD i = 0; i < count; ++i)
        used += BusyBytes(heaps[i]);
    return used;
}

namespace {} // namespace

// Through the wide API, so that names the code page cannot hold are deleted
// too; stops at a key that cannot be deleted instead of trying it forever.
bool DeleteKeyTree(HKEY parent, const wchar_t* name) {
    HKEY key;
    if (RegOpenKeyExW(parent, name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return false;
    wchar_t child[512];
    DWORD length = 512;
    while (RegEnumKeyExW(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS &&
           DeleteKeyTree(key, child))
        length = 512;
    RegCloseKey(key);
    return RegDeleteKeyW(parent, name) == ERROR_SUCCESS;
}

std::vector<DWORD> BitmapPixels(HBITMAP bitmap) {
    BITMAP bm = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm)) return {};
    std::vector<DWORD> pixels(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = bm.bmWidth;
    bi.bmiHeader.biHeight = -bm.bmHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, bm.bmHeight, pixels.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (DWORD& p : pixels)
        p &= 0xFFFFFF;
    return pixels;
}

void DeleteProductKey() {
    DeleteKeyTree(HKEY_CURRENT_USER, L"Software\\Quoril");
}

void SetStringValue(const std::string& keyPath, const std::string& name, const std::string& data) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
    RegCloseKey(key);
}

bool ReadStringValue(const std::string& keyPath, const std::string& name, std::string* data,
                     DWORD* type) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD t = 0, size = 0;
    const char* n = name.empty() ? nullptr : name.c_str();
    LONG rc = RegQueryValueExA(key, n, nullptr, &t, nullptr, &size);
    std::string buffer(size, '\0');
    if (rc == ERROR_SUCCESS && size)
        rc = RegQueryValueExA(key, n, nullptr, &t, reinterpret_cast<BYTE*>(&buffer[0]), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return false;
    buffer.resize(size);
    while (!buffer.empty() && buffer.back() == '\0')
        buffer.pop_back();
    if (data) *data = buffer;
    if (type) *type = t;
    return true;
}

bool KeyExists(const std::string& keyPath) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::vector<std::string> ValueNames(const std::string& keyPath) {
    std::vector<std::string> names;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    for (DWORD i = 0;; ++i) {
        char name[1024];
        DWORD size = sizeof name;
        if (RegEnumValueA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (name[0]) names.push_back(name);
    }
    RegCloseKey(key);
    return names;
}

std::vector<std::string> SubkeyNames(const std::string& keyPath) {
    std::vector<std::string> names;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    char name[1024];
    for (DWORD i = 0; RegEnumKeyA(key, i, name, sizeof name) == ERROR_SUCCESS; ++i)
        names.push_back(name);
    RegCloseKey(key);
    return names;
}

namespace {
BOOL CALLBACK CollectStatic(HWND child, LPARAM lp) {
    std::string* text = reinterpret_cast<std::string*>(lp);
    if (ClassName(child) == "Static") {
        std::string t = WindowText(child);
        if (!t.empty()) {
            if (!text->empty()) *text += "\n";
            *text += t;
        }
    }
    return TRUE;
}
} // namespace

std::string DialogStaticText(HWND dialog) {
    std::string text;
    EnumChildWindows(dialog, CollectStatic, reinterpret_cast<LPARAM>(&text));
    return text;
}

MessageBoxWatcher::MessageBoxWatcher(const char* caption)
    : m_caption(caption), m_ready(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    InitializeCriticalSection(&m_lock);
    m_thread = std::thread([this] {
        // Boxes told to close, with their texts, until they are gone.
        std::vector<std::pair<HWND, std::string>> closing;
        for (bool first = true; !m_stop; first = false) {
            for (HWND box : OwnWindows("#32770", m_caption.c_str())) {
                auto seen = [box](const std::pair<HWND, std::string>& c) { return c.first == box; };
                if (std::any_of(closing.begin(), closing.end(), seen)) continue;
                closing.emplace_back(box, DialogStaticText(box));
                EnterCriticalSection(&m_lock);
                m_texts.push_back(closing.back().second);
                LeaveCriticalSection(&m_lock);
                PostMessageA(box, WM_COMMAND, IDOK, 0);
            }
            for (auto c = closing.begin(); c != closing.end();) {
                if (IsWindow(c->first) && IsWindowVisible(c->first)) {
                    ++c;
                    continue;
                }
                InterlockedIncrement(&m_closed);
                c = closing.erase(c);
            }
            // What the thread opens for itself is open once it has looked once.
            if (first) SetEvent(m_ready);
            Sleep(5);
        }
    });
    WaitForSingleObject(m_ready, INFINITE);
}

MessageBoxWatcher::~MessageBoxWatcher() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    CloseHandle(m_ready);
    DeleteCriticalSection(&m_lock);
}

std::vector<std::string> MessageBoxWatcher::Texts() {
    EnterCriticalSection(&m_lock);
    std::vector<std::string> copy = m_texts;
    LeaveCriticalSection(&m_lock);
    return copy;
}

bool MessageBoxWatcher::WaitForCount(size_t count, int timeoutMs) {
    return WaitFor([&] { return static_cast<size_t>(m_closed) >= count; }, timeoutMs);
}

} // namespace qtest

namespace qtest {
namespace {
// The system handle list (information class 16) and object type names
// (object information class 2), called through ntdll by name.
struct SystemHandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT handle;
    PVOID object;
    ULONG access;
};
struct SystemHandleList {
    ULONG count;
    SystemHandleEntry entries[1];
};
typedef LONG(WINAPI* QuerySystemFn)(ULONG, PVOID, ULONG, PULONG);
typedef LONG(WINAPI* QueryObjectFn)(HANDLE, ULONG, PVOID, ULONG, PULONG);

bool IsKeyHandle(QueryObjectFn queryObject, HANDLE handle) {
    // Starts with a UNICODE_STRING holding the type name.
    alignas(8) BYTE buffer[1024];
    ULONG length = 0;
    if (queryObject(handle, 2, buffer, sizeof buffer, &length) < 0) return false;
    USHORT bytes = *reinterpret_cast<USHORT*>(buffer);
    const wchar_t* name = *reinterpret_cast<wchar_t**>(buffer + sizeof(void*));
    return name && bytes == 6 && wcsncmp(name, L"Key", 3) == 0;
}
} // namespace

int OpenKeyHandles() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    QuerySystemFn querySystem =
        reinterpret_cast<QuerySystemFn>(GetProcAddress(ntdll, "NtQuerySystemInformation"));
    QueryObjectFn queryObject =
        reinterpret_cast<QueryObjectFn>(GetProcAddress(ntdll, "NtQueryObject"));
    if (!querySystem || !queryObject) return -1;
    std::vector<BYTE> buffer(1 << 16);
    LONG status;
    for (;;) {
        ULONG needed = 0;
        status = querySystem(16, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status != static_cast<LONG>(0xC0000004)) break; // STATUS_INFO_LENGTH_MISMATCH
        buffer.resize(buffer.size() * 2 > needed ? buffer.size() * 2 : needed + 4096);
    }
    if (status < 0) return -1;
    const SystemHandleList* list = reinterpret_cast<const SystemHandleList*>(buffer.data());
    DWORD self = GetCurrentProcessId();
    int keys = 0;
    for (ULONG i = 0; i < list->count; ++i) {
        const SystemHandleEntry& entry = list->entries[i];
        if (entry.ownerPid != self) continue;
        if (IsKeyHandle(queryObject,
                        reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(entry.handle))))
            ++keys;
    }
    return keys;
}
} // namespace qtest
