#include <gtest/gtest.h>
#include <string>
#include "store/registry_layout.h"
#include "tests/support/test_support.h"

namespace {
const char* const kQuoril = "Software\\Quoril";
const char* const kVendor = "Software\\Quoril\\RoduzuRodidiVo";

// Class string of a key under HKCU, or "<missing>".
std::string KeyClass(const char* path) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<missing>";
    char name[64] = "";
    DWORD length = sizeof name;
    RegQueryInfoKeyA(key, name, &length, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return name;
}

// Creates a volatile key: a non-volatile key cannot be created beneath it,
// which makes the next step of the chain fail.
void CreateVolatileKey(const char* path) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegCloseKey(key);
}

// Handles opened by one deliberate RegOpenKeyEx: keys must show as handles.
int OneKeyHandles() {
    int before = qtest::OpenKeyHandles();
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    int during = qtest::OpenKeyHandles();
    RegCloseKey(key);
    return during - before;
}

TEST(OpenSettingsKey, CreatesTheChainWithClassKeyOnFirstUse) {
    qtest::DeleteProductKey();
    ASSERT_EQ(1, OneKeyHandles()) << "registry keys are not visible as handles";
    int before = qtest::OpenKeyHandles();
    OwnedKey settings = OpenSettingsKey();
    ASSERT_TRUE(settings);
    EXPECT_EQ(before + 1, qtest::OpenKeyHandles()) << "only the settings key may stay open";

    EXPECT_EQ("key", KeyClass(kQuoril));
    EXPECT_EQ("key", KeyClass(kVendor));
    EXPECT_EQ("key", KeyClass(QUORIL_SETTINGS_PATH));
    DWORD values = 99, subkeys = 99;
    ASSERT_EQ(ERROR_SUCCESS,
              RegQueryInfoKeyA(settings.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr,
                               nullptr, &values, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(0u, values);
    EXPECT_EQ(0u, subkeys);

    // The key can be written and can take sub-keys.
    const BYTE data[] = "x.exe,,,,0,0,1,0";
    EXPECT_EQ(ERROR_SUCCESS,
              RegSetValueExA(settings.Get(), "Item", 0, REG_SZ, data, sizeof data - 1));
    HKEY child;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(settings.Get(), "Sub", 0, nullptr, 0, KEY_READ,
                                             nullptr, &child, nullptr));
    RegCloseKey(child);
    settings.Reset();
    EXPECT_EQ(before, qtest::OpenKeyHandles());

    // A later call opens the same, now filled key, with the same rights.
    settings = OpenSettingsKey();
    ASSERT_TRUE(settings);
    EXPECT_EQ(before + 1, qtest::OpenKeyHandles()) << "only the settings key may stay open";
    char record[64] = "";
    DWORD size = sizeof record - 1;
    EXPECT_EQ(ERROR_SUCCESS,
              RegQueryValueExA(settings.Get(), "Item", nullptr, nullptr, (BYTE*)record, &size));
    EXPECT_STREQ("x.exe,,,,0,0,1,0", record);
    EXPECT_EQ(ERROR_SUCCESS,
              RegSetValueExA(settings.Get(), "Second", 0, REG_SZ, data, sizeof data - 1));
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(settings.Get(), "Other", 0, nullptr, 0, KEY_READ,
                                             nullptr, &child, nullptr));
    RegCloseKey(child);
    settings.Reset();
    EXPECT_EQ(before, qtest::OpenKeyHandles());
}

TEST(OpenSettingsKey, FailingLaterStepReturnsNullAndLeavesNothingOpen) {
    const char* const volatileParents[] = {kQuoril, kVendor};
    for (const char* parent : volatileParents) {
        SCOPED_TRACE(parent);
        qtest::DeleteProductKey();
        if (parent == kVendor) qtest::SetStringValue(kQuoril, "", "");
        CreateVolatileKey(parent);
        int before = qtest::OpenKeyHandles();
        EXPECT_FALSE(OpenSettingsKey());
        EXPECT_EQ(before, qtest::OpenKeyHandles()) << "a key of the chain was left open";
        EXPECT_FALSE(qtest::KeyExists(QUORIL_SETTINGS_PATH));
    }
    qtest::DeleteProductKey();
}
} // namespace
