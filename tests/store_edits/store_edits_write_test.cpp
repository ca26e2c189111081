// Writing items and creating submenus next to an item of the native tree.
#include <gtest/gtest.h>
#include "store/store_edits.h"
#include "tests/store_edits/store_edits_test_util.h"

using namespace edittest;
using menutest::BuiltMenu;
using menutest::IdOf;
using qtest::SetStringValue;

namespace {
class WriteItemValueTest : public StoreTest {};
class CreateSubmenuKeyTest : public StoreTest {};

std::string KeyClass(const std::string& keyPath) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<missing>";
    char keyClass[64] = "";
    DWORD size = sizeof keyClass;
    RegQueryInfoKeyA(key, keyClass, &size, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return keyClass;
}
} // namespace

TEST_F(WriteItemValueTest, LandsBesideTheItem) {
    SetStringValue(Path("S\\T"), "X", Item(1));
    SetStringValue(kSettings, "Top", Item(1));
    BuiltMenu menu;
    UINT id = IdOf(menu.Root(), "S\\T\\X");
    ASSERT_NE(0u, id);
    WriteItemValue(menu.Root(), id, 0, "New", "C:\\new.exe,,,,0,0,2,0");
    std::string bytes;
    DWORD type = 0;
    ASSERT_TRUE(menutest::ReadRaw(Path("S\\T"), "New", &bytes, &type));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    // Written with the record's length; the registry may add a terminator.
    if (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
    EXPECT_EQ("C:\\new.exe,,,,0,0,2,0", bytes);
    EXPECT_EQ((std::vector<std::string>{"Top"}), qtest::ValueNames(kSettings));

    // The same text again replaces that item's record.
    WriteItemValue(menu.Root(), id, 0, "X", "C:\\other.exe,,,,0,0,1,0");
    EXPECT_EQ("C:\\other.exe,,,,0,0,1,0", Record(Path("S\\T"), "X"));
    EXPECT_EQ(2u, qtest::ValueNames(Path("S\\T")).size());
}

TEST_F(WriteItemValueTest, PlaceholderOfEmptySubmenuWritesIntoThatSubmenu) {
    SetStringValue(Path("Empty"), "", ",,,,,,1,0");
    BuiltMenu menu;
    UINT placeholder = IdOf(menu.Root(), "Empty\\Insert Item...");
    UINT submenu = IdOf(menu.Root(), "Empty");
    ASSERT_NE(0u, placeholder);
    WriteItemValue(menu.Root(), placeholder, submenu, "First", Item(1).c_str());
    EXPECT_EQ(Item(1), Record(Path("Empty"), "First"));
    EXPECT_EQ(",,,,,,1,0", Record(Path("Empty"), "")) << "the submenu's record stays";
    EXPECT_TRUE(qtest::ValueNames(kSettings).empty());
}

TEST_F(WriteItemValueTest, PlaceholderOfEmptyRootWritesIntoSettings) {
    BuiltMenu menu;
    UINT placeholder = IdOf(menu.Root(), "Insert Item...");
    ASSERT_NE(0u, placeholder);
    WriteItemValue(menu.Root(), placeholder, 0, "First", Item(1).c_str());
    EXPECT_EQ(Item(1), Record(kSettings, "First"));
}

TEST_F(WriteItemValueTest, WritesNothingWithoutMenuIdNameRecordOrKnownId) {
    SetStringValue(kSettings, "A", Item(1));
    BuiltMenu menu;
    UINT id = IdOf(menu.Root(), "A");
    std::string before = Snapshot(kSettings);
    int handles = qtest::OpenHandles();
    WriteItemValue(nullptr, id, 0, "N", Item(2).c_str());
    WriteItemValue(menu.Root(), 0, 0, "N", Item(2).c_str());
    WriteItemValue(menu.Root(), id, 0, "", Item(2).c_str());
    WriteItemValue(menu.Root(), id, 0, "N", "");
    WriteItemValue(menu.Root(), id + 0x10000, 0, "N", Item(2).c_str());
    WriteItemValue(menu.Root(), id, id + 0x10000, "N", Item(2).c_str());
    EXPECT_EQ(before, Snapshot(kSettings));
    EXPECT_EQ(handles, qtest::OpenHandles()) << "a key was left open";
}

TEST_F(CreateSubmenuKeyTest, CreatesKeyWithClassAndRecord) {
    SetStringValue(Path("S"), "X", Item(1));
    BuiltMenu menu;
    int handles = qtest::OpenHandles();
    CreateSubmenuKey(menu.Root(), IdOf(menu.Root(), "S\\X"), 0, "New", ",,,,,,2,0");
    EXPECT_EQ(handles, qtest::OpenHandles()) << "a key was left open";
    EXPECT_EQ(",,,,,,2,0", Record(Path("S\\New"), ""));
    EXPECT_EQ("key", KeyClass(Path("S\\New")));
    EXPECT_EQ((std::vector<std::string>{"New"}), qtest::SubkeyNames(Path("S")));
}

TEST_F(CreateSubmenuKeyTest, ExistingSubkeyKeepsItsContents) {
    SetStringValue(Path("S"), "", ",,,,,,1,0");
    SetStringValue(Path("S"), "Kept", Item(1));
    SetStringValue(Path("S\\Inner"), "Deep", Item(1));
    SetStringValue(kSettings, "A", Item(2));
    BuiltMenu menu;
    CreateSubmenuKey(menu.Root(), IdOf(menu.Root(), "A"), 0, "S", ",,,icons.dll,2,,1,1");
    EXPECT_EQ(",,,icons.dll,2,,1,1", Record(Path("S"), ""));
    EXPECT_EQ(Item(1), Record(Path("S"), "Kept"));
    EXPECT_EQ(Item(1), Record(Path("S\\Inner"), "Deep"));
}

TEST_F(CreateSubmenuKeyTest, PlaceholderOfEmptySubmenuCreatesInsideIt) {
    SetStringValue(Path("Empty"), "", ",,,,,,1,0");
    BuiltMenu menu;
    CreateSubmenuKey(menu.Root(), IdOf(menu.Root(), "Empty\\Insert Item..."),
                     IdOf(menu.Root(), "Empty"), "Child", ",,,,,,1,0");
    EXPECT_EQ(",,,,,,1,0", Record(Path("Empty\\Child"), ""));
}

TEST_F(CreateSubmenuKeyTest, CreatesNothingForUnknownIdOrEmptyName) {
    SetStringValue(kSettings, "A", Item(1));
    BuiltMenu menu;
    UINT id = IdOf(menu.Root(), "A");
    std::string before = Snapshot(kSettings);
    CreateSubmenuKey(menu.Root(), id + 0x10000, 0, "N", ",,,,,,1,0");
    CreateSubmenuKey(menu.Root(), id, 0, "", ",,,,,,1,0");
    CreateSubmenuKey(menu.Root(), id, 0, "N", "");
    CreateSubmenuKey(nullptr, id, 0, "N", ",,,,,,1,0");
    EXPECT_EQ(before, Snapshot(kSettings));
}
