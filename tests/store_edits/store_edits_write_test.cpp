// Writing items and creating submenus in the key a key path names.
#include <gtest/gtest.h>
#include "menubuild/native_menu_lookup.h"
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

TEST_F(WriteItemValueTest, LandsInTheKeyThePathNames) {
    SetStringValue(Path("S\\T"), "X", Item(1));
    SetStringValue(kSettings, "Top", Item(1));
    int handles = qtest::OpenHandles();
    WriteItemValue("S\\T", "New", "C:\\new.exe,,,,0,0,2,0");
    EXPECT_EQ(handles, qtest::OpenHandles()) << "a key was left open";
    std::string bytes;
    DWORD type = 0;
    ASSERT_TRUE(menutest::ReadRaw(Path("S\\T"), "New", &bytes, &type));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    // Written with the record's length; the registry may add a terminator.
    if (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
    EXPECT_EQ("C:\\new.exe,,,,0,0,2,0", bytes);
    EXPECT_EQ((std::vector<std::string>{"Top"}), qtest::ValueNames(kSettings));

    // The same text again replaces that item's record.
    WriteItemValue("S\\T", "X", "C:\\other.exe,,,,0,0,1,0");
    EXPECT_EQ("C:\\other.exe,,,,0,0,1,0", Record(Path("S\\T"), "X"));
    EXPECT_EQ(2u, qtest::ValueNames(Path("S\\T")).size());
}

TEST_F(WriteItemValueTest, PlaceholderOfEmptySubmenuWritesIntoThatSubmenu) {
    SetStringValue(Path("Empty"), "", ",,,,,,1,0");
    BuiltMenu menu;
    ASSERT_NE(0u, IdOf(menu.Root(), "Empty\\Insert Item..."));
    std::string path;
    ASSERT_TRUE(FindSubmenuPath(menu.Root(), IdOf(menu.Root(), "Empty"), &path));
    WriteItemValue(path, "First", Item(1).c_str());
    EXPECT_EQ(Item(1), Record(Path("Empty"), "First"));
    EXPECT_EQ(",,,,,,1,0", Record(Path("Empty"), "")) << "the submenu's record stays";
    EXPECT_TRUE(qtest::ValueNames(kSettings).empty());
}

TEST_F(WriteItemValueTest, PlaceholderOfEmptyRootWritesIntoSettings) {
    BuiltMenu menu;
    std::string path;
    ASSERT_TRUE(FindItemPath(menu.Root(), IdOf(menu.Root(), "Insert Item..."), &path));
    WriteItemValue(path, "First", Item(1).c_str());
    EXPECT_EQ(Item(1), Record(kSettings, "First"));
}

TEST_F(WriteItemValueTest, WritesNothingWithoutNameRecordOrKnownKey) {
    SetStringValue(kSettings, "A", Item(1));
    SetStringValue(Path("S"), "B", Item(1));
    std::string before = Snapshot(kSettings);
    int handles = qtest::OpenHandles();
    WriteItemValue("", "", Item(2).c_str());
    WriteItemValue("", nullptr, Item(2).c_str());
    WriteItemValue("", "N", "");
    WriteItemValue("", "N", nullptr);
    for (const char* missing : {"Missing", "S\\Missing", "A", "S\\", "\\S", "S\\\\B"})
        WriteItemValue(missing, "N", Item(2).c_str());
    EXPECT_EQ(before, Snapshot(kSettings));
    EXPECT_EQ(handles, qtest::OpenHandles()) << "a key was left open";
}

TEST_F(CreateSubmenuKeyTest, CreatesKeyWithClassAndRecord) {
    SetStringValue(Path("S"), "X", Item(1));
    int handles = qtest::OpenHandles();
    CreateSubmenuKey("S", "New", ",,,,,,2,0");
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
    CreateSubmenuKey("", "S", ",,,icons.dll,2,,1,1");
    EXPECT_EQ(",,,icons.dll,2,,1,1", Record(Path("S"), ""));
    EXPECT_EQ(Item(1), Record(Path("S"), "Kept"));
    EXPECT_EQ(Item(1), Record(Path("S\\Inner"), "Deep"));
}

TEST_F(CreateSubmenuKeyTest, PlaceholderOfEmptySubmenuCreatesInsideIt) {
    SetStringValue(Path("Empty"), "", ",,,,,,1,0");
    BuiltMenu menu;
    std::string path;
    ASSERT_TRUE(FindSubmenuPath(menu.Root(), IdOf(menu.Root(), "Empty"), &path));
    CreateSubmenuKey(path, "Child", ",,,,,,1,0");
    EXPECT_EQ(",,,,,,1,0", Record(Path("Empty\\Child"), ""));
}

TEST_F(CreateSubmenuKeyTest, CreatesNothingForAMissingKeyOrEmptyName) {
    SetStringValue(kSettings, "A", Item(1));
    std::string before = Snapshot(kSettings);
    CreateSubmenuKey("Missing", "N", ",,,,,,1,0");
    CreateSubmenuKey("Missing\\Deeper", "N", ",,,,,,1,0");
    CreateSubmenuKey("", "", ",,,,,,1,0");
    CreateSubmenuKey("", "N", "");
    CreateSubmenuKey("", nullptr, ",,,,,,1,0");
    EXPECT_EQ(before, Snapshot(kSettings));
}
