#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include "menubuild/menu_item_data.h"

namespace {
std::string Str(const char* s) {
    return s ? s : "<absent>";
}

// A native popup menu whose items carry records as item data, built the way
// the menu builder does: text, command id and a record pointer.
class NativeMenu {
  public:
    NativeMenu() : m_menu(CreatePopupMenu()) {}
    ~NativeMenu() { DestroyMenu(m_menu); }
    HMENU Handle() const { return m_menu; }
    // Appends an item; `record` null means no item data.
    void Add(const char* text, UINT id, const char* record) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_TYPE | MIIM_DATA;
        info.fType = MFT_STRING;
        info.wID = id;
        info.dwTypeData = const_cast<char*>(text);
        info.dwItemData = reinterpret_cast<ULONG_PTR>(record);
        InsertMenuItemA(m_menu, GetMenuItemCount(m_menu), TRUE, &info);
    }

  private:
    HMENU m_menu;
};

TEST(GetMenuItemData, ByPositionGivesZeroBasedOrOwnPosition) {
    char stored[] = "C:\\x.exe,-a,C:\\,icons.dll,2,0,3,1";
    char noPosition[] = "C:\\y.exe";
    NativeMenu menu;
    menu.Add("Stored", 0x101, stored);
    menu.Add("Bare", 0x102, nullptr);
    menu.Add("NoPosition", 0x103, noPosition);

    MenuItemData data;
    ASSERT_TRUE(GetMenuItemData(menu.Handle(), 0, TRUE, &data));
    EXPECT_EQ("Stored", Str(data.info.dwTypeData));
    EXPECT_EQ(0x101u, data.info.wID);
    EXPECT_EQ("C:\\x.exe", Str(data.fields.target));
    EXPECT_EQ("-a", Str(data.fields.parameters));
    EXPECT_EQ("icons.dll", Str(data.fields.iconPath));
    EXPECT_EQ(2, data.fields.iconIndex);
    EXPECT_EQ(2, data.fields.position) << "stored place 3 read by position is 2";
    EXPECT_EQ(1, data.fields.separator);

    ASSERT_TRUE(GetMenuItemData(menu.Handle(), 1, TRUE, &data));
    EXPECT_EQ("Bare", Str(data.info.dwTypeData));
    EXPECT_EQ(0u, data.info.dwItemData);
    EXPECT_EQ(nullptr, data.fields.target);
    EXPECT_EQ(nullptr, data.fields.iconPath);
    EXPECT_EQ(0, data.fields.iconIndex);
    EXPECT_EQ(0, data.fields.separator);
    EXPECT_EQ(1, data.fields.position) << "an item without data gets its own position";

    ASSERT_TRUE(GetMenuItemData(menu.Handle(), 2, TRUE, &data));
    EXPECT_EQ("C:\\y.exe", Str(data.fields.target));
    EXPECT_EQ(2, data.fields.position) << "a record without position gets its own position";
}

TEST(GetMenuItemData, ByCommandKeepsStoredPosition) {
    char stored[] = "C:\\x.exe,,,,0,0,3,0";
    char noPosition[] = "C:\\y.exe";
    NativeMenu menu;
    menu.Add("Stored", 0x201, stored);
    menu.Add("Bare", 0x202, nullptr);
    menu.Add("NoPosition", 0x203, noPosition);

    MenuItemData data;
    ASSERT_TRUE(GetMenuItemData(menu.Handle(), 0x201, FALSE, &data));
    EXPECT_EQ(3, data.fields.position);
    ASSERT_TRUE(GetMenuItemData(menu.Handle(), 0x202, FALSE, &data));
    EXPECT_EQ("Bare", Str(data.info.dwTypeData));
    EXPECT_EQ(nullptr, data.fields.target);
    EXPECT_EQ(0, data.fields.position);
    ASSERT_TRUE(GetMenuItemData(menu.Handle(), 0x203, FALSE, &data));
    EXPECT_EQ(0, data.fields.position);
}

TEST(GetMenuItemData, SplitsACopyAndLeavesTheItemDataIntact) {
    char stored[] = "a,b,c,d,1,2,3,4";
    NativeMenu menu;
    menu.Add("Item", 0x301, stored);
    MenuItemData data;
    ASSERT_TRUE(GetMenuItemData(menu.Handle(), 0x301, FALSE, &data));
    EXPECT_STREQ("a,b,c,d,1,2,3,4", stored);
    EXPECT_NE(stored, data.fields.target);
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(stored), data.info.dwItemData);
}

TEST(GetMenuItemData, EachReadingKeepsItsOwnTextAndRecord) {
    char first[] = "C:\\first.exe,-1,,,0,0,1,0";
    char second[] = "C:\\second.exe,-2,,,0,0,2,0";
    NativeMenu menu;
    menu.Add("First", 0x601, first);
    menu.Add("Second", 0x602, second);
    MenuItemData a;
    MenuItemData b;
    ASSERT_TRUE(GetMenuItemData(menu.Handle(), 0x601, FALSE, &a));
    ASSERT_TRUE(GetMenuItemData(menu.Handle(), 0x602, FALSE, &b));
    // The second reading leaves the first one as it was read.
    EXPECT_EQ("First", Str(a.info.dwTypeData));
    EXPECT_EQ("C:\\first.exe", Str(a.fields.target));
    EXPECT_EQ("-1", Str(a.fields.parameters));
    EXPECT_EQ("Second", Str(b.info.dwTypeData));
    EXPECT_EQ("C:\\second.exe", Str(b.fields.target));
    // Reading again into the same one replaces what it held.
    ASSERT_TRUE(GetMenuItemData(menu.Handle(), 0x602, FALSE, &a));
    EXPECT_EQ("Second", Str(a.info.dwTypeData));
    EXPECT_EQ("-2", Str(a.fields.parameters));
    EXPECT_EQ(2, a.fields.position);
}

TEST(GetMenuItemData, MissingItemFailsWithClearedFields) {
    char stored[] = "a,,,,1,0,5,1";
    NativeMenu menu;
    menu.Add("Item", 0x401, stored);
    MenuItemData data;
    ASSERT_TRUE(GetMenuItemData(menu.Handle(), 0, TRUE, &data));
    EXPECT_FALSE(GetMenuItemData(menu.Handle(), 7, TRUE, &data));
    EXPECT_EQ(nullptr, data.fields.target);
    EXPECT_EQ(0, data.fields.position);
    EXPECT_EQ(0, data.fields.separator);
    EXPECT_FALSE(GetMenuItemData(menu.Handle(), 0x999, FALSE, &data));
    EXPECT_FALSE(GetMenuItemData(nullptr, 0, TRUE, &data));
}

TEST(GetMenuItemData, OverlongTextAndRecordAreCut) {
    std::string text(300, 'T');
    std::string record(5000, 'r');
    NativeMenu menu;
    menu.Add(text.c_str(), 0x501, record.c_str());
    MenuItemData data;
    ASSERT_TRUE(GetMenuItemData(menu.Handle(), 0, TRUE, &data));
    EXPECT_EQ(std::string(259, 'T'), Str(data.info.dwTypeData));
    EXPECT_EQ(std::string(kRecordBufferSize - 1, 'r'), Str(data.fields.target));
    EXPECT_EQ(0, data.fields.position);

    // Fields that start beyond the work buffer are absent; those within it stay.
    std::string cut(kRecordBufferSize - 4, 'x');
    cut += ",a,b,c,d,1,2,3,4";
    NativeMenu second;
    second.Add("Cut", 0x502, cut.c_str());
    ASSERT_TRUE(GetMenuItemData(second.Handle(), 0x502, FALSE, &data));
    EXPECT_EQ(static_cast<size_t>(kRecordBufferSize - 4), strlen(data.fields.target));
    EXPECT_EQ("a", Str(data.fields.parameters));
    EXPECT_EQ("", Str(data.fields.startIn)) << "'b' lies past the 1059th character";
    EXPECT_EQ(nullptr, data.fields.iconPath);
    EXPECT_EQ(0, data.fields.position);
}
} // namespace
