#include "tests/scrolling/scroll_test_support.h"

namespace scrolltest {

RECT CurrentWorkArea() {
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

WorkAreaChange::WorkAreaChange(const RECT& workArea) : m_saved(CurrentWorkArea()) {
    RECT wanted = workArea;
    m_changed = SystemParametersInfoA(SPI_SETWORKAREA, 0, &wanted, 0) != FALSE;
}

WorkAreaChange::~WorkAreaChange() {
    SystemParametersInfoA(SPI_SETWORKAREA, 0, &m_saved, 0);
}

} // namespace scrolltest
