#include "tests/support/test_support.h"
// NtCurrentTeb reads through a segment register at a small constant offset,
// which GCC's bounds check takes for an access to an empty array.
#pragma GCC diagnostic ignored "-Warray-bounds"
#include <chrono>
#include <string.h>
#include <wchar.h>

namespace qtest {

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool PollUntil(const std::function<bool()>& condition, int timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (static_cast<int>(GetTickCount() - start) > timeoutMs) return condition();
        PumpMessages();
        Sleep(5);
    }
}

namespace {
LRESULT CALLBACK HostProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(w, m, wp, lp);
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
    SetForegroundWindow(m_window);
    PollUntil([&] { return GetForegroundWindow() == m_window; }, 2000);
    PumpMessages();
}

HostWindow::~HostWindow() {
    DestroyWindow(m_window);
    PumpMessages();
}

namespace {
void SendMouse(DWORD flags, int x = 0, int y = 0) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_MOVE) {
        int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
        in.mi.dx = (x * 65536 + w / 2) / w;
        in.mi.dy = (y * 65536 + h / 2) / h;
        in.mi.dwFlags |= MOUSEEVENTF_ABSOLUTE;
    }
    SendInput(1, &in, sizeof in);
}
} // namespace

void MoveMouse(int x, int y) {
    SendMouse(MOUSEEVENTF_MOVE, x, y);
    // Wait until the pointer arrived, so later steps see it there.
    for (int i = 0; i < 100; ++i) {
        POINT p;
        GetCursorPos(&p);
        if (p.x == x && p.y == y) break;
        Sleep(2);
    }
    Sleep(30);
}
void LeftDown() {
    SendMouse(MOUSEEVENTF_LEFTDOWN), Sleep(30);
}
void LeftUp() {
    SendMouse(MOUSEEVENTF_LEFTUP), Sleep(30);
}
void RightDown() {
    SendMouse(MOUSEEVENTF_RIGHTDOWN), Sleep(30);
}
void RightUp() {
    SendMouse(MOUSEEVENTF_RIGHTUP), Sleep(30);
}
void ClickAt(int x, int y) {
    MoveMouse(x, y);
    LeftDown();
    LeftUp();
}
void RightClickAt(int x, int y) {
    MoveMouse(x, y);
    RightDown();
    RightUp();
}
void PressKey(WORD vk) {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof in[0]);
    Sleep(30);
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
struct FindContext {
    const char* className;
    const char* title;
    std::vector<HWND>* found;
};
BOOL CALLBACK CollectWindow(HWND w, LPARAM lp) {
    FindContext* c = reinterpret_cast<FindContext*>(lp);
    if (!IsWindowVisible(w)) return TRUE;
    if (ClassName(w) != c->className) return TRUE;
    if (c->title && WindowText(w) != c->title) return TRUE;
    c->found->push_back(w);
    return TRUE;
}
} // namespace

std::vector<HWND> FindWindowsOfClass(const char* className, const char* title) {
    std::vector<HWND> found;
    FindContext c = {className, title, &found};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&c));
    return found;
}

HWND WaitForWindow(const char* className, const char* title, int timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        std::vector<HWND> w = FindWindowsOfClass(className, title);
        if (!w.empty()) return w.front();
        if (static_cast<int>(GetTickCount() - start) > timeoutMs) return nullptr;
        Sleep(10);
    }
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

namespace {
void DeleteTree(HKEY parent, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    char child[512];
    while (RegEnumKeyA(key, 0, child, sizeof child) == ERROR_SUCCESS) {
        DeleteTree(key, child);
    }
    RegCloseKey(key);
    RegDeleteKeyA(parent, name);
}
} // namespace

void DeleteProductKey() {
    DeleteTree(HKEY_CURRENT_USER, "Software\\Quoril");
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

MessageBoxWatcher::MessageBoxWatcher(const char* caption) : m_caption(caption) {
    InitializeCriticalSection(&m_lock);
    m_thread = std::thread([this] {
        while (!m_stop) {
            for (HWND box : FindWindowsOfClass("#32770", m_caption.c_str())) {
                std::string text = DialogStaticText(box);
                EnterCriticalSection(&m_lock);
                m_texts.push_back(text);
                LeaveCriticalSection(&m_lock);
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                // Wait until it is gone before looking again.
                for (int i = 0; i < 200 && IsWindow(box) && IsWindowVisible(box); ++i)
                    Sleep(5);
            }
            Sleep(10);
        }
    });
}

MessageBoxWatcher::~MessageBoxWatcher() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    DeleteCriticalSection(&m_lock);
}

std::vector<std::string> MessageBoxWatcher::Texts() {
    EnterCriticalSection(&m_lock);
    std::vector<std::string> copy = m_texts;
    LeaveCriticalSection(&m_lock);
    return copy;
}

bool MessageBoxWatcher::WaitForCount(size_t count, int timeoutMs) {
    return PollUntil([&] { return Texts().size() >= count; }, timeoutMs);
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
