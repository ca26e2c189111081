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

// What one modal Track reported, and how the test thread got it back.
struct TrackOutcome {
    int result = -12345;
    int contextCommand = -12345;
    // The menus had to be closed from outside after the steps: the steps did
    // not end the tracking themselves.
    bool rescued = false;
    // Milliseconds from the end of the steps to Track's return.
    int msAfterSteps = 0;
};

// Tracks `menu` modally with capture at (x, y) on this thread while `steps`
// run on a second thread. When the steps are done and menu windows of this
// process are still there after `graceMs`, they are closed (and the thread
// nudged), so a fault ends the test instead of hanging it.
TrackOutcome TrackDriven(CFlatPopupMenu& menu, int x, int y, const std::function<void()>& steps,
                         HWND notifyWindow = nullptr, int graceMs = 1500);

// Waits until Track has shown the menu, or until it has no window.
bool WaitShown(const CFlatPopupMenu& menu, int timeoutMs = 3000);
bool WaitGone(const CFlatPopupMenu& menu, int timeoutMs = 3000);

// Screen point inside entry `index`: `dx` from the window's left edge and
// `dy` below the entry's top.
POINT EntryPoint(const CFlatPopupMenu& menu, size_t index, int dx = 30, int dy = 10);
void MoveToEntry(const CFlatPopupMenu& menu, size_t index, int dx = 30, int dy = 10);
// Moves to entry `index` and waits until it is the hot entry.
bool HoverEntry(const CFlatPopupMenu& menu, size_t index, int timeoutMs = 2000);

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
