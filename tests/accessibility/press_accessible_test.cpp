// The menus of a press, as a screen reader meets them through the host: the
// events of the tree, the entries of the root, and a default action that
// starts the item as a click would.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleacc.h>
#include "tests/accessibility/accessibility_test_support.h"
#include "tests/press/press_fixture.h"

using namespace a11ytest;
using namespace presstest;
using Texts = std::vector<std::string>;

namespace {
class PressAccessible : public PressTest {
  protected:
    EventRecorder events;
};
} // namespace

TEST_F(PressAccessible, TheRootReadsAsItsEntriesAndItsDefaultActionStartsTheItem) {
    StoreRecord("", "First", ProbePath() + ",first,,,0,0,1,0");
    StoreRecord("", "&Second", ProbePath() + ",second,,,0,0,2,0");
    StoreRecord("Tools", "", ",,,,,,3,0");
    StoreRecord("Tools", "Inner", ProbePath() + ",inner,,,0,0,1,0");
    qtest::HostWindow host;
    KeepingClient client;
    Texts names, actions;
    LONG titleRole = 0, toolsState = 0;
    HRESULT started = E_FAIL;
    const int result = Press(host.Handle(), [&] {
                           HWND root = WaitForPopups(1);
                           ASSERT_NE(nullptr, root);
                           ASSERT_TRUE(client.Act(root, [&](IAccessible* object) {
                               for (LONG child = 1; child <= ChildCount(object); ++child) {
                                   names.push_back(Name(object, child));
                                   actions.push_back(DefaultAction(object, child));
                               }
                               titleRole = Role(object, 1);
                               toolsState = State(object, 5);
                               started = object->accDoDefaultAction(Child(4)); // &Second
                           }));
                       }).result;
    EXPECT_TRUE(client.LetGo(nullptr));
    EXPECT_EQ(1, result);
    // The title and its line, then the entries in their stored order.
    ASSERT_EQ(5u, names.size());
    EXPECT_EQ(ROLE_SYSTEM_STATICTEXT, titleRole);
    EXPECT_EQ((Texts{"First", "Second", "Tools"}), Texts(names.begin() + 2, names.end()));
    EXPECT_EQ((Texts{"Execute", "Execute", "Open"}), Texts(actions.begin() + 2, actions.end()));
    EXPECT_EQ(STATE_SYSTEM_HASPOPUP, toolsState & STATE_SYSTEM_HASPOPUP);
    EXPECT_EQ(S_OK, started);
    ASSERT_TRUE(WaitForProbeLines(1)) << "the default action started nothing";
    EXPECT_EQ(0u, ProbeLines().at(0).rfind("args=second|", 0)) << ProbeLines().at(0);
    ASSERT_TRUE(events.WaitFor("MENUEND"));
    EXPECT_EQ((Texts{"MENUSTART", "POPUPSTART", "FOCUS 4", "POPUPEND", "MENUEND"}),
              events.Described());
}
