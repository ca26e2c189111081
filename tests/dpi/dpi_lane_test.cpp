// The lane a test program runs in has the DPI the program was listed for:
// the display reports it, and the system's small icons follow it.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdlib.h>

namespace {
// The DPI this run of the program was listed for (96 when none was asked).
int ListedDpi() {
    const char* dpi = getenv("QUORIL_LANE_DPI");
    return dpi && *dpi ? atoi(dpi) : 96;
}
} // namespace

TEST(DpiLane, TheDisplayHasTheDpiTheTestWasListedFor) {
    HDC screen = GetDC(nullptr);
    ASSERT_NE(nullptr, screen);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(ListedDpi(), dpi) << "the lane's prefix was not given the DPI asked for";
    EXPECT_EQ(MulDiv(16, dpi, 96), GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(MulDiv(16, dpi, 96), GetSystemMetrics(SM_CYSMICON));
}
