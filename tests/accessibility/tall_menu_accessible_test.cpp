// A menu taller than the screen, as a screen reader reads it: every entry is
// a child whether it shows or not; those scrolled out of view say so and
// have no place on the screen, and scrolling brings them back.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleacc.h>
#include "tests/accessibility/accessibility_test_support.h"
#include "tests/scrolling/tall_menu_fixture.h"

using namespace a11ytest;
using namespace scrolltest;

namespace {
const LONG kOutOfView = STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN;

bool Empty(const RECT& r) {
    return r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0;
}
} // namespace

using TallMenuAccessible = TallMenus;

TEST_F(TallMenuAccessible, EntriesScrolledOutOfViewAreInvisibleOffscreenAndHaveNoPlace) {
    qtest::ModalOutcome out = Run([&] {
        ASSERT_TRUE(qtest::WaitShown(root));
        ClientApartment apartment;
        ASSERT_TRUE(apartment.Ready());
        {
            AccessibleRef object = ObjectOf(root.Window());
            ASSERT_TRUE(object);
            const LONG first = RootIndex(1) + 1, last = RootIndex(kEntries) + 1;
            EXPECT_EQ(last, ChildCount(object.Get())) << "every entry is a child, shown or not";
            EXPECT_EQ(0, State(object.Get(), first) & kOutOfView);
            EXPECT_EQ(kOutOfView, State(object.Get(), last) & kOutOfView);
            EXPECT_TRUE(Empty(Location(object.Get(), last)))
                << "an entry out of view has no place on the screen";
            const RECT shown = Location(object.Get(), first);
            EXPECT_GT(shown.bottom, shown.top);
            EXPECT_EQ(first, HitTest(object.Get(), RowPoint(root, RootIndex(1))));

            qtest::PressKey(VK_END); // the last entry is hot and in view
            ASSERT_TRUE(qtest::SyncInput());
            EXPECT_EQ(last, Focus(object.Get()));
            EXPECT_EQ(STATE_SYSTEM_FOCUSED | STATE_SYSTEM_HOTTRACKED,
                      State(object.Get(), last) & ~STATE_SYSTEM_HASPOPUP);
            EXPECT_EQ(kOutOfView, State(object.Get(), first) & kOutOfView);
            EXPECT_TRUE(Empty(Location(object.Get(), first)));
            const RECT lastRow = Location(object.Get(), last);
            EXPECT_TRUE(PtInRect(&lastRow, RowPoint(root, RootIndex(kEntries))));
        }
        qtest::PressKey(VK_ESCAPE);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
}
