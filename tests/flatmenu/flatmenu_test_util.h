// Shared set-up for the flat menu tests: menus tracked on the test's thread
// while a second thread drives them, entry coordinates, strips and pixels.
#pragma once
#include <windows.h>
#include <functional>
#include <vector>
#include "flatmenu/flat_popup_menu.h"
#include "tests/support/drive_modal.h"
#include "tests/support/flat_menus.h"
#include "tests/support/snapshot.h"
#include "tests/support/test_support.h"

namespace fmtest {

HINSTANCE Instance();

// How long the pointer rests on an entry with a submenu before it opens.
const int kSubmenuDelayMs = 400;

// Tracks `menu` modally with capture at (x, y) on this thread while `steps`
// run on a second thread (qtest::DriveModal: a failed step closes the menus
// at once; no time limit is a verdict).
qtest::ModalOutcome TrackDriven(CFlatPopupMenu& menu, int x, int y,
                                const std::function<void()>& steps, HWND notifyWindow = nullptr);

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

// Sends a mouse move in client coordinates straight to the menu's window.
void HoverByMessage(const CFlatPopupMenu& menu, size_t index, int x = 30);

// A strip of `count` small icons, each filled with its colour, made
// compatible with the screen.
HBITMAP MakeStrip(const std::vector<COLORREF>& colours);
// Fills a rectangle of a bitmap with a colour.
void FillBitmapRect(HBITMAP bitmap, const RECT& rect, COLORREF colour);
COLORREF BitmapPixel(HBITMAP bitmap, int x, int y);

} // namespace fmtest
