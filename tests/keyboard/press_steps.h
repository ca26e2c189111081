// A press through WBPress played as a table of steps, for the tests that
// drive the launcher's menus by keys.
#pragma once
#include <string>
#include <vector>
#include "tests/press/press_fixture.h"
#include "tests/support/step_table.h"
#include "tests/support/test_support.h"

namespace presstest {

class PressSteps : public PressTest {
  protected:
    // Presses, runs the steps (and then `more`, when they held) and checks
    // that the press returned 1, closed every menu and let no key reach the
    // host while a menu was open. Failures name the case.
    void PressWithSteps(const char* name, const PressMenuView& view,
                        const std::vector<qtest::Step>& steps,
                        const std::function<void()>& more = nullptr) {
        SCOPED_TRACE(name);
        const qtest::ModalOutcome out = Press(host.Handle(), [&] {
            if (qtest::RunSteps(view, steps) && more) more();
        });
        EXPECT_FALSE(out.rescued) << "the steps left the press open";
        EXPECT_EQ(1, out.result);
        EXPECT_EQ(0, out.hostKeyMessages) << "while a menu is open, every key is the menu's";
        EXPECT_TRUE(qtest::MenuWindows().empty());
    }
    // The arguments of the probe's start number `line`, or "<none>".
    std::string ProbeArgs(size_t line) const {
        std::vector<std::string> lines = ProbeLines();
        if (line >= lines.size()) return "<none>";
        return lines[line].substr(0, lines[line].find('|'));
    }

    qtest::HostWindow host;
};

} // namespace presstest
