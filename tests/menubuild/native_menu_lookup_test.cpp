// From the command ids of a native menu tree back to key paths of the store:
// which key holds which id, unknown ids, keys that went while the menu was
// shown; and the description of an item that the editor's flows act on.
#include <gtest/gtest.h>
#include <string>
#include "menubuild/native_menu_lookup.h"
#include "store/registry_layout.h"
#include "tests/menubuild/native_menu_test_util.h"
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
class MenuLookup : public ::testing::Test {
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
        EXPECT_EQ(m_startHandles, qtest::OpenKeyHandles()) << "a lookup left a key open";
        DestroyMenu(m_root);
        qtest::DeleteProductKey();
    }

    // The key path of the key holding `id`, "<none>" when it is not found.
    std::string ItemPath(UINT id, HMENU root = nullptr) const {
        std::string path = "<untouched>";
        return FindItemPath(root ? root : m_root, id, &path) ? path : "<none>";
    }
    std::string SubmenuPath(UINT id, HMENU root = nullptr) const {
        std::string path = "<untouched>";
        return FindSubmenuPath(root ? root : m_root, id, &path) ? path : "<none>";
    }

    HMENU m_root = nullptr;
    int m_startHandles = 0;
};

bool HasValue(HKEY key, const char* name) {
    return RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// Which key of the tree the key path opens, told by the value it holds.
std::string Which(const std::string& keyPath) {
    OwnedKey key = OpenMenuKey(keyPath);
    if (!key) return "<none>";
    if (HasValue(key.Get(), "Alpha")) return "Settings";
    if (HasValue(key.Get(), "Calc")) return "Tools";
    if (HasValue(key.Get(), "Leaf")) return "Deep";
    if (HasValue(key.Get(), "Chess")) return "Games";
    return "<other>";
}

TEST_F(MenuLookup, RegistryKeysShowAsHandles) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key));
    EXPECT_EQ(m_startHandles + 1, qtest::OpenKeyHandles());
    RegCloseKey(key);
    EXPECT_EQ(m_startHandles, qtest::OpenKeyHandles());
}

TEST_F(MenuLookup, SubmenuIdZeroNamesTheSettingsKey) {
    EXPECT_EQ("", SubmenuPath(0));
    EXPECT_EQ("Settings", Which(SubmenuPath(0)));
}

TEST_F(MenuLookup, ItemPathIsTheKeyOfTheHoldingMenu) {
    struct {
        UINT id;
        const char* path;
        const char* key;
    } cases[] = {
        {kAlpha, "", "Settings"},   {kOmega, "", "Settings"},       {kCalc, "Tools", "Tools"},
        {kLater, "Tools", "Tools"}, {kLeaf, "Tools\\Deep", "Deep"}, {kChess, "Games", "Games"},
        {kTools, "", "Settings"},   {kDeep, "Tools", "Tools"},      {kGames, "", "Settings"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(c.path, ItemPath(c.id));
        EXPECT_EQ(c.key, Which(ItemPath(c.id)));
    }
}

TEST_F(MenuLookup, SubmenuPathIsTheSubmenusOwnKey) {
    struct {
        UINT id;
        const char* path;
        const char* key;
    } cases[] = {
        {kTools, "Tools", "Tools"}, {kDeep, "Tools\\Deep", "Deep"}, {kGames, "Games", "Games"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(c.path, SubmenuPath(c.id));
        EXPECT_EQ(c.key, Which(SubmenuPath(c.id)));
    }
}

TEST_F(MenuLookup, UnknownIdsAndBadArgumentsFindNothingAndLeaveThePathAlone) {
    EXPECT_EQ("<none>", ItemPath(kUnknown));
    EXPECT_EQ("<none>", SubmenuPath(kUnknown));
    EXPECT_EQ("<none>", ItemPath(0));
    std::string path = "<untouched>";
    EXPECT_FALSE(FindItemPath(nullptr, kAlpha, &path));
    EXPECT_FALSE(FindSubmenuPath(nullptr, kTools, &path));
    EXPECT_EQ("<untouched>", path);
    HMENU empty = CreatePopupMenu();
    EXPECT_EQ("<none>", ItemPath(kAlpha, empty));
    EXPECT_EQ("<none>", SubmenuPath(kTools, empty));
    DestroyMenu(empty);
    // A plain item's id names no sub-key.
    EXPECT_EQ("<none>", SubmenuPath(kAlpha));
}

TEST_F(MenuLookup, DisappearedSubmenuKeyStopsTheSearchOfItsMenu) {
    qtest::DeleteProductKey();
    qtest::SetStringValue(kSettings, "Alpha", "a.exe,,,,0,0,1,0");
    qtest::SetStringValue(kSettings + "\\Games", "Chess", "chess.exe,,,,0,0,1,0");
    // "Tools" is gone while the menu still shows it.
    struct {
        UINT id;
        const char* path;
    } cases[] = {{kAlpha, ""},       {kTools, ""},       {kCalc, "<none>"},
                 {kGames, "<none>"}, {kChess, "<none>"}, {kOmega, "<none>"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(c.path, ItemPath(c.id));
    }
    EXPECT_EQ("<none>", SubmenuPath(kGames));
}

TEST_F(MenuLookup, DisappearedNestedKeyLetsTheEnclosingMenuGoOn) {
    HKEY tools;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, (kSettings + "\\Tools").c_str(), 0,
                                           KEY_ALL_ACCESS, &tools));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyA(tools, "Deep"));
    RegCloseKey(tools);
    struct {
        UINT id;
        const char* path;
    } cases[] = {{kCalc, "Tools"},   {kDeep, "Tools"},  {kLeaf, "<none>"},
                 {kLater, "<none>"}, {kChess, "Games"}, {kOmega, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(c.path, ItemPath(c.id));
    }
    EXPECT_EQ("<none>", SubmenuPath(kDeep));
    EXPECT_EQ("Games", SubmenuPath(kGames));
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

// Items described from the native tree a press builds out of the store.
class DescribeMenuItemTest : public ::testing::Test {
  protected:
    void SetUp() override { menutest::ResetStore(); }
    void TearDown() override { qtest::DeleteProductKey(); }

    MenuEntryAddress Describe(HMENU root, UINT id) {
        MenuEntryAddress entry;
        entry.keyPath = "<untouched>";
        bool found = DescribeMenuItem(root, id, &entry);
        EXPECT_EQ(found, entry.found);
        return entry;
    }
};

TEST_F(DescribeMenuItemTest, NamesTheEntryItsKeyAndItsMenusSize) {
    using menutest::Path;
    qtest::SetStringValue(Path("Tools"), "", ",,,C:\\t.ico,0,0,2,1");
    qtest::SetStringValue(Path("Tools"), "Calc", "C:\\calc.exe,,,,0,0,1,0");
    qtest::SetStringValue(Path("Tools"), "Notes", "C:\\notes.exe,-n,,,0,0,2,1");
    qtest::SetStringValue(Path("Tools\\Games"), "Chess", "C:\\chess.exe,,,,0,0,1,0");
    qtest::SetStringValue(menutest::kSettings, "Top", "C:\\top.exe,,,,0,0,1,0");
    menutest::BuiltMenu menu;
    const int handles = qtest::OpenKeyHandles();

    MenuEntryAddress notes = Describe(menu.Root(), menutest::IdOf(menu.Root(), "Tools\\Notes"));
    EXPECT_TRUE(notes.found);
    EXPECT_TRUE(notes.keyFound);
    EXPECT_EQ("Tools", notes.keyPath);
    EXPECT_EQ("Notes", notes.name);
    EXPECT_FALSE(notes.isSubmenu);
    EXPECT_FALSE(notes.placeholder);
    EXPECT_EQ("C:\\notes.exe,-n,,,0,0,2,1", notes.record);
    // Calc, Notes, the line Notes asks for, and Games.
    EXPECT_EQ(4, notes.siblingCount);

    MenuEntryAddress tools = Describe(menu.Root(), menutest::IdOf(menu.Root(), "Tools"));
    EXPECT_EQ("", tools.keyPath);
    EXPECT_EQ("Tools", tools.name);
    EXPECT_TRUE(tools.isSubmenu);
    EXPECT_EQ(",,,C:\\t.ico,0,0,2,1", tools.record);
    EXPECT_EQ(3, tools.siblingCount) << "Top, Tools and the line Tools asks for";

    MenuEntryAddress chess =
        Describe(menu.Root(), menutest::IdOf(menu.Root(), "Tools\\Games\\Chess"));
    EXPECT_EQ("Tools\\Games", chess.keyPath);
    EXPECT_EQ(1, chess.siblingCount);
    EXPECT_EQ(handles, qtest::OpenKeyHandles()) << "a key was left open";
}

TEST_F(DescribeMenuItemTest, TellsThePlaceholderAndWhatTheMenuDoesNotHold) {
    using menutest::Path;
    qtest::SetStringValue(Path("Empty"), "", ",,,,0,0,1,0");
    menutest::BuiltMenu menu;
    MenuEntryAddress placeholder =
        Describe(menu.Root(), menutest::IdOf(menu.Root(), "Empty\\Insert Item..."));
    EXPECT_TRUE(placeholder.found);
    EXPECT_TRUE(placeholder.placeholder);
    EXPECT_EQ("Empty", placeholder.keyPath) << "it stands in the empty submenu";
    EXPECT_EQ("Insert Item...", placeholder.name);

    for (UINT id : {0u, 0x7777u, static_cast<UINT>(-1)}) {
        SCOPED_TRACE(id);
        MenuEntryAddress none = Describe(menu.Root(), id);
        EXPECT_FALSE(none.found);
        EXPECT_FALSE(none.keyFound);
        EXPECT_EQ("", none.keyPath) << "a fresh description";
        EXPECT_EQ("", none.name);
    }
    EXPECT_FALSE(Describe(nullptr, menutest::IdOf(menu.Root(), "Empty")).found);
}

TEST_F(DescribeMenuItemTest, AnItemWhoseKeyWentIsFoundWithoutItsKey) {
    using menutest::Path;
    qtest::SetStringValue(Path("Gone"), "Item", "C:\\item.exe,,,,0,0,1,0");
    menutest::BuiltMenu menu;
    UINT id = menutest::IdOf(menu.Root(), "Gone\\Item");
    ASSERT_NE(0u, id);
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_CURRENT_USER, Path("Gone").c_str()));
    MenuEntryAddress item = Describe(menu.Root(), id);
    EXPECT_TRUE(item.found) << "the menu still shows it";
    EXPECT_EQ("Item", item.name);
    EXPECT_FALSE(item.keyFound);
}
} // namespace
