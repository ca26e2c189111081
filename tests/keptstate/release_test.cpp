// What the plug-in keeps from one press to the next (the stored tree read
// last, the icons' pixels, the strip buffers) is given up when the host
// releases the plug-in and when the module goes.
#include <gtest/gtest.h>
#include <windows.h>
#include <functional>
#include "menubuild/flat_popup_build.h"
#include "menubuild/native_menu.h"
#include "menubuild/popup_tree.h"
#include "menubuild/press_context.h"
#include "plugin/exports.h"
#include "plugin/module.h"
#include "store/registry_layout.h"
#include "tests/support/test_press.h"
#include "tests/support/test_support.h"

namespace {
const std::string kSettings = QUORIL_SETTINGS_PATH;

// Reads and builds the stored menu as a press does, with its strips, keeping
// what a press keeps in `plugin`'s cache.
void PressWithoutShowing(PluginModule& plugin) {
    PressContext press(plugin.Instance(), nullptr, plugin.Cache());
    StoredKey tree;
    ASSERT_TRUE(ReadAndNormalizeMenu(press.cache.menu, &tree));
    OwnedMenuTree root(CreatePopupMenu());
    ASSERT_NE(0, BuildRootMenu(press, nullptr, root.Get(), tree));
    EXPECT_TRUE(static_cast<bool>(BuildIconStrips(press, root.Get(), nullptr)));
}

// Whether the next read of the stored menu is given the kept tree.
bool NextReadIsKept(MenuCache& cache) {
    StoredKey tree;
    EXPECT_TRUE(ReadAndNormalizeMenu(cache.menu, &tree));
    return cache.menu.LastReadWasKept();
}

class PluginRelease : public ::testing::Test {
  protected:
    void SetUp() override {
        qtest::DeleteProductKey();
        qtest::SetStringValue(kSettings, "Notepad", "C:\\windows\\notepad.exe,,,,0,0,1,0");
        qtest::SetStringValue(kSettings + "\\Tools", "", ",,,,0,0,2,0"); // as a press leaves it
        qtest::SetStringValue(kSettings + "\\Tools", "Regedit",
                              "C:\\windows\\regedit.exe,,,,0,0,1,0");
    }
    void TearDown() override { qtest::DeleteProductKey(); }

    // Presses twice (the second is given what the first kept), then lets
    // `release` give it all up.
    void ExpectReleased(PluginModule& plugin, const std::function<void()>& release) {
        MenuCache& cache = plugin.Cache();
        cache.menu.SetSettleTime(0); // the menu was written just now
        PressWithoutShowing(plugin);
        ASSERT_TRUE(NextReadIsKept(cache)) << "the unchanged menu was not kept";
        ASSERT_EQ(2u, cache.icons.Count()) << "both icons are kept";
        ASSERT_GT(cache.strips.PixelCount(), 0u);

        release();
        EXPECT_EQ(0u, cache.icons.Count());
        EXPECT_EQ(0u, cache.strips.PixelCount());
        EXPECT_FALSE(NextReadIsKept(cache)) << "a released tree is read again";
        // And the plug-in goes on working as before.
        PressWithoutShowing(plugin);
        EXPECT_EQ(2u, cache.icons.Count());
    }
};
} // namespace

TEST_F(PluginRelease, WBReleaseGivesUpWhatWasKeptAndAnswers1) {
    PluginModule& plugin = ThePlugin();
    plugin.Attach(GetModuleHandleA(nullptr));
    ExpectReleased(plugin, [] { EXPECT_EQ(1, WBRelease(0, 0, 0, 0)); });
}

TEST_F(PluginRelease, DetachGivesUpWhatWasKeptAndTheButtonFace) {
    PluginModule plugin; // a module of the test's own
    plugin.Attach(GetModuleHandleA(nullptr));
    ASSERT_NE(nullptr, plugin.ButtonFace());
    ExpectReleased(plugin, [&] {
        plugin.Detach();
        EXPECT_EQ(nullptr, plugin.ButtonFace());
    });
}
