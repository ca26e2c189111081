// When the launcher's root popup window is created and first painted,
// observed from outside the menu code: a hook on the calling thread notes the
// creation of the first "fpmMenuClass" window and watches its messages; once
// its first WM_PAINT has been handled, the menu is closed by a click outside.
#pragma once
#include <windows.h>

// Milliseconds from an arbitrary start, by the performance counter.
double NowMs();

struct PopupTimeline {
    double created = 0;    // CreateWindowEx of the root popup began
    double paintStart = 0; // its first WM_PAINT arrived
    double paintEnd = 0;   // and was handled: the menu is on screen
    bool Complete() const { return paintEnd > 0; }
};

// Watches the next root popup created on this thread while it lives.
class PopupWatch {
  public:
    PopupWatch();
    ~PopupWatch();
    PopupWatch(const PopupWatch&) = delete;
    PopupWatch& operator=(const PopupWatch&) = delete;
    const PopupTimeline& Timeline() const;
};
