// Shared set-up for the flat menu tests: menus tracked on the test's thread
// while a second thread drives them, entry coordinates, strips and pixels.
#pragma once
#include <windows.h>
#include <functional>
#include <vector>
#include "flatmenu/flat_popup_menu.h"
#include "tests/support/test_support.h"

namespace fmtest {

HINSTANCE Instance();

// How long the pointer rests on an entry with a submenu before it opens.
const int kSubmenuDelayMs = 400;

// What one modal Track reported, and how the test thread got it back.
struct TrackOutcome {
    int result = -12345;
    int contextCommand = -12345;
    // The tracking did not end by itself: the watchdog closed the menus from
    // outside (after its time ran out, or at once when a step had failed).
    bool rescued = false;
};

// Tracks `menu` modally with capture at (x, y) on this thread while `steps`
// run on a second thread. The steps are expected to end the tracking; a
// watchdog closes what is left if they do not (at once when a step failed),
// so a fault ends the test instead of hanging it. No time limit is a verdict.
TrackOutcome TrackDriven(CFlatPopupMenu& menu, int x, int y, const std::function<void()>& steps,
                         HWND notifyWindow = nullptr);

// Waits until Track has shown the menu, or until it has no window.
bool WaitShown(const CFlatPopupMenu& menu, int timeoutMs = qtest::kPatienceMs);
bool WaitGone(const CFlatPopupMenu& menu, int timeoutMs = qtest::kPatienceMs);

// The screen position of a shown menu's top-left corner.
POINT Origin(const CFlatPopupMenu& menu);

// Screen point inside entry `index`: `dx` from the window's left edge and
// `dy` below the entry's top.
POINT EntryPoint(const CFlatPopupMenu& menu, size_t index, int dx = 30, int dy = 10);
void MoveToEntry(const CFlatPopupMenu& menu, size_t index, int dx = 30, int dy = 10);
// Moves to entry `index` and waits until it is the hot entry.
bool HoverEntry(const CFlatPopupMenu& menu, size_t index, int timeoutMs = qtest::kPatienceMs);
// Waits until the tracking thread has taken every input sent so far, and
// says whether the menu's window is still there: the positive signal that a
// click or key which must change nothing has been handled.
bool StillShownAfterInput(const CFlatPopupMenu& menu);

// The window holding the mouse capture on a thread.
HWND CaptureOf(DWORD threadId);
// Visible menu windows of this process.
std::vector<HWND> MenuWindows();

// Sends a mouse move in client coordinates straight to the menu's window.
void HoverByMessage(const CFlatPopupMenu& menu, size_t index, int x = 30);

// A strip of `count` small icons, each filled with its colour, made
// compatible with the screen.
HBITMAP MakeStrip(const std::vector<COLORREF>& colours);
// Fills a rectangle of a bitmap with a colour.
void FillBitmapRect(HBITMAP bitmap, const RECT& rect, COLORREF colour);
COLORREF BitmapPixel(HBITMAP bitmap, int x, int y);

// Counts pixels of a colour inside a client rectangle of a window.
int CountPixels(HWND window, const RECT& rect, COLORREF colour);
// Counts pixels of any other colour (text is drawn anti-aliased).
int CountPixelsOtherThan(HWND window, const RECT& rect, COLORREF colour);

// Saves the screen as a 24-bit BMP file.
bool SaveScreen(const char* path);

} // namespace fmtest
