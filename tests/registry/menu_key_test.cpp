// The keys of the stored menu opened by their key paths below the settings
// key: the key named and nothing else, and nothing created for a path whose
// key is not there.
#include <gtest/gtest.h>
#include <string>
#include "store/registry_layout.h"
#include "tests/support/test_support.h"

namespace {
const std::string kSettings = QUORIL_SETTINGS_PATH;

// Settings: Alpha, Tools{Calc, Deep{Leaf}}
class MenuKey : public ::testing::Test {
  protected:
    void SetUp() override {
        qtest::DeleteProductKey();
        qtest::SetStringValue(kSettings, "Alpha", "a.exe,,,,0,0,1,0");
        qtest::SetStringValue(kSettings + "\\Tools", "Calc", "calc.exe,,,,0,0,1,0");
        qtest::SetStringValue(kSettings + "\\Tools\\Deep", "Leaf", "leaf.exe,,,,0,0,1,0");
        m_startHandles = qtest::OpenKeyHandles();
    }
    void TearDown() override {
        EXPECT_EQ(m_startHandles, qtest::OpenKeyHandles()) << "a key was left open";
        qtest::DeleteProductKey();
    }
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
    return "<other>";
}

// Every key below the product key, by path.
std::vector<std::string> AllKeys(const std::string& path = "Software\\Quoril") {
    std::vector<std::string> keys;
    if (!qtest::KeyExists(path)) return keys;
    keys.push_back(path);
    for (const std::string& child : qtest::SubkeyNames(path))
        for (const std::string& key : AllKeys(path + "\\" + child))
            keys.push_back(key);
    return keys;
}

TEST_F(MenuKey, APathOpensTheKeyItNames) {
    EXPECT_EQ("Settings", Which(""));
    EXPECT_EQ("Tools", Which("Tools"));
    EXPECT_EQ("Deep", Which("Tools\\Deep"));
    EXPECT_EQ("Deep", Which(SubkeyPath(SubkeyPath("", "Tools"), "Deep")));
}

TEST_F(MenuKey, OpenedKeysCanBeReadWrittenAndEnumerated) {
    OwnedKey found = OpenMenuKey("Tools\\Deep");
    ASSERT_TRUE(found);
    EXPECT_EQ(m_startHandles + 1, qtest::OpenKeyHandles()) << "only the key opened stays open";
    EXPECT_TRUE(HasValue(found.Get(), "Leaf"));
    const BYTE data[] = "new.exe,,,,0,0,2,0";
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(found.Get(), "New", 0, REG_SZ, data, sizeof data - 1));
    HKEY child;
    EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(found.Get(), "Made", 0, nullptr, 0, KEY_READ, nullptr,
                                             &child, nullptr));
    RegCloseKey(child);
    char name[260];
    DWORD length = sizeof name;
    EXPECT_EQ(ERROR_SUCCESS,
              RegEnumKeyExA(found.Get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr));
    EXPECT_STREQ("Made", name);
}

TEST_F(MenuKey, APathWhoseKeyIsMissingOpensNothingAndCreatesNothing) {
    const std::vector<std::string> before = AllKeys();
    for (const char* path :
         {"Missing", "Tools\\Missing", "Missing\\Deep", "Alpha", "Tools\\Deep\\Leaf"}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(OpenMenuKey(path));
    }
    EXPECT_EQ(before, AllKeys());

    // Nor is the settings key made again for a path below it.
    qtest::DeleteProductKey();
    EXPECT_FALSE(OpenMenuKey("Tools"));
    EXPECT_FALSE(qtest::KeyExists("Software\\Quoril"));
}

TEST_F(MenuKey, APathWithAnEmptyNameNamesNoKey) {
    const std::vector<std::string> before = AllKeys();
    for (const char* path : {"\\", "\\Tools", "Tools\\", "Tools\\\\Deep", "\\\\"}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(OpenMenuKey(path));
    }
    EXPECT_EQ(before, AllKeys());
}
} // namespace
