// The item dialog and the icon picker at the lane's DPI: every control shows
// inside the dialog's client area and none covers another.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>
#include "editor/icon_picker.h"
#include "tests/editor/item_dialog_fixture.h"

namespace {
struct Control {
    HWND window;
    RECT rect; // in the dialog's client coordinates
};

std::vector<Control> VisibleControls(HWND dialog) {
    std::vector<Control> controls;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        Control c = {child, {}};
        GetWindowRect(child, &c.rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&c.rect), 2);
        controls.push_back(c);
    }
    return controls;
}

std::string Name(HWND control) {
    return qtest::ClassName(control) + " \"" + qtest::WindowText(control) + "\" (id " +
           std::to_string(GetDlgCtrlID(control)) + ")";
}

// An up-down control sits against the control it belongs to by design.
bool Paired(HWND a, HWND b) {
    auto buddyOf = [](HWND updown) {
        return qtest::ClassName(updown) == UPDOWN_CLASSA
                   ? reinterpret_cast<HWND>(SendMessageA(updown, UDM_GETBUDDY, 0, 0))
                   : nullptr;
    };
    return buddyOf(a) == b || buddyOf(b) == a;
}

void ExpectLaidOutWithin(HWND dialog) {
    RECT client = {};
    GetClientRect(dialog, &client);
    const std::vector<Control> controls = VisibleControls(dialog);
    ASSERT_FALSE(controls.empty());
    for (size_t i = 0; i < controls.size(); ++i) {
        const RECT& r = controls[i].rect;
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right &&
                    r.bottom <= client.bottom)
            << Name(controls[i].window) << " reaches out of the dialog";
        for (size_t j = i + 1; j < controls.size(); ++j) {
            RECT both;
            if (Paired(controls[i].window, controls[j].window)) continue;
            EXPECT_FALSE(IntersectRect(&both, &r, &controls[j].rect))
                << Name(controls[i].window) << " overlaps " << Name(controls[j].window);
        }
    }
}
} // namespace

class DpiItemDialog : public ItemDialogTest {};

TEST_F(DpiItemDialog, EveryControlLiesInsideTheDialogAndApartFromTheOthers) {
    Run([](HWND dialog) { ExpectLaidOutWithin(dialog); });
}

TEST(DpiIconPicker, EveryControlLiesInsideTheDialogAndApartFromTheOthers) {
    ThePlugin().Attach(edtest::Module());
    qtest::HostWindow host;
    IconPicker picker(edtest::Module(), "C:\\windows\\system32\\shell32.dll");
    edtest::DriveDialog(
        "Select Icon", [](HWND dialog) { ExpectLaidOutWithin(dialog); },
        [&] { return static_cast<INT_PTR>(picker.Choose(host.Handle())); });
}
