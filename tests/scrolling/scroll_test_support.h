// Scrolling tests: the wheel turned with SendInput, a count of the wheel
// messages that reach the host's window, a work area made smaller for the
// duration of a test, and snapshots of a menu window's pixels.
#pragma once
#include <windows.h>
#include <map>
#include <string>
#include <vector>

namespace scrolltest {

// Turns the wheel by `notches` notches, one input each, as a wheel does:
// negative towards the user (showing what lies below), positive away.
void TurnWheel(int notches);
// Rows a notch scrolls, as the system is set.
int RowsPerNotch();

// Moves the pointer with SendInput and waits until it is there: from two
// pixels above, as a hand moves it, so that a menu it ends on sees a move
// after the capture has reached it.
void GlideTo(int x, int y);

// Counts the wheel messages that the window procedure of a host window
// receives while a menu window of this process is shown.
class HostWheelCount {
  public:
    explicit HostWheelCount(HWND host);
    ~HostWheelCount();
    HostWheelCount(const HostWheelCount&) = delete;
    HostWheelCount& operator=(const HostWheelCount&) = delete;
    int WhileMenuShown() const;

  private:
    HWND m_host;
};

// Sets the work area (as a taskbar does) and restores the previous one when
// it goes out of scope, whether the test passed or not.
class WorkAreaChange {
  public:
    explicit WorkAreaChange(const RECT& workArea);
    ~WorkAreaChange();
    WorkAreaChange(const WorkAreaChange&) = delete;
    WorkAreaChange& operator=(const WorkAreaChange&) = delete;
    bool Changed() const { return m_changed; }

  private:
    RECT m_saved;
    bool m_changed;
};
RECT CurrentWorkArea();

// A window's pixels, read back from its window device context at once.
class Snapshot {
  public:
    explicit Snapshot(HWND window);
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    COLORREF Pixel(int x, int y) const;
    // How many pixels of each colour a client rectangle holds.
    std::map<COLORREF, int> Colours(const RECT& rect) const;
    // Pixels of a client rectangle that are not `colour`.
    int CountOtherThan(const RECT& rect, COLORREF colour) const;
    // Writes a 24-bit BMP file, for people to look at.
    bool Save(const std::string& path) const;

  private:
    int m_width = 0, m_height = 0;
    std::vector<COLORREF> m_pixels;
};

// Where the test program lies: snapshots are saved beside it.
std::string ProgramDirectory();

} // namespace scrolltest
