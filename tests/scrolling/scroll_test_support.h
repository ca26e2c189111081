// Scrolling tests: a work area made smaller for the duration of a test.
#pragma once
#include <windows.h>

namespace scrolltest {

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

} // namespace scrolltest
