// Structure of the native tree built from the registry: which values and keys
// become items, their order, ids, item data and separators.
#include <gtest/gtest.h>
#include <string.h>
#include "menubuild/native_build.h"
#include "menubuild/native_menu.h"
#include "store/stored_menu.h"
#include "tests/menubuild/native_menu_test_util.h"

using namespace menutest;
using qtest::SetStringValue;

namespace {
class NativeMenuBuild : public ::testing::Test {
  protected:
    void SetUp() override { ResetStore(); }
    void TearDown() override { qtest::DeleteProductKey(); }
};

bool IsPlaceholder(const Item& item) {
    return item.text == "Insert Item..." && item.data &&
           memcmp(item.data, "\x01\x02\x03\x04\x05\x06\x07\x08", 9) == 0;
}
} // namespace

TEST_F(NativeMenuBuild, EmptySettingsKeyYieldsOnlyThePlaceholder) {
    BuiltMenu menu;
    EXPECT_NE(0, menu.Result());
    ASSERT_EQ(1, GetMenuItemCount(menu.Root()));
    Item item = ReadItem(menu.Root(), 0);
    EXPECT_TRUE(IsPlaceholder(item)) << "text '" << item.text << "'";
    EXPECT_EQ(LowByte(menu.Root()), item.id);
    EXPECT_EQ(nullptr, item.image);
    EXPECT_EQ(nullptr, item.mask);
    EXPECT_NE(PlaceholderMarker, item.data) << "the marker must be copied";
    EXPECT_EQ(8u, strlen(PlaceholderMarker));
}

TEST_F(NativeMenuBuild, EmptySubkeyAndSubkeyWithoutDefaultValue) {
    qtest::SetStringValue(Path("Empty"), "", ",,,,,,1,0");
    SetStringValue(Path("NoRecord"), "Inner", "C:\\none.exe,,,,0,0,1,0");
    BuiltMenu menu;
    EXPECT_EQ((std::vector<std::string>{"NoRecord", "Empty"}), Texts(menu.Root()));

    Item empty = ItemAt(menu.Root(), "Empty");
    ASSERT_NE(nullptr, empty.submenu);
    ASSERT_EQ(1, GetMenuItemCount(empty.submenu));
    EXPECT_TRUE(IsPlaceholder(ReadItem(empty.submenu, 0)));
    ASSERT_NE(nullptr, empty.data);
    EXPECT_STREQ(",,,,,,1,0", empty.data);

    Item noRecord = ItemAt(menu.Root(), "NoRecord");
    ASSERT_NE(nullptr, noRecord.submenu);
    EXPECT_EQ(nullptr, noRecord.data);
    EXPECT_EQ(nullptr, noRecord.image);
    EXPECT_EQ(nullptr, noRecord.mask);
    EXPECT_EQ((std::vector<std::string>{"Inner"}), Texts(noRecord.submenu));
}

TEST_F(NativeMenuBuild, OnlyNamedStringValuesThatFitBecomeItems) {
    SetStringValue(kSettings, "", "C:\\default.exe,,,,0,0,1,0");
    DWORD number = 7;
    SetRawValue(kSettings, "A dword", REG_DWORD, &number, sizeof number);
    const char expand[] = "%windir%\\notepad.exe";
    SetRawValue(kSettings, "B expand", REG_EXPAND_SZ, expand, sizeof expand);
    SetStringValue(kSettings, "C too long", std::string(1100, 'x'));
    SetStringValue(kSettings, "D item", "C:\\d.exe,,,,0,0,2,0");
    // Wine lists values by name, Windows by insertion; either way the
    // left-out values come before the item.
    std::vector<std::string> order = qtest::ValueNames(kSettings);
    ASSERT_EQ(4u, order.size());
    ASSERT_EQ("D item", order.back());

    BuiltMenu menu;
    EXPECT_EQ((std::vector<std::string>{"D item"}), Texts(menu.Root()));
}

TEST_F(NativeMenuBuild, EveryRecordTheStoreCanHoldIsShown) {
    std::string middle = "C:\\m.exe," + std::string(351, 'p') + ",,,0,0,2,0";
    ASSERT_EQ(370u, middle.size());
    std::string longest = "C:\\l.exe," + std::string(1059 - 19, 'q') + ",,,0,0,4,0";
    ASSERT_EQ(1059u, longest.size());
    SetStringValue(kSettings, "1 first", "C:\\a.exe,,,,0,0,1,0");
    SetStringValue(kSettings, "2 middle", middle);
    SetStringValue(kSettings, "3 last", "C:\\b.exe,,,,0,0,3,0");
    SetUnterminated(kSettings, "4 longest", longest);
    SetUnterminated(kSettings, "5 one more", longest + "0");
    ASSERT_EQ(
        (std::vector<std::string>{"1 first", "2 middle", "3 last", "4 longest", "5 one more"}),
        qtest::ValueNames(kSettings));

    BuiltMenu menu;
    // Native order is the reverse of the enumeration.
    EXPECT_EQ((std::vector<std::string>{"4 longest", "3 last", "2 middle", "1 first"}),
              Texts(menu.Root()));
    EXPECT_EQ(middle, std::string(ItemAt(menu.Root(), "2 middle").data));
    EXPECT_EQ(longest, std::string(ItemAt(menu.Root(), "4 longest").data));
}

TEST_F(NativeMenuBuild, RecordWithStoredTerminatorOfFullLengthIsShown) {
    std::string longest = std::string(1059, 'z');
    std::string stored = longest + '\0';
    SetRawValue(kSettings, "Item", REG_SZ, stored.data(), static_cast<DWORD>(stored.size()));
    BuiltMenu menu;
    ASSERT_EQ((std::vector<std::string>{"Item"}), Texts(menu.Root()));
    EXPECT_EQ(longest, std::string(ItemAt(menu.Root(), "Item").data));
}

TEST_F(NativeMenuBuild, ShorterRecordAfterLongerOneIsEndedAtItsOwnLength) {
    SetUnterminated(kSettings, "A", "C:\\long\\path\\program.exe,,,,0,0,1,0");
    SetUnterminated(kSettings, "B", "x");
    ASSERT_EQ((std::vector<std::string>{"A", "B"}), qtest::ValueNames(kSettings));
    BuiltMenu menu;
    EXPECT_STREQ("x", ItemAt(menu.Root(), "B").data);
}

TEST_F(NativeMenuBuild, LongValueNameDoesNotHideLaterItems) {
    SetStringValue(kSettings, "A" + std::string(300, 'n'), "C:\\a.exe,,,,0,0,1,0");
    std::string longestName = "B" + std::string(258, 'n');
    SetStringValue(kSettings, longestName, "C:\\b.exe,,,,0,0,2,0");
    SetStringValue(kSettings, "C", "C:\\c.exe,,,,0,0,3,0");
    ASSERT_EQ('A', qtest::ValueNames(kSettings).front()[0]);
    BuiltMenu menu;
    EXPECT_EQ((std::vector<std::string>{"C", longestName}), Texts(menu.Root()));
}

TEST_F(NativeMenuBuild, SubmenusGoBelowItemsInReverseEnumerationOrder) {
    SetStringValue(Path("S1"), "", ",,,,,,3,0");
    SetStringValue(Path("S2"), "", ",,,,,,4,0");
    SetStringValue(Path("S1\\Deep"), "Leaf", "C:\\leaf.exe,,,,0,0,1,0");
    SetStringValue(kSettings, "V1", "C:\\v1.exe,,,,0,0,1,0");
    SetStringValue(kSettings, "V2", "C:\\v2.exe,,,,0,0,2,0");
    BuiltMenu menu;
    EXPECT_EQ((std::vector<std::string>{"V2", "V1", "S2", "S1"}), Texts(menu.Root()));
    EXPECT_EQ("Leaf", ItemAt(menu.Root(), "S1\\Deep\\Leaf").text);
    EXPECT_STREQ("C:\\leaf.exe,,,,0,0,1,0", ItemAt(menu.Root(), "S1\\Deep\\Leaf").data);
}

TEST_F(NativeMenuBuild, SeparatorSitsDirectlyAboveItsItemWithAnEqualCopy) {
    const char record[] = "C:\\b.exe,,,,0,0,2,1";
    SetStringValue(kSettings, "A", "C:\\a.exe,,,,0,0,1,0");
    SetStringValue(kSettings, "B", record);
    SetStringValue(Path("Sub"), "", ",,,,,,3,1");
    ASSERT_EQ((std::vector<std::string>{"A", "B"}), qtest::ValueNames(kSettings));
    BuiltMenu menu;
    ASSERT_EQ((std::vector<std::string>{"-", "B", "A", "-", "Sub"}), Texts(menu.Root()));
    Item separator = ReadItem(menu.Root(), 0);
    Item item = ReadItem(menu.Root(), 1);
    EXPECT_EQ(0u, separator.id);
    ASSERT_NE(nullptr, separator.data);
    EXPECT_STREQ(record, separator.data);
    EXPECT_STREQ(record, item.data);
    EXPECT_NE(separator.data, item.data) << "each item needs its own copy";
    EXPECT_STREQ(",,,,,,3,1", ReadItem(menu.Root(), 3).data);
}

TEST_F(NativeMenuBuild, IdsCountItemsOfTheMenuTheyAreCountedIn) {
    SetStringValue(kSettings, "A", "C:\\a.exe,,,,0,0,1,0");
    SetStringValue(kSettings, "B", "C:\\b.exe,,,,0,0,2,1");
    SetStringValue(kSettings, "C", "C:\\c.exe,,,,0,0,3,0");
    SetStringValue(Path("Sub"), "X", "C:\\x.exe,,,,0,0,1,0");
    SetStringValue(Path("Sub"), "Y", "C:\\y.exe,,,,0,0,2,0");
    SetStringValue(Path("Sub"), "Z", "C:\\z.exe,,,,0,0,3,0");
    ASSERT_EQ((std::vector<std::string>{"A", "B", "C"}), qtest::ValueNames(kSettings));
    BuiltMenu menu;
    HMENU root = menu.Root();
    UINT low = LowByte(root);
    // The submenu item came first (count 0 before it), then A, B and its
    // separator, then C.
    EXPECT_EQ(1 * 256 + low, IdOf(root, "A"));
    EXPECT_EQ(2 * 256 + low, IdOf(root, "B"));
    EXPECT_EQ(4 * 256 + low, IdOf(root, "C"));
    Item sub = ItemAt(root, "Sub");
    ASSERT_NE(nullptr, sub.submenu);
    UINT subLow = LowByte(sub.submenu);
    EXPECT_EQ(3 * 256 + subLow, sub.id);
    EXPECT_EQ(0 * 256 + subLow, IdOf(root, "Sub\\X"));
    EXPECT_EQ(2 * 256 + subLow, IdOf(root, "Sub\\Z"));
    EXPECT_EQ(static_cast<UINT>(-1), GetMenuItemID(root, 4)) << "Sub opens a submenu";
}

TEST_F(NativeMenuBuild, ItemDataIsAZeroTerminatedCopyOnTheProcessHeap) {
    const char record[] = "C:\\a.exe,-x,C:\\,,0,0,1,0";
    SetStringValue(kSettings, "A", record);
    BuiltMenu menu;
    MENUITEMINFOA info = {};
    info.cbSize = offsetof(MENUITEMINFOA, hbmpItem);
    info.fMask = MIIM_DATA | MIIM_STATE | MIIM_TYPE;
    ASSERT_TRUE(GetMenuItemInfoA(menu.Root(), 0, TRUE, &info));
    EXPECT_EQ(static_cast<UINT>(MFT_STRING), info.fType);
    EXPECT_EQ(0u, info.fState);
    void* data = reinterpret_cast<void*>(info.dwItemData);
    ASSERT_NE(nullptr, data);
    EXPECT_EQ(sizeof record, HeapSize(GetProcessHeap(), 0, data));
    EXPECT_STREQ(record, static_cast<const char*>(data));
}

TEST_F(NativeMenuBuild, FillAndAddReportWhatTheyAdded) {
    SetStringValue(Path("S1"), "I", "C:\\i.exe,,,,0,0,1,0");
    SetStringValue(Path("S2"), "", ",,,,,,2,0");
    SetStringValue(kSettings, "V", "C:\\v.exe,,,,0,0,3,0");
    StoredKey tree;
    ASSERT_TRUE(qtest::ReadSettingsTree(&tree));
    qtest::TestPress press;
    NativeBuild build(press.Context(), nullptr);
    HMENU submenus = CreatePopupMenu();
    HMENU launchers = CreatePopupMenu();
    HMENU filled = CreatePopupMenu();
    EXPECT_EQ(2, AddSubmenuItems(build, submenus, tree));
    EXPECT_EQ(1, AddLauncherItems(build, launchers, tree));
    EXPECT_EQ(1, FillMenuFromStore(build, filled, tree));
    EXPECT_EQ(3, GetMenuItemCount(filled));
    for (HMENU m : {submenus, launchers, filled}) {
        DestroyMenuTree(m);
        DestroyMenu(m);
    }
}

TEST_F(NativeMenuBuild, NoMenuIsReadWithoutSettingsKey) {
    qtest::DeleteProductKey();
    HKEY software;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_ALL_ACCESS, &software));
    HKEY quoril;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(software, "Quoril", 0, nullptr, REG_OPTION_VOLATILE,
                                             KEY_ALL_ACCESS, nullptr, &quoril, nullptr));
    RegCloseKey(quoril);
    RegCloseKey(software);
    // A volatile parent cannot hold the non-volatile keys of the store: the
    // press reads no tree, so it builds no menu.
    KeptMenu kept;
    StoredKey tree;
    EXPECT_FALSE(ReadAndNormalizeMenu(kept, &tree));
    ASSERT_FALSE(qtest::KeyExists(kSettings));
    EXPECT_TRUE(tree.values.empty());
    EXPECT_TRUE(tree.subkeys.empty());
}
