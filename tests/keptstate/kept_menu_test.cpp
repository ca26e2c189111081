// The stored menu kept from one press to the next: given again only while no
// key of it has changed, and read afresh after any change another program
// makes, anywhere in the tree; never kept while its keys are still being
// written.
#include <gtest/gtest.h>
#include <windows.h>
#include <functional>
#include <map>
#include <string>
#include "store/stored_menu.h"
#include "tests/support/test_support.h"
#include "tests/wide/wide_registry.h"

namespace {
// Every key and value of a read tree by "path|name" ("path\\" for a key's own
// record), with the record it holds.
typedef std::map<std::wstring, std::wstring> Flat;

std::wstring RecordOf(const StoredValue& value) {
    StoredRecord record;
    if (!StoredWideRecord(value, &record)) return L"<no record>";
    return std::wstring(record.text, record.length);
}

void Flatten(const StoredKey& key, const std::wstring& path, Flat* out) {
    (*out)[path + L"\\"] = key.hasRecord ? RecordOf(key.record) : L"<none>";
    for (const StoredValue& value : key.values)
        (*out)[path + L"|" + value.name] = RecordOf(value);
    for (const StoredKey& child : key.subkeys)
        Flatten(child, path + L"\\" + child.name, out);
}

// What a press reads (normalizing as it goes) with what the presses before it
// kept in `keptMenu`, and whether it was the kept tree.
Flat PressRead(KeptMenu& keptMenu, bool* kept) {
    StoredKey tree;
    EXPECT_TRUE(ReadAndNormalizeMenu(keptMenu, &tree));
    *kept = keptMenu.LastReadWasKept();
    Flat flat;
    Flatten(tree, L"", &flat);
    return flat;
}

// What the registry holds now, read in full.
Flat Stored() {
    StoredKey tree;
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, widetest::kSettings, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        ReadStoredTree(key, false, &tree);
        RegCloseKey(key);
    }
    Flat flat;
    Flatten(tree, L"", &flat);
    return flat;
}

void DeleteValue(const std::wstring& path, const wchar_t* name) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, widetest::KeyPath(path).c_str(), 0,
                                           KEY_SET_VALUE, &key));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteValueW(key, name));
    RegCloseKey(key);
}

void SeedMenu(const wchar_t* alpha) {
    widetest::SetRecord(L"", L"Alpha", alpha);
    widetest::SetRecord(L"", L"Beta", L"b.exe,,,,0,0,2,0");
    widetest::SetRecord(L"Tools", L"", L",,,,0,0,3,0");
    widetest::SetRecord(L"Tools", L"Calc", L"calc.exe,,,,0,0,1,0");
    widetest::SetRecord(L"Tools\\Deep", L"Item", L"deep.exe,,,,0,0,1,0");
}

class KeptStoredMenu : public ::testing::Test {
  protected:
    void SetUp() override {
        qtest::DeleteProductKey();
        // These presses write the menu and press again at once: what they
        // read may be kept as soon as its keys were written.
        m_kept.SetSettleTime(0);
    }
    void TearDown() override { qtest::DeleteProductKey(); }
    Flat PressRead(bool* kept) { return ::PressRead(m_kept, kept); }
    KeptMenu m_kept;
};
} // namespace

TEST_F(KeptStoredMenu, AnUnchangedMenuIsGivenAgainWithoutReadingIt) {
    SeedMenu(L"a.exe,,,,0,0,1,0");
    bool kept = true;
    const Flat first = PressRead(&kept);
    EXPECT_FALSE(kept) << "nothing was kept before the first press";
    EXPECT_EQ(Stored(), first);
    EXPECT_EQ(7u, first.size()); // the root, two submenus and four records
    for (int press = 0; press < 3; ++press) {
        EXPECT_EQ(first, PressRead(&kept));
        EXPECT_TRUE(kept) << "press " << press;
    }
    m_kept.Release();
    EXPECT_EQ(first, PressRead(&kept));
    EXPECT_FALSE(kept) << "a released tree is read again";
}

// Every kind of change, made through the wide API as the registry editor or
// an imported file would make it: the next press reads the menu again and
// gives what is stored now; the press after that keeps it again.
TEST_F(KeptStoredMenu, EveryChangeAnywhereInTheTreeIsReadAtTheNextPress) {
    const struct {
        const char* what;
        std::function<void()> change;
    } changes[] = {
        {"a record edited", [] { widetest::SetRecord(L"", L"Alpha", L"other.exe,-x,,,0,0,1,0"); }},
        {"a record two submenus down edited",
         [] { widetest::SetRecord(L"Tools\\Deep", L"Item", L"changed.exe,,,,0,0,1,0"); }},
        {"a submenu's own record edited",
         [] { widetest::SetRecord(L"Tools", L"", L",,,shell32.dll,4,0,3,0"); }},
        {"an item added", [] { widetest::SetRecord(L"", L"Gamma", L"g.exe,,,,0,0,4,0"); }},
        {"an item added without a position",
         [] { widetest::SetRecord(L"Tools", L"Paint", L"paint.exe"); }},
        {"an item deleted", [] { DeleteValue(L"", L"Beta"); }},
        {"an item renamed",
         [] {
             DeleteValue(L"", L"Beta");
             widetest::SetRecord(L"", L"Bravo", L"b.exe,,,,0,0,2,0");
         }},
        {"items moved",
         [] {
             widetest::SetRecord(L"", L"Alpha", L"a.exe,,,,0,0,2,0");
             widetest::SetRecord(L"", L"Beta", L"b.exe,,,,0,0,1,0");
         }},
        {"a submenu added", [] { widetest::SetRecord(L"New", L"X", L"x.exe,,,,0,0,1,0"); }},
        {"a submenu deleted",
         [] {
             EXPECT_TRUE(qtest::DeleteKeyTree(HKEY_CURRENT_USER,
                                              widetest::KeyPath(L"Tools\\Deep").c_str()));
         }},
        {"the whole menu deleted and written again",
         [] {
             EXPECT_TRUE(qtest::DeleteKeyTree(HKEY_CURRENT_USER, widetest::kSettings));
             SeedMenu(L"again.exe,,,,0,0,1,0");
         }},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.what);
        qtest::DeleteProductKey();
        m_kept.Release();
        SeedMenu(L"a.exe,,,,0,0,1,0");
        bool kept = false;
        const Flat before = PressRead(&kept);
        ASSERT_EQ(before, PressRead(&kept));
        ASSERT_TRUE(kept) << "the unchanged menu was not kept";

        c.change();
        const Flat after = PressRead(&kept);
        EXPECT_FALSE(kept) << "the changed menu was given from what was kept";
        EXPECT_EQ(Stored(), after);
        EXPECT_NE(before, after);
        // A record given its position by that press was written by it: the
        // press after it reads once more, the one after that keeps.
        EXPECT_EQ(Stored(), PressRead(&kept));
        EXPECT_EQ(Stored(), PressRead(&kept));
        EXPECT_TRUE(kept) << "the menu was not kept again";
    }
}

TEST_F(KeptStoredMenu, AMenuWrittenWithinTheSettleTimeIsReadAgainUntilItSettles) {
    // A minute: far longer than these presses take.
    m_kept.SetSettleTime(60ULL * 10000000ULL);
    SeedMenu(L"a.exe,,,,0,0,1,0");
    bool kept = true;
    for (int press = 0; press < 3; ++press) {
        EXPECT_EQ(Stored(), PressRead(&kept));
        EXPECT_FALSE(kept) << "press " << press << " used a tree written moments before";
    }
    m_kept.SetSettleTime(0);
    EXPECT_EQ(Stored(), PressRead(&kept));
    EXPECT_FALSE(kept);
    EXPECT_EQ(Stored(), PressRead(&kept));
    EXPECT_TRUE(kept) << "a settled menu is kept";
}
