#include <gtest/gtest.h>
#include <string>
#include "store/registry_layout.h"
#include "tests/support/test_support.h"

namespace {
const std::string kSettings = QUORIL_SETTINGS_PATH;

// Command ids of the hand-built tree below.
enum : UINT {
    kAlpha = 0x101,
    kTools = 0x201,
    kCalc = 0x111,
    kDeep = 0x202,
    kLeaf = 0x121,
    kLater = 0x112,
    kGames = 0x203,
    kChess = 0x131,
    kOmega = 0x102,
    kUnknown = 0x7777,
};

void AppendItem(HMENU menu, const char* text, UINT id, HMENU submenu = nullptr) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_TYPE | (submenu ? MIIM_SUBMENU : 0);
    info.fType = MFT_STRING;
    info.wID = id;
    info.hSubMenu = submenu;
    info.dwTypeData = const_cast<char*>(text);
    InsertMenuItemA(menu, GetMenuItemCount(menu), TRUE, &info);
}

// The registry tree and the native menu tree that mirrors it:
//   Settings: Alpha, Tools{Calc, Deep{Leaf}, Later}, Games{Chess}, Omega
class KeyLookup : public ::testing::Test {
  protected:
    void SetUp() override {
        qtest::DeleteProductKey();
        qtest::SetStringValue(kSettings, "Alpha", "a.exe,,,,0,0,1,0");
        qtest::SetStringValue(kSettings + "\\Tools", "", ",,,,0,,2,0");
        qtest::SetStringValue(kSettings + "\\Tools", "Calc", "calc.exe,,,,0,0,1,0");
        qtest::SetStringValue(kSettings + "\\Tools\\Deep", "", ",,,,0,,2,0");
        qtest::SetStringValue(kSettings + "\\Tools\\Deep", "Leaf", "leaf.exe,,,,0,0,1,0");
        qtest::SetStringValue(kSettings + "\\Tools", "Later", "later.exe,,,,0,0,3,0");
        qtest::SetStringValue(kSettings + "\\Games", "Chess", "chess.exe,,,,0,0,1,0");
        qtest::SetStringValue(kSettings, "Omega", "o.exe,,,,0,0,4,0");

        HMENU deep = CreatePopupMenu();
        AppendItem(deep, "Leaf", kLeaf);
        HMENU tools = CreatePopupMenu();
        AppendItem(tools, "Calc", kCalc);
        AppendItem(tools, "Deep", kDeep, deep);
        AppendItem(tools, "Later", kLater);
        HMENU games = CreatePopupMenu();
        AppendItem(games, "Chess", kChess);
        m_root = CreatePopupMenu();
        AppendItem(m_root, "Alpha", kAlpha);
        AppendItem(m_root, "Tools", kTools, tools);
        AppendItem(m_root, "Games", kGames, games);
        AppendItem(m_root, "Omega", kOmega);
        m_startHandles = qtest::OpenKeyHandles();
    }
    void TearDown() override {
        DestroyMenu(m_root);
        qtest::DeleteProductKey();
    }

    // Checks that only `found` (or nothing) is left open, closes it, and that
    // everything is back to the start.
    void ExpectOnlyOpen(HKEY found) {
        EXPECT_EQ(m_startHandles + (found ? 1 : 0), qtest::OpenKeyHandles())
            << "keys left open after the lookup";
        if (found) RegCloseKey(found);
        EXPECT_EQ(m_startHandles, qtest::OpenKeyHandles());
    }

    HMENU m_root = nullptr;
    int m_startHandles = 0;
};

bool HasValue(HKEY key, const char* name) {
    return RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// Which key of the tree `key` is, told by the value it holds.
std::string Which(HKEY key) {
    if (!key) return "<null>";
    if (HasValue(key, "Alpha")) return "Settings";
    if (HasValue(key, "Calc")) return "Tools";
    if (HasValue(key, "Leaf")) return "Deep";
    if (HasValue(key, "Chess")) return "Games";
    return "<other>";
}

TEST_F(KeyLookup, RegistryKeysShowAsHandles) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key));
    EXPECT_EQ(m_startHandles + 1, qtest::OpenKeyHandles());
    RegCloseKey(key);
    EXPECT_EQ(m_startHandles, qtest::OpenKeyHandles());
}

TEST_F(KeyLookup, SubmenuIdZeroReturnsTheGivenKey) {
    HKEY settings = OpenSettingsKey();
    ASSERT_NE(nullptr, settings);
    EXPECT_EQ(settings, FindSubmenuKey(settings, m_root, 0));
    EXPECT_EQ("Settings", Which(settings));
    ExpectOnlyOpen(settings);
}

TEST_F(KeyLookup, FindItemKeyReturnsTheKeyOfTheHoldingMenu) {
    struct {
        UINT id;
        const char* key;
    } cases[] = {{kAlpha, "Settings"}, {kOmega, "Settings"}, {kCalc, "Tools"},
                 {kLater, "Tools"},    {kLeaf, "Deep"},      {kChess, "Games"},
                 {kTools, "Settings"}, {kDeep, "Tools"},     {kGames, "Settings"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        HKEY settings = OpenSettingsKey();
        ASSERT_NE(nullptr, settings);
        HKEY found = FindItemKey(settings, m_root, c.id);
        EXPECT_EQ(c.key, Which(found));
        if (std::string(c.key) == "Settings") {
            EXPECT_EQ(settings, found);
        }
        ExpectOnlyOpen(found);
    }
}

TEST_F(KeyLookup, FindSubmenuKeyReturnsTheSubmenusOwnKey) {
    struct {
        UINT id;
        const char* key;
    } cases[] = {{kTools, "Tools"}, {kDeep, "Deep"}, {kGames, "Games"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        HKEY found = FindSubmenuKey(OpenSettingsKey(), m_root, c.id);
        EXPECT_EQ(c.key, Which(found));
        ExpectOnlyOpen(found);
    }
}

TEST_F(KeyLookup, ReturnedKeysCanBeReadWrittenAndEnumerated) {
    HKEY found = FindItemKey(OpenSettingsKey(), m_root, kLeaf);
    ASSERT_EQ("Deep", Which(found));
    const BYTE data[] = "new.exe,,,,0,0,2,0";
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(found, "New", 0, REG_SZ, data, sizeof data - 1));
    HKEY child;
    EXPECT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(found, "Made", 0, nullptr, 0, KEY_READ, nullptr, &child, nullptr));
    RegCloseKey(child);
    char name[260];
    DWORD length = sizeof name;
    EXPECT_EQ(ERROR_SUCCESS,
              RegEnumKeyExA(found, 0, name, &length, nullptr, nullptr, nullptr, nullptr));
    EXPECT_STREQ("Made", name);
    ExpectOnlyOpen(found);
}

TEST_F(KeyLookup, UnknownIdsAndBadArgumentsReturnNullAndCloseTheGivenKey) {
    ExpectOnlyOpen(FindItemKey(OpenSettingsKey(), m_root, kUnknown));
    ExpectOnlyOpen(FindSubmenuKey(OpenSettingsKey(), m_root, kUnknown));
    ExpectOnlyOpen(FindItemKey(OpenSettingsKey(), m_root, 0));
    ExpectOnlyOpen(FindItemKey(OpenSettingsKey(), nullptr, kAlpha));
    ExpectOnlyOpen(FindSubmenuKey(OpenSettingsKey(), nullptr, kTools));
    ExpectOnlyOpen(FindItemKey(nullptr, m_root, kAlpha));
    ExpectOnlyOpen(FindSubmenuKey(nullptr, m_root, kTools));
    HMENU empty = CreatePopupMenu();
    ExpectOnlyOpen(FindItemKey(OpenSettingsKey(), empty, kAlpha));
    ExpectOnlyOpen(FindSubmenuKey(OpenSettingsKey(), empty, kTools));
    DestroyMenu(empty);
    // A plain item's id names no sub-key.
    ExpectOnlyOpen(FindSubmenuKey(OpenSettingsKey(), m_root, kAlpha));
}

TEST_F(KeyLookup, DisappearedSubmenuKeyStopsTheSearchOfItsMenu) {
    qtest::DeleteProductKey();
    qtest::SetStringValue(kSettings, "Alpha", "a.exe,,,,0,0,1,0");
    qtest::SetStringValue(kSettings + "\\Games", "Chess", "chess.exe,,,,0,0,1,0");
    // "Tools" is gone while the menu still shows it.
    struct {
        UINT id;
        const char* key;
    } cases[] = {{kAlpha, "Settings"}, {kTools, "Settings"}, {kCalc, "<null>"},
                 {kGames, "<null>"},   {kChess, "<null>"},   {kOmega, "<null>"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        HKEY found = FindItemKey(OpenSettingsKey(), m_root, c.id);
        EXPECT_EQ(c.key, Which(found));
        ExpectOnlyOpen(found);
    }
    ExpectOnlyOpen(FindSubmenuKey(OpenSettingsKey(), m_root, kGames));
}

TEST_F(KeyLookup, DisappearedNestedKeyLetsTheEnclosingMenuGoOn) {
    HKEY tools;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, (kSettings + "\\Tools").c_str(), 0,
                                           KEY_ALL_ACCESS, &tools));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyA(tools, "Deep"));
    RegCloseKey(tools);
    struct {
        UINT id;
        const char* key;
    } cases[] = {{kCalc, "Tools"},   {kDeep, "Tools"},  {kLeaf, "<null>"},
                 {kLater, "<null>"}, {kChess, "Games"}, {kOmega, "Settings"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        HKEY found = FindItemKey(OpenSettingsKey(), m_root, c.id);
        EXPECT_EQ(c.key, Which(found));
        ExpectOnlyOpen(found);
    }
    ExpectOnlyOpen(FindSubmenuKey(OpenSettingsKey(), m_root, kDeep));
    HKEY games = FindSubmenuKey(OpenSettingsKey(), m_root, kGames);
    EXPECT_EQ("Games", Which(games));
    ExpectOnlyOpen(games);
}

TEST(FindParentSubmenuId, NamesTheSubmenuItemAboveTheItem) {
    HMENU deep = CreatePopupMenu();
    AppendItem(deep, "Leaf", kLeaf);
    HMENU tools = CreatePopupMenu();
    AppendItem(tools, "Calc", kCalc);
    AppendItem(tools, "Deep", kDeep, deep);
    HMENU root = CreatePopupMenu();
    AppendItem(root, "Alpha", kAlpha);
    AppendItem(root, "Tools", kTools, tools);
    struct {
        UINT id;
        UINT parent;
    } cases[] = {{kAlpha, 0},    {kTools, 0},   {kCalc, kTools}, {kDeep, kTools},
                 {kLeaf, kDeep}, {kUnknown, 0}, {0, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.parent, FindParentSubmenuId(root, c.id, 0)) << "id " << c.id;
    }
    EXPECT_EQ(0u, FindParentSubmenuId(nullptr, kAlpha, 0));
    DestroyMenu(root);
}
} // namespace
