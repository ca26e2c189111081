// Helpers shared by the test programs: a foreground host window, input from a
// second thread and ways to know the UI thread has taken it, a watchdog,
// window lookup, pixel read-back, resource counters, registry set-up and
// message-box handling.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace qtest {

// How long a test waits for something that must happen before it calls it
// missing. Only a failing test ever waits this long, so it is generous: a
// loaded machine must never turn a slow step into a failure.
const int kPatienceMs = 10000;
// How long one modal run (a tracked menu, a dialog, a press) may take before
// the watchdog ends it from outside and fails the test.
const int kWatchdogMs = 45000;

// Polls `condition` every few milliseconds until it holds or `timeoutMs`
// passes; returns whether it held. On the test's own thread (the one that
// runs the test body, owns its windows and runs the modal loops) it pumps
// that thread's messages meanwhile, as the windows need; on any other thread
// (an input thread, a watcher) it only sleeps, so it never takes messages
// meant for a loop of its own.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = kPatienceMs);
// Whether the calling thread is the test's own thread.
bool OnTestThread();
// Dispatches every message waiting for this thread.
void PumpMessages();

// Posted to a HostWindow, makes it call PostQuitMessage(wParam), as a host
// that is asked to exit does.
const UINT kQuitRequest = WM_APP + 7;

// A shown, foreground top-level window owned by the calling thread and
// holding the keyboard focus, as the real host's window is when it calls into
// the plug-in. While one exists, the thread that made it is the UI thread
// that SyncInput, OnUiThread and WaitPastTimers work with. Its window
// procedure counts the key and wheel messages it receives.
class HostWindow {
  public:
    HostWindow(int x = 300, int y = 300, int width = 200, int height = 120);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    HWND Handle() const { return m_window; }
    // Makes it the foreground window holding the focus, and waits until it
    // is: keys sent with SendInput reach only the focus of the foreground
    // thread, and a capture sees outside input only while its thread owns
    // the foreground window. When it is not, the test fails at once, naming
    // the windows that are. The constructor calls it.
    bool TakeForegroundAndFocus();
    // Key messages (WM_KEYFIRST to WM_KEYLAST) and wheel messages received,
    // in all and while a menu window of this process was shown.
    int KeyMessages() const;
    int KeyMessagesWhileMenuShown() const;
    int WheelMessagesWhileMenuShown() const;
    void ResetCounts();
    // The host window of this process, or null.
    static HostWindow* Current();

  private:
    HWND m_window;
};

// A window as a failure message names it ("none", its class, whether it is
// another process's).
std::string Describe(HWND window);
// The window holding the mouse capture on a thread (null: none).
HWND CaptureOf(DWORD threadId);

// From the first call on, the pointer input of this process's display is
// only what the test sends. The display driver reports where the X pointer
// is from the thread that owns the window under it, whenever that thread
// reads its events: under load, a report of an earlier position can come
// after a later move was sent, and would put the pointer back there. A
// low-level hook on a thread of its own drops every pointer input that was
// not sent with SendInput. Every mouse helper here calls it.
void KeepOnlySentPointerInput();
// Starts that, and puts the pointer at (x, y) for a move about to be sent.
// While a low-level hook is in place, Wine applies a sent move only once the
// hook has seen it and then no longer moves the X pointer along, whose
// position GetCursorPos reads once the pointer has rested for 100 ms: every
// helper that sends a move calls this first.
void PlacePointer(int x, int y);

// Mouse and keyboard input synthesised with SendInput. Coordinates are screen
// pixels. Each call returns once its input is queued (a move, once the pointer
// is there), not once the UI thread has handled it: SyncInput waits for that.
// Each move reaches the UI thread as a message of its own, never merged with
// the next one.
void MoveMouse(int x, int y);
void LeftDown();
void LeftUp();
void RightDown();
void RightUp();
// Press and release are queued together, so the UI thread never sees the
// button held for long (no auto-repeat, no timer in between).
void ClickAt(int x, int y);
// A left click whose button events carry the position themselves: a pointer
// that the display puts back late (to where an earlier input left it) cannot
// move the click elsewhere.
void ClickCarryingPosition(int x, int y);
void RightClickAt(int x, int y);
// A button pressed and released where the pointer is.
void ClickHere();
void RightClickHere();
// Moves the pointer to (x, y) from two pixels above, as a hand moves it, so
// that a menu it ends on sees a move after the capture has reached it: the
// first move into another menu only hands it the capture, and two queued
// moves are merged into one, so the last move waits until the menu under the
// pointer holds the capture (the test fails at once when it never does).
void GlideTo(int x, int y);
// Keys as a user types them: down and up, with their scan codes.
void PressKey(WORD virtualKey);
void PressKeyWithShift(WORD virtualKey);
// Types a character with the key (and Shift) that produces it.
void TypeChar(char character);
// Types a UTF-16 code unit as the keyboard gives one it has no key for.
void TypeUnicode(wchar_t character);
// Turns the wheel by `notches` notches, one input each, as a wheel does:
// negative towards the user (showing what lies below), positive away.
void TurnWheel(int notches);
// Rows a notch scrolls, as the system is set.
int RowsPerNotch();
void ReleaseAllButtons();
// Puts the pointer near the screen's bottom right corner, where no menu
// opens, so that it moves nothing.
void ParkPointer();

// Waits, from another thread, until the UI thread has taken every input sent
// before the call. A marker key (F24, which nothing here handles) is sent and
// its arrival watched: input reaches a thread in the order it was sent and is
// taken in that order, before any timer message. A posted message would not
// do, as posted messages are taken before input. The marker itself is turned
// into WM_NULL before any window sees it. False when it did not arrive (the
// UI thread does not take messages, or does not own the foreground window).
bool SyncInput(int timeoutMs = kPatienceMs);
// The two halves of SyncInput: queue a marker (returns its number) and wait
// until the UI thread has taken it.
long SendMarker();
bool WaitForMarker(long marker, int timeoutMs = kPatienceMs);
// Runs `step` on the UI thread the next time it looks for messages, and waits
// for it. Input sent by `step` is all queued before the UI thread takes any of
// it. False when the UI thread did not take it.
bool OnUiThread(const std::function<void()>& step, int timeoutMs = kPatienceMs);
// Waits, from another thread, until a timer that the UI thread starts now
// with `delayMs` has fired. Timers fire in the order they fall due, so every
// timer of the UI thread due before it has had its turn by then: this is the
// positive signal that a pending delay did (or did not) act.
bool WaitPastTimers(int delayMs, int timeoutMs = kPatienceMs);
// While it lives, calls `watch` on the UI thread with every message the UI
// thread takes, before the message is dispatched: it sees in which order
// input, timers and the states they cause come there.
class MessageWatch {
  public:
    explicit MessageWatch(std::function<void(const MSG&)> watch);
    ~MessageWatch();
    MessageWatch(const MessageWatch&) = delete;
    MessageWatch& operator=(const MessageWatch&) = delete;
};

// Ends a modal run that does not end by itself. Started on the UI thread just
// before the run: when `timeoutMs` passes first (or Fire is called), it closes
// every menu, dialog and message box of this process from its own thread,
// again and again until disarmed, and the test fails with `what`. One made
// unarmed counts no time until Arm.
class Watchdog {
  public:
    explicit Watchdog(std::string what, int timeoutMs = kWatchdogMs, bool armed = true);
    ~Watchdog();
    // Starts counting `timeoutMs` (from now) in one made unarmed.
    void Arm();
    // The run ended: stop watching. Called by the destructor too.
    void Disarm();
    // End the run now, without a failure of its own (the test has one).
    void Fire();
    // The run made progress (one of many steps ended): its time starts anew.
    void Kick();
    // Whether it had to close anything.
    bool Fired() const { return m_fired != 0; }

  private:
    std::string m_what;
    int m_timeoutMs;
    DWORD m_uiThread;
    HANDLE m_stop;
    HANDLE m_fireNow;
    HANDLE m_kick;
    HANDLE m_arm;
    volatile LONG m_fired = 0;
    volatile LONG m_timedOut = 0;
    std::thread m_thread;
};
// Failures recorded so far in the running test: a step that adds one has
// failed, whatever failed before it.
int FailureCount();
// Closes every visible menu, dialog and message box of this process once:
// menus by a press outside them, dialogs by Cancel, message boxes by OK.
void CloseOwnWindows();

// Runs `steps` on a second thread while the test's thread tracks a menu or
// runs a dialog. Join() waits for the thread; so does the destructor, so an
// ASSERT that leaves the test's scope never meets a joinable thread.
class InputThread {
  public:
    explicit InputThread(std::function<void()> steps);
    ~InputThread();
    void Join();

  private:
    std::thread m_thread;
};

// Visible top-level windows of this process of a class (and, when given, of a
// title), in z-order, newest first. Windows of other processes (other test
// programs, the programs a press starts) are never the test's.
std::vector<HWND> OwnWindows(const char* className, const char* title = nullptr);
// The first of them other than `except`, found without allocating memory and
// without sending a message to any window (for tests that count allocations).
HWND FirstOwnWindow(const char* className, const char* title = nullptr, HWND except = nullptr);
// The flat menus' windows (class "fpmMenuClass") of this process, newest first.
std::vector<HWND> MenuWindows();
// Waits for such a window (see WaitFor).
HWND WaitForWindow(const char* className, const char* title = nullptr, int timeoutMs = kPatienceMs);
// Waits until exactly `count` (at least one) menu windows show and the
// menus' thread holds the mouse capture (before that the pointer's input goes
// to the windows under them); returns the newest, or null with a failure that
// says what was needed and what there was.
HWND WaitForMenus(size_t count, int timeoutMs = kPatienceMs);
// Waits until no menu window of this process shows.
bool WaitUntilNoMenu(int timeoutMs = kPatienceMs);
// Waits until `window` is gone or hidden.
bool WaitUntilGone(HWND window, int timeoutMs = kPatienceMs);
RECT WindowRect(HWND window);
// Removes every message waiting for this thread and returns the wParam of
// each WM_QUIT among them.
std::vector<WPARAM> TakeQuitMessages();
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

// Registry: the whole product key is removed so each test starts empty,
// names beyond the code page included.
// Pixels of a bitmap as 32-bit values without their top byte, top row
// first; empty for no bitmap.
std::vector<DWORD> BitmapPixels(HBITMAP bitmap);

void DeleteProductKey();
// Deletes `name` under `parent` with everything beneath it; false when a
// key could not be deleted.
bool DeleteKeyTree(HKEY parent, const wchar_t* name);
// Creates the key path (relative to HKCU) and sets a REG_SZ value; "" sets the
// default value. Stored without a terminating zero, like the product does.
void SetStringValue(const std::string& keyPath, const std::string& name, const std::string& data);
bool ReadStringValue(const std::string& keyPath, const std::string& name, std::string* data,
                     DWORD* type = nullptr);
bool KeyExists(const std::string& keyPath);
// Names of the values (not the default) and sub-keys of a key, in enumeration order.
std::vector<std::string> ValueNames(const std::string& keyPath);
std::vector<std::string> SubkeyNames(const std::string& keyPath);

// Watches, on its own thread, for a message box of this process (dialog class
// "#32770") with the given caption, records its text and dismisses it with OK.
// A modal box holds up the code that showed it until the watcher closes it:
// once that code has returned, Texts() holds every box it showed.
class MessageBoxWatcher {
  public:
    // Returns once the watching thread runs (and has opened what it needs).
    explicit MessageBoxWatcher(const char* caption);
    ~MessageBoxWatcher();
    // Texts of every box seen so far (each one is dismissed).
    std::vector<std::string> Texts();
    // Waits until `count` boxes are gone, so that what was under them takes
    // input again.
    bool WaitForCount(size_t count, int timeoutMs = kPatienceMs);

  private:
    std::string m_caption;
    std::vector<std::string> m_texts;
    HANDLE m_ready;
    CRITICAL_SECTION m_lock;
    volatile bool m_stop = false;
    volatile LONG m_closed = 0;
    std::thread m_thread;
};

// Texts of the static controls of a dialog (message-box text included).
std::string DialogStaticText(HWND dialog);

} // namespace qtest
