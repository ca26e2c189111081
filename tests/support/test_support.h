// Helpers shared by the test programs: a foreground host window, input from a
// second thread, window lookup, pixel read-back, resource counters, registry
// set-up and message-box handling.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace qtest {

// Polls `condition` every few milliseconds (pumping this thread's messages)
// until it holds or `timeoutMs` passes. Returns whether it held.
bool PollUntil(const std::function<bool()>& condition, int timeoutMs = 3000);
// Dispatches every message waiting for this thread.
void PumpMessages();

// A shown, foreground top-level window owned by the calling thread, as the
// real host's window is when it calls into the plug-in.
class HostWindow {
  public:
    HostWindow(int x = 300, int y = 300, int width = 200, int height = 120);
    ~HostWindow();
    HWND Handle() const { return m_window; }

  private:
    HWND m_window;
};

// Mouse and keyboard input synthesised with SendInput. Coordinates are screen
// pixels.
void MoveMouse(int x, int y);
void LeftDown();
void LeftUp();
void RightDown();
void RightUp();
void ClickAt(int x, int y);
void RightClickAt(int x, int y);
void PressKey(WORD virtualKey);
void ReleaseAllButtons();

// Runs `steps` on a second thread while the test's thread tracks a menu or
// runs a dialog. Join() waits for the thread.
class InputThread {
  public:
    explicit InputThread(std::function<void()> steps);
    ~InputThread();
    void Join();

  private:
    std::thread m_thread;
};

// Visible top-level windows of a class (and, when given, of a title), in
// z-order.
std::vector<HWND> FindWindowsOfClass(const char* className, const char* title = nullptr);
// Waits up to `timeoutMs` (without pumping) for a visible window of the class.
HWND WaitForWindow(const char* className, const char* title = nullptr, int timeoutMs = 3000);
std::string WindowText(HWND window);
std::string ClassName(HWND window);

// Client-area pixel read-back.
COLORREF PixelAt(HWND window, int x, int y);
// Screen pixel read-back.
COLORREF ScreenPixel(int x, int y);

// Live GDI objects of this process, counted from the shared handle table
// that the PEB points to.
int LiveGdiObjects();
// Open kernel handles of this process, found by probing handle values.
int OpenHandles();
// Open registry key handles of this process (handles of object type "Key"),
// from the system's handle list; unaffected by other handles that Wine opens
// in the background.
int OpenKeyHandles();
// Bytes of this process's default heap in use.
size_t HeapInUse();
// Bytes in use over every heap of the process, the C runtime's malloc heap
// (which Wine keeps apart from the default heap) included.
size_t AllHeapsInUse();

// Registry: the whole product key is removed so each test starts empty.
void DeleteProductKey();
// Creates the key path (relative to HKCU) and sets a REG_SZ value; "" sets the
// default value. Stored without a terminating zero, like the product does.
void SetStringValue(const std::string& keyPath, const std::string& name, const std::string& data);
bool ReadStringValue(const std::string& keyPath, const std::string& name, std::string* data,
                     DWORD* type = nullptr);
bool KeyExists(const std::string& keyPath);
// Names of the values (not the default) and sub-keys of a key, in enumeration order.
std::vector<std::string> ValueNames(const std::string& keyPath);
std::vector<std::string> SubkeyNames(const std::string& keyPath);

// Watches, on its own thread, for a message box (dialog class "#32770") with
// the given caption, records its text and dismisses it with OK.
class MessageBoxWatcher {
  public:
    explicit MessageBoxWatcher(const char* caption);
    ~MessageBoxWatcher();
    // Texts of every box closed so far.
    std::vector<std::string> Texts();
    // Waits until `count` boxes were closed.
    bool WaitForCount(size_t count, int timeoutMs = 3000);

  private:
    std::string m_caption;
    std::vector<std::string> m_texts;
    CRITICAL_SECTION m_lock;
    volatile bool m_stop = false;
    std::thread m_thread;
};

// Texts of the static controls of a dialog (message-box text included).
std::string DialogStaticText(HWND dialog);

} // namespace qtest
