// Edits addressed by key path alone, without a menu: in a nested submenu they
// change that submenu's key and nothing else of the whole registry tree; a
// path whose key is not there changes nothing at all.
#include <gtest/gtest.h>
#include <map>
#include "store/store_edits.h"
#include "tests/store_edits/store_edits_test_util.h"

using namespace edittest;
using qtest::SetStringValue;

namespace {
// Every key and value beneath the product key (the settings key's sibling
// included): "path\\" for a key, "path|name" for a value, with its type and
// text (a terminator that the registry may add left out).
typedef std::map<std::string, std::string> Tree;

void Collect(const std::string& keyPath, Tree* tree) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    (*tree)[keyPath + "\\"] = "";
    for (DWORD i = 0;; ++i) {
        char name[1024];
        BYTE data[4096];
        DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) !=
            ERROR_SUCCESS)
            break;
        std::string text(reinterpret_cast<char*>(data), dataSize);
        if (type == REG_SZ && !text.empty() && text.back() == '\0') text.pop_back();
        (*tree)[keyPath + "|" + name] = std::to_string(type) + ":" + text;
    }
    RegCloseKey(key);
    for (const std::string& child : qtest::SubkeyNames(keyPath))
        Collect(keyPath + "\\" + child, tree);
}

Tree TakeTree() {
    Tree tree;
    Collect(kProduct, &tree);
    return tree;
}

// The entry of `tree` for value `name` of the key at `keyPath` below the
// settings key.
std::string& RecordIn(Tree& tree, const std::string& keyPath, const std::string& name) {
    return tree[Path(keyPath) + "|" + name];
}
std::string Stored(const std::string& record) {
    return std::to_string(REG_SZ) + ":" + record;
}

// The record of a program named `name` at `position`.
std::string Program(const std::string& name, int position) {
    return "C:\\" + name + ".exe,,,,0,0," + std::to_string(position) + ",0";
}

// Settings: A, B, Tools{Calc, Notes, Games{Chess, Go}}, Games{Chess, Go}
// The nested Games and the one in the root hold the same names and records.
class PathEditTest : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        SetStringValue(kSettings, "A", Program("a", 1));
        SetStringValue(kSettings, "B", Program("b", 2));
        SetStringValue(Path("Tools"), "", ",,,,0,0,3,0");
        SetStringValue(Path("Tools"), "Calc", Program("calc", 1));
        SetStringValue(Path("Tools"), "Notes", Program("notes", 2));
        for (const char* games : {"Tools\\Games", "Games"}) {
            SetStringValue(Path(games), "", ",,,,0,0,3,0");
            SetStringValue(Path(games), "Chess", Program("chess", 1));
            SetStringValue(Path(games), "Go", Program("go", 2));
        }
    }
};
} // namespace

TEST_F(PathEditTest, InsertIntoANestedSubmenuChangesOnlyItsKey) {
    Tree expected = TakeTree();
    int handles = qtest::OpenHandles();
    // After Chess: room at 2, then the new item there.
    ShiftPositions("Tools\\Games", 2, +1);
    WriteItemValue("Tools\\Games", "Knight", Program("knight", 2).c_str());
    EXPECT_EQ(handles, qtest::OpenHandles()) << "a key was left open";

    RecordIn(expected, "Tools\\Games", "Go") = Stored(Program("go", 3));
    RecordIn(expected, "Tools\\Games", "Knight") = Stored(Program("knight", 2));
    EXPECT_EQ(expected, TakeTree());
}

TEST_F(PathEditTest, MoveDeleteAndSubmenuInANestedSubmenuChangeOnlyItsKey) {
    Tree expected = TakeTree();
    MovePosition("Tools\\Games", 2, 1);
    RecordIn(expected, "Tools\\Games", "Chess") = Stored(Program("chess", 2));
    RecordIn(expected, "Tools\\Games", "Go") = Stored(Program("go", 1));
    EXPECT_EQ(expected, TakeTree());

    // Go now stands first: deleting it moves Chess up.
    DeleteMenuItemRegEntry("Tools\\Games", "Go");
    ShiftPositions("Tools\\Games", 1, -1);
    expected.erase(Path("Tools\\Games") + "|Go");
    RecordIn(expected, "Tools\\Games", "Chess") = Stored(Program("chess", 1));
    EXPECT_EQ(expected, TakeTree());

    CreateSubmenuKey("Tools\\Games", "Board", ",,,,,,2,0");
    DeleteSubmenu("Tools", "Games");
    for (auto it = expected.begin(); it != expected.end();) {
        if (it->first.compare(0, Path("Tools\\Games").size(), Path("Tools\\Games")) == 0)
            it = expected.erase(it);
        else
            ++it;
    }
    EXPECT_EQ(expected, TakeTree()) << "the nested Games went whole, the root's stayed";
}

TEST_F(PathEditTest, APathWhoseKeyIsMissingChangesNothing) {
    const Tree before = TakeTree();
    qtest::MessageBoxWatcher itemFailure("DeleteMenuItemRegEntry");
    qtest::MessageBoxWatcher submenuFailure("DeleteRegSubEntry");
    int handles = qtest::OpenHandles();
    // A missing key, a missing parent, a value taken for a key, an empty name.
    for (const char* path : {"Tools\\Missing", "Missing\\Games", "Tools\\Games\\Chess", "A",
                             "Tools\\Games\\", "\\Tools"}) {
        WriteItemValue(path, "Knight", Program("knight", 2).c_str());
        CreateSubmenuKey(path, "Board", ",,,,,,2,0");
        DeleteMenuItemRegEntry(path, "Go");
        DeleteSubmenu(path, "Games");
        ShiftPositions(path, 1, +1);
        MovePosition(path, 1, 2);
        EXPECT_EQ(before, TakeTree()) << path;
    }
    EXPECT_EQ(handles, qtest::OpenHandles()) << "a key was left open";
    EXPECT_TRUE(itemFailure.Texts().empty());
    EXPECT_TRUE(submenuFailure.Texts().empty());
}
