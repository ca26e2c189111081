// Records and names that the code page cannot hold, written through the wide
// API as other programs write them, survive every renumbering, insert, delete
// and move to the last character; nothing new appears beside them, and no
// edit lands on another entry than the one meant.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "menubuild/native_menu.h"
#include "menubuild/native_menu_lookup.h"
#include "tests/support/test_press.h"
#include "store/store_edits.h"
#include "tests/support/test_support.h"
#include "tests/wide/wide_registry.h"

namespace {
using namespace widetest;

// A path with characters outside the code page, as in a report from the field.
const std::wstring kCjkRecord = L"C:\\rel\\text.txt\u4E2D\u6587,,C:\\windows,,0,0,1,0";
// Best-fit look-alikes: the ANSI API would silently turn them into l and o.
const std::wstring kLookAlikeRecord = L"C:\\\u0141\u00F3d\u017A\\\u0151.exe,,,,0,0,2,0";
const std::wstring kPlainRecord = L"C:\\plain.exe,,,,0,0,3,0";

class WideText : public ::testing::Test {
  protected:
    void SetUp() override { qtest::DeleteProductKey(); }
    void TearDown() override {
        if (m_root) {
            DestroyMenuTree(m_root);
            DestroyMenu(m_root);
        }
        qtest::DeleteProductKey();
    }
    // Builds the native tree of a press over what is stored now.
    void Build() {
        m_root = CreatePopupMenu();
        qtest::TestPress press;
        ASSERT_TRUE(qtest::BuildFromStore(press.Context(), nullptr, m_root));
    }
    // Command id of the root menu's item with the text `text`; 0 when none.
    UINT IdOf(const char* text) const {
        for (int i = 0; i < GetMenuItemCount(m_root); ++i) {
            char item[260] = "";
            GetMenuStringA(m_root, i, item, sizeof item, MF_BYPOSITION);
            if (std::string(item) != text) continue;
            MENUITEMINFOA info = {};
            info.cbSize = sizeof info;
            info.fMask = MIIM_ID; // GetMenuItemID says -1 for a submenu item
            return GetMenuItemInfoA(m_root, i, TRUE, &info) ? info.wID : 0;
        }
        return 0;
    }
    // The key path of the key that holds the root menu's item `text`.
    std::string KeyOf(const char* text) const {
        std::string path = "<none>";
        FindItemPath(m_root, IdOf(text), &path);
        return path;
    }
    int ItemsWithText(const char* text) const {
        int count = 0;
        for (int i = 0; i < GetMenuItemCount(m_root); ++i) {
            char item[260] = "";
            GetMenuStringA(m_root, i, item, sizeof item, MF_BYPOSITION);
            if (std::string(item) == text) ++count;
        }
        return count;
    }
    HMENU m_root = nullptr;
};

TEST_F(WideText, GivingPositionsKeepsEveryCharacterAndAddsNothing) {
    // Records without a position, which the press's pass numbers.
    SetRecord(L"", L"Cjk", L"C:\\rel\\text.txt\u4E2D\u6587,,C:\\windows,");
    SetRecord(L"", L"Look", L"C:\\\u0141\u00F3d\u017A\\\u0151.exe,,,,0,0,,0");
    SetRecord(L"", L"\u4E2D\u6587\u540D", L"C:\\named.exe,,,,0,0,,0");
    SetRecord(L"Sub\u83DC\u5355", L"", L",,,C:\\\u56FE\u6807.ico,0,,,0");
    SetRecord(L"Sub\u83DC\u5355", L"Inner\u0151", L"C:\\in\u0142.exe,,,,,,,");
    // A record past the 1,059-character limit is not rewritten at all.
    const std::wstring longRecord = L"C:\\" + std::wstring(1100, L'a') + L"\u4E2D,,,,0,0,,0";
    SetRecord(L"", L"Long", longRecord);
    // A complete record whose text would not change is not written either.
    SetRecord(L"", L"Done", kLookAlikeRecord);
    const Snapshot before = Take();

    {
        OwnedKey settings(OpenSettingsKey());
        ASSERT_TRUE(settings);
        StoredKey tree;
        ReadStoredTree(settings.Get(), true, &tree); // as a press reads it
    }

    const Snapshot after = Take();
    EXPECT_EQ(Entries(before), Entries(after)) << "values or keys appeared or went";
    std::wstring cjk = Record(L"", L"Cjk");
    EXPECT_EQ(L"C:\\rel\\text.txt\u4E2D\u6587,,C:\\windows,,0,0," +
                  std::to_wstring(PositionOf(cjk)) + L",0",
              cjk);
    EXPECT_GT(PositionOf(cjk), 0);
    std::wstring look = Record(L"", L"Look");
    EXPECT_EQ(WithPosition(L"C:\\\u0141\u00F3d\u017A\\\u0151.exe,,,,0,0,0,0", PositionOf(look)),
              look);
    EXPECT_GT(PositionOf(look), 0);
    EXPECT_GT(PositionOf(Record(L"", L"\u4E2D\u6587\u540D")), 0)
        << "a record under a name the code page cannot hold was not numbered";
    std::wstring sub = Record(L"Sub\u83DC\u5355", L"");
    EXPECT_EQ(WithPosition(L",,,C:\\\u56FE\u6807.ico,0,0,0,0", PositionOf(sub)), sub);
    EXPECT_EQ(L"C:\\in\u0142.exe,,,,0,0,1,0", Record(L"Sub\u83DC\u5355", L"Inner\u0151"));
    EXPECT_EQ(before.at(L"|Long"), after.at(L"|Long"));
    EXPECT_EQ(before.at(L"|Done"), after.at(L"|Done"));
}

TEST_F(WideText, InsertMoveAndDeleteRenumberWithoutLosingText) {
    SetRecord(L"", L"A", L"C:\\a.exe,,,,0,0,1,0");
    SetRecord(L"", L"B\u4E2D", L"C:\\b.exe,,,,0,0,2,0"); // a name the code page cannot hold
    SetRecord(L"", L"C", kCjkRecord.substr(0, kCjkRecord.size() - 3) + L"3,0");
    SetRecord(L"", L"D", WithPosition(kLookAlikeRecord, 4));
    SetRecord(L"Tools", L"", L",,,C:\\\u56FE\u6807.ico,0,0,5,1");
    Build();
    const std::string a = KeyOf("A");
    ASSERT_EQ("", a);
    const std::wstring c = Record(L"", L"C"), d = Record(L"", L"D");
    const std::wstring tools = Record(L"Tools", L"");

    // Insert after A: room at 2, then the new item.
    ShiftPositions(a, 2, +1);
    WriteItemValue(a, "New", "C:\\new.exe,,,,0,0,2,0");
    EXPECT_EQ(WithPosition(c, 4), Record(L"", L"C"));
    EXPECT_EQ(WithPosition(d, 5), Record(L"", L"D"));
    EXPECT_EQ(WithPosition(tools, 6), Record(L"Tools", L""));
    EXPECT_EQ(3, PositionOf(Record(L"", L"B\u4E2D")));

    // Move the item at 5 to 2.
    MovePosition(a, 5, 2);
    EXPECT_EQ(WithPosition(d, 2), Record(L"", L"D"));
    EXPECT_EQ(WithPosition(c, 5), Record(L"", L"C"));
    EXPECT_EQ(4, PositionOf(Record(L"", L"B\u4E2D")));

    // Delete A and close the gap.
    const Snapshot beforeDelete = Take();
    DeleteMenuItemRegEntry(a, "A");
    ShiftPositions(a, 1, -1);
    EXPECT_EQ(WithPosition(d, 1), Record(L"", L"D"));
    EXPECT_EQ(WithPosition(c, 4), Record(L"", L"C"));
    EXPECT_EQ(WithPosition(tools, 5), Record(L"Tools", L""));

    std::set<std::wstring> expected = Entries(beforeDelete);
    expected.erase(L"|A");
    EXPECT_EQ(expected, Entries(Take())) << "values or keys appeared or went";
}

TEST_F(WideText, EditsNeverWriteOverARecordTheCodePageCannotHold) {
    SetRecord(L"", L"C", kCjkRecord);
    SetRecord(L"Tools", L"", L",,,C:\\\u56FE\u6807.ico,0,0,2,0");
    Build();
    const Snapshot before = Take();
    ASSERT_EQ("", KeyOf("C"));
    ASSERT_EQ("", KeyOf("Tools"));
    // What the properties dialog would store: the text as the code page showed it.
    WriteItemValue(KeyOf("C"), "C", "C:\\rel\\text.txt??,,C:\\windows,,0,0,1,0");
    CreateSubmenuKey(KeyOf("Tools"), "Tools", ",,,C:\\??.ico,0,0,2,0");
    EXPECT_EQ(before, Take());
}

TEST_F(WideText, NamesTheCodePageCannotHoldAreNeverShownNorHit) {
    SetRecord(L"", L"lx", L"C:\\real.exe,,,,0,0,1,0");
    SetRecord(L"", L"\u0142x", L"C:\\lookalike.exe,,,,0,0,2,0"); // "łx" reads "lx" in ANSI
    SetRecord(L"", L"\u4E2D", L"C:\\cjk.exe,,,,0,0,3,0");        // reads "?" in ANSI
    SetRecord(L"", L"?", L"C:\\question.exe,,,,0,0,4,0");
    SetRecord(L"Tools", L"x", L"C:\\x.exe,,,,0,0,1,0");
    SetRecord(L"Tools\\\u4E2D\u6587", L"y", L"C:\\y.exe,,,,0,0,1,0");
    SetRecord(L"Tools\\\u0142odz", L"z", L"C:\\z.exe,,,,0,0,1,0");
    Build();
    EXPECT_EQ(1, ItemsWithText("lx")) << "a look-alike name stood for another value";
    EXPECT_EQ(1, ItemsWithText("?"));

    // Deleting the item shown as "lx" deletes that value and no other.
    const Snapshot before = Take();
    ASSERT_EQ("", KeyOf("lx"));
    DeleteMenuItemRegEntry(KeyOf("lx"), "lx");
    std::set<std::wstring> expected = Entries(before);
    expected.erase(L"|lx");
    EXPECT_EQ(expected, Entries(Take()));
    EXPECT_EQ(L"C:\\lookalike.exe,,,,0,0,2,0", Record(L"", L"\u0142x"));

    // A submenu goes whole, children with such names included, without a
    // deletion failure.
    qtest::MessageBoxWatcher failures("DeleteRegSubEntry");
    ASSERT_EQ("", KeyOf("Tools"));
    DeleteSubmenu(KeyOf("Tools"), "Tools");
    EXPECT_TRUE(failures.Texts().empty());
    EXPECT_EQ(L"<missing>", Record(L"Tools", L"x"));
    HKEY tools;
    EXPECT_NE(ERROR_SUCCESS,
              RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath(L"Tools").c_str(), 0, KEY_READ, &tools));
}

} // namespace
