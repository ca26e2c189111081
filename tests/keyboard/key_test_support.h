// Keyboard tests: a focused host window that records the key messages it is
// given, keys typed with SendInput from a second thread, a marker key that
// shows when the menu's thread has taken every key typed before it, and the
// menu windows and pixels a user sees.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace keytest {

// Posted to a KeyHost, makes it call PostQuitMessage(wParam), as a host
// that is asked to exit does.
const UINT kQuitRequest = WM_APP + 7;

// A shown, foreground top-level window of the calling thread holding the
// keyboard focus, as the host's window is when it calls into the plug-in.
// Its window procedure counts every key message it receives.
class KeyHost {
  public:
    KeyHost();
    ~KeyHost();
    HWND Handle() const { return m_window; }
    // Key messages (WM_KEYFIRST to WM_KEYLAST) the window procedure
    // received, in all and while a menu window of this process was shown.
    int KeyMessages() const;
    int KeyMessagesWhileMenuShown() const;
    void ResetKeyMessages();

  private:
    HWND m_window;
};

// Makes `window` (of the calling thread) the foreground window holding the
// focus, and waits until it is. When it is not, the test fails at once,
// naming the windows that are.
bool TakeForegroundAndFocus(HWND window);

// Counts the marker keys taken by the message loops of `thread` (the thread
// that tracks the menus) while it lives.
class MarkerWatch {
  public:
    explicit MarkerWatch(DWORD thread);
    ~MarkerWatch();

  private:
    HHOOK m_hook;
};

// Keys as a user types them: down and up through SendInput.
void Tap(WORD virtualKey);
void TapWithShift(WORD virtualKey);
// Types a character with the key (and Shift) that produces it.
void Type(char character);
// Types the marker key (one that no menu uses) and waits until the menu's
// thread has taken it, and so every key typed before it. False (and a test
// failure) when it does not arrive.
bool Settle();

// Moves the pointer with SendInput and waits until it has arrived.
void MovePointer(int x, int y);
void LeftClick();
// Parks the pointer where no menu opens, so that it moves nothing.
void ParkPointer();
POINT ParkingPoint();

// Visible menu windows of this process, newest first.
std::vector<HWND> MenuWindows();
// Waits until exactly `count` menu windows are visible.
bool WaitForMenuCount(size_t count, int timeoutMs = 5000);
// Waits (without pumping) until `condition` holds.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 5000);

// Whether the entry whose top is `top` is painted hot (highlight bar) in a
// menu window, read from two pixels of its bar right of any text.
bool PaintedHot(HWND menuWindow, int top);
// Whether it is painted as an entry that is not hot.
bool PaintedPlain(HWND menuWindow, int top);
// Waits until the entry is painted hot, or plain.
bool WaitPaintedHot(HWND menuWindow, int top);
bool WaitPaintedPlain(HWND menuWindow, int top);

RECT WindowRect(HWND window);
// The window holding the mouse capture on a thread.
HWND ThreadCapture(DWORD threadId);

// What one tracked tree reported, and what the host saw meanwhile.
struct Outcome {
    int result = -12345;
    int contextCommand = -12345;
    // The steps left menus open: they were closed from outside, and the test
    // has failed.
    bool rescued = false;
    // Key messages the host window's procedure received while a menu was shown.
    int hostKeyMessages = -1;
    // Tracking ended by throwing a C++ exception.
    bool threw = false;
};

// Removes every message waiting for this thread and returns the wParam of
// each WM_QUIT among them.
std::vector<WPARAM> TakeQuitMessages();

// Runs `track` on this thread while `steps` run on a second thread, and
// returns what it reported. When the steps are done and menu windows of this
// process stay open for long, they are closed from outside (rescued), so a
// fault fails the test instead of hanging it. Leaves this thread's queue as
// tracking left it.
Outcome RunDriven(KeyHost& host, const std::function<int(int* contextCommand)>& track,
                  const std::function<void()>& steps);

} // namespace keytest
