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

TEST_F(TallMenuAccessible, SearchResultsAreTheRootsChildrenAndTheSearchRowAnEditableText) {
    EventRecorder events;
    const LONG searchRow = 3, firstResult = 4; // after the title and its line
    qtest::ModalOutcome out = Run([&] {
        ASSERT_TRUE(qtest::WaitShown(root));
        ClientApartment apartment;
        ASSERT_TRUE(apartment.Ready());
        {
            AccessibleRef object = ObjectOf(root.Window());
            ASSERT_TRUE(object);
            events.Clear();
            qtest::TypeChar('g');
            ASSERT_TRUE(qtest::SyncInput());
            qtest::TypeChar('r');
            ASSERT_TRUE(qtest::SyncInput());
            EXPECT_EQ(searchRow + kEntries + 1, ChildCount(object.Get()))
                << "the search row and 61 results follow the title and its line";
            EXPECT_EQ(ROLE_SYSTEM_TEXT, Role(object.Get(), searchRow));
            EXPECT_EQ("gr", Value(object.Get(), searchRow)) << "its value is the typed text";
            EXPECT_EQ(0, State(object.Get(), searchRow) & STATE_SYSTEM_READONLY);
            EXPECT_EQ("Programs", Name(object.Get(), firstResult));
            EXPECT_EQ(ROLE_SYSTEM_MENUITEM, Role(object.Get(), firstResult));
            EXPECT_EQ("<none>", Shortcut(object.Get(), firstResult))
                << "while a search runs, \"&Programs\"'s letter is text, not its mnemonic";
            EXPECT_EQ("Program 01", Name(object.Get(), firstResult + 1));
            EXPECT_EQ("Programs", Description(object.Get(), firstResult + 1))
                << "a result is described by the submenus holding it";
            EXPECT_EQ(firstResult, Focus(object.Get()));
            EXPECT_TRUE(events.WaitFor("VALUECHANGE 3", 2)) << "one per keystroke";
            EXPECT_TRUE(events.WaitFor("FOCUS 4", 2)) << "the hot result, after each keystroke";

            qtest::TypeChar('z'); // nothing matches: the search row has the focus
            ASSERT_TRUE(qtest::SyncInput());
            EXPECT_EQ(searchRow + 1, ChildCount(object.Get()));
            EXPECT_EQ("No items match", Name(object.Get(), searchRow + 1));
            EXPECT_EQ(searchRow, Focus(object.Get()));
            EXPECT_TRUE(events.WaitFor("FOCUS 3"));

            qtest::PressKey(VK_ESCAPE); // the text goes, the root's own entries return
            ASSERT_TRUE(qtest::SyncInput());
            EXPECT_EQ("Programs", Name(object.Get(), RootIndex(kProgramsEntry) + 1));
            EXPECT_EQ("P", Shortcut(object.Get(), RootIndex(kProgramsEntry) + 1))
                << "with no search, the mnemonic is the shortcut again";
        }
        qtest::PressKey(VK_ESCAPE);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
}
