// COM for the calling thread while one lives: a single-threaded apartment,
// which serves an accessibility object on the thread that owns the menus.
// Every successful initialisation is balanced. A thread that already runs in
// a multi-threaded apartment is left as it is, and counts as not ready: calls
// would then reach the menus from other threads.
#pragma once
#include <windows.h>
#include <objbase.h>

class ComApartment {
  public:
    ComApartment() : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (!SUCCEEDED(m_result)) return;
        ServeQueuedCalls();
        CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    bool Ready() const { return SUCCEEDED(m_result); }

  private:
    // Calls that clients made while the menus' loop was ending (the release
    // that follows a default action, say) are served before the apartment
    // goes: a call left in the queue would keep its client waiting forever.
    static void ServeQueuedCalls() {
        const DWORD thread = GetCurrentThreadId();
        const char* kApartmentClass = "OleMainThreadWndClass";
        for (HWND w = FindWindowExA(HWND_MESSAGE, nullptr, kApartmentClass, nullptr); w;
             w = FindWindowExA(HWND_MESSAGE, w, kApartmentClass, nullptr)) {
            if (GetWindowThreadProcessId(w, nullptr) != thread) continue;
            MSG msg;
            // A quit comes out whatever the filter says: one the menus handed
            // on is handed on again, for the host's own loop.
            bool quit = false;
            WPARAM exitCode = 0;
            while (PeekMessageA(&msg, w, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    quit = true;
                    exitCode = msg.wParam;
                    continue;
                }
                DispatchMessageA(&msg);
            }
            if (quit) PostQuitMessage(static_cast<int>(exitCode));
        }
    }

    HRESULT m_result;
};
