// A press of a test's own, for building and showing menus outside WBPress:
// a cache of its own (nothing kept by an earlier test is used) and a press
// context over it, with the test program as the module.
#pragma once
#include <windows.h>
#include "common/handle_guards.h"
#include "menubuild/native_menu.h"
#include "menubuild/press_context.h"
#include "store/registry_layout.h"
#include "store/stored_menu.h"

namespace qtest {

class TestPress {
  public:
    explicit TestPress(HWND hostWindow = nullptr)
        : m_press(GetModuleHandleA(nullptr), hostWindow, m_cache) {}
    TestPress(const TestPress&) = delete;
    TestPress& operator=(const TestPress&) = delete;
    PressContext& Context() { return m_press; }
    MenuCache& Cache() { return m_cache; }

  private:
    MenuCache m_cache;
    PressContext m_press;
};

// The settings key's tree as it is stored (nothing is normalized); false
// when the key cannot be opened.
inline bool ReadSettingsTree(StoredKey* tree) {
    OwnedKey settings(OpenSettingsKey());
    if (!settings) return false;
    ReadStoredTree(settings.Get(), false, tree);
    return true;
}

// Fills `root` from the stored menu as a press does, with bitmaps for
// `window`; 0 when the settings key cannot be opened.
inline int BuildFromStore(PressContext& press, HWND window, HMENU root) {
    StoredKey tree;
    if (!ReadSettingsTree(&tree)) return 0;
    return BuildRootMenu(press, window, root, tree);
}

} // namespace qtest
