#include "tests/support/step_table.h"
#include <gtest/gtest.h>
#include <stdio.h>
#include <sstream>
#include "tests/support/test_support.h"

namespace qtest {

namespace {
std::string KeyName(WORD key) {
    switch (key) {
    case VK_DOWN:
        return "Down";
    case VK_UP:
        return "Up";
    case VK_LEFT:
        return "Left";
    case VK_RIGHT:
        return "Right";
    case VK_HOME:
        return "Home";
    case VK_END:
        return "End";
    case VK_RETURN:
        return "Enter";
    case VK_ESCAPE:
        return "Esc";
    case VK_TAB:
        return "Tab";
    case VK_SPACE:
        return "Space";
    case VK_APPS:
        return "the context-menu key";
    default:
        break;
    }
    char name[16];
    if (key >= VK_F1 && key <= VK_F24)
        snprintf(name, sizeof name, "F%d", key - VK_F1 + 1);
    else
        snprintf(name, sizeof name, "key 0x%02X", key);
    return name;
}

std::string RowText(int row) {
    if (row == kAnyRow) return "any hot row";
    return row == kNoHot ? "no hot row" : "hot row " + std::to_string(row);
}

std::string StateText(const MenuTreeView& view, int menu, int hot) {
    if (menu == kClosed) return "every menu closed";
    return RowText(hot) + " in " + view.MenuName(menu);
}
} // namespace

Input Opened() {
    return Input{"nothing (as opened)", nullptr};
}

Input Key(WORD virtualKey) {
    return Input{KeyName(virtualKey), [virtualKey] { PressKey(virtualKey); }};
}

Input ShiftKey(WORD virtualKey) {
    return Input{"Shift+" + KeyName(virtualKey), [virtualKey] { PressKeyWithShift(virtualKey); }};
}

Input Char(char character) {
    return Input{std::string("'") + character + "'", [character] { TypeChar(character); }};
}

Input Text(const std::string& name, const std::wstring& text) {
    return Input{"\"" + name + "\"", [text] {
                     for (wchar_t c : text) {
                         if (c < 0x80 && VkKeyScanW(c) != -1) {
                             TypeChar(static_cast<char>(c));
                         } else {
                             TypeUnicode(c);
                         }
                         SyncInput(); // one at a time, in order
                     }
                 }};
}

Input MoveTo(const std::string& where, const std::function<POINT()>& point) {
    return Input{"a move to " + where, [point] {
                     const POINT p = point();
                     GlideTo(p.x, p.y);
                 }};
}

Input Wheel(int notches) {
    return Input{"the wheel " + std::to_string(notches) + " notch(es)",
                 [notches] { TurnWheel(notches); }};
}

Input LeftClick() {
    return Input{"a left click", [] { ClickHere(); }};
}

Input RightClick() {
    return Input{"a right click", [] { RightClickHere(); }};
}

bool RunSteps(const MenuTreeView& view, const std::vector<Step>& steps) {
    int lastMenu = kClosed, lastHot = kNoHot;
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        std::ostringstream head;
        head << "step " << i + 1 << ": sent " << step.input.name;
        if (step.input.send) {
            step.input.send();
            // A closed tree takes no marker until its thread takes messages
            // again: the closing itself is the sign that the input was taken.
            if (step.menu != kClosed && !SyncInput()) {
                ADD_FAILURE() << head.str() << "; the menus' thread did not take it";
                return false;
            }
        }
        const bool reached = WaitFor([&] {
            const int menu = view.Innermost();
            return menu == step.menu &&
                   (menu == kClosed || step.hot == kAnyRow || view.HotRow(menu) == step.hot);
        });
        if (!reached) {
            const int menu = view.Innermost();
            ADD_FAILURE() << head.str() << ", expected " << StateText(view, step.menu, step.hot)
                          << ", got "
                          << StateText(view, menu, menu == kClosed ? kNoHot : view.HotRow(menu));
            return false;
        }
        if (step.hot >= 0 && step.menu != kClosed &&
            !WaitFor([&] { return view.PaintedHot(step.menu, step.hot); })) {
            ADD_FAILURE() << head.str() << ": row " << step.hot << " of "
                          << view.MenuName(step.menu) << " is hot but not painted hot";
            return false;
        }
        if (lastMenu == step.menu && step.menu != kClosed && lastHot >= 0 && step.hot != kAnyRow &&
            lastHot != step.hot &&
            !WaitFor([&] { return view.PaintedPlain(step.menu, lastHot); })) {
            ADD_FAILURE() << head.str() << ": row " << lastHot << " of " << view.MenuName(step.menu)
                          << " is still painted hot";
            return false;
        }
        if (step.check) {
            SCOPED_TRACE(head.str());
            const int failures = FailureCount();
            step.check();
            if (FailureCount() > failures) return false;
        }
        lastMenu = step.menu;
        lastHot = step.hot; // not known after kAnyRow: no row to check next
    }
    return true;
}

} // namespace qtest
