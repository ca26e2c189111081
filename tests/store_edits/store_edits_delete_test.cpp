// Deleting items and whole submenus, and the messages shown when a deletion
// fails.
#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>
#include "store/store_edits.h"
#include "tests/store_edits/store_edits_test_util.h"

using namespace edittest;
using qtest::SetStringValue;

namespace {
class DeleteTest : public StoreTest {};

// Gives a key an empty access list: it can no longer be opened to read, yet
// can still be deleted by name.
bool SealKey(const std::string& keyPath) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS)
        return false;
    PSECURITY_DESCRIPTOR sd = nullptr;
    bool ok = ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P", SDDL_REVISION_1, &sd,
                                                                   nullptr) &&
              RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd) == ERROR_SUCCESS;
    if (sd) LocalFree(sd);
    RegCloseKey(key);
    HKEY probe;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &probe) == ERROR_SUCCESS) {
        RegCloseKey(probe);
        return false;
    }
    return ok;
}
} // namespace

TEST_F(DeleteTest, DeleteMenuItemRegEntryRemovesOnlyThatValue) {
    SetStringValue(Path("S"), "", ",,,,,,1,0");
    SetStringValue(Path("S\\T"), "X", Item(1));
    SetStringValue(Path("S\\T"), "Y", Item(2));
    SetStringValue(kSettings, "X", Item(2));
    qtest::MessageBoxWatcher watcher("DeleteMenuItemRegEntry");
    int handles = qtest::OpenHandles();
    DeleteMenuItemRegEntry("S\\T", "X");
    EXPECT_EQ(handles, qtest::OpenHandles()) << "a key was left open";
    EXPECT_EQ((std::vector<std::string>{"Y"}), qtest::ValueNames(Path("S\\T")));
    EXPECT_EQ(Item(2), Record(kSettings, "X"));
    EXPECT_TRUE(watcher.Texts().empty());
}

TEST_F(DeleteTest, DeleteMenuItemRegEntryReportsAFailedDeletion) {
    SetStringValue(Path("S"), "Y", Item(1));
    // The menu showed X, which went away behind its back.
    qtest::MessageBoxWatcher watcher("DeleteMenuItemRegEntry");
    DeleteMenuItemRegEntry("S", "X");
    EXPECT_EQ((std::vector<std::string>{"Menu item deletion failed"}), watcher.Texts());
}

TEST_F(DeleteTest, DeleteMenuItemRegEntryNeverTouchesTheDefaultValue) {
    SetStringValue(Path("S"), "", ",,,,,,1,0");
    SetStringValue(Path("S"), "X", Item(1));
    qtest::MessageBoxWatcher watcher("DeleteMenuItemRegEntry");
    DeleteMenuItemRegEntry("S", "");
    DeleteMenuItemRegEntry("S", nullptr);
    // A key that is not there holds nothing to delete, and says nothing.
    DeleteMenuItemRegEntry("Missing", "X");
    DeleteMenuItemRegEntry("S\\Missing", "X");
    EXPECT_EQ(",,,,,,1,0", Record(Path("S"), ""));
    EXPECT_EQ(Item(1), Record(Path("S"), "X"));
    EXPECT_TRUE(watcher.Texts().empty());
}

TEST_F(DeleteTest, DeleteSubmenuRemovesNestedSubmenus) {
    SetStringValue(Path("A"), "", ",,,,,,1,0");
    SetStringValue(Path("A\\B"), "", ",,,,,,1,0");
    SetStringValue(Path("A\\B\\C"), "Leaf", Item(1));
    SetStringValue(Path("A\\B\\D"), "", ",,,,,,2,0");
    SetStringValue(Path("A\\E"), "Leaf", Item(1));
    SetStringValue(Path("A"), "Item", Item(2));
    SetStringValue(Path("Keep"), "Leaf", Item(1));
    qtest::MessageBoxWatcher watcher("DeleteRegSubEntry");
    int handles = qtest::OpenHandles();
    DeleteSubmenu("", "A");
    EXPECT_EQ(handles, qtest::OpenHandles()) << "a key was left open";
    EXPECT_FALSE(qtest::KeyExists(Path("A")));
    EXPECT_EQ((std::vector<std::string>{"Keep"}), qtest::SubkeyNames(kSettings));
    EXPECT_TRUE(watcher.Texts().empty());
}

TEST_F(DeleteTest, DeleteSubmenuOfANestedSubmenuRemovesOnlyIt) {
    SetStringValue(Path("A\\B\\C"), "Leaf", Item(1));
    SetStringValue(Path("A\\F"), "Leaf", Item(1));
    DeleteSubmenu("A", "B");
    EXPECT_EQ((std::vector<std::string>{"F"}), qtest::SubkeyNames(Path("A")));
    EXPECT_EQ(Item(1), Record(Path("A\\F"), "Leaf"));
}

TEST_F(DeleteTest, DeleteSubmenuInAMissingKeyOrWithoutANameDoesNothing) {
    SetStringValue(Path("A\\B"), "Leaf", Item(1));
    qtest::MessageBoxWatcher watcher("DeleteRegSubEntry");
    std::string before = Snapshot(kSettings);
    DeleteSubmenu("Missing", "A");
    DeleteSubmenu("A\\Missing", "B");
    DeleteSubmenu("A", "");
    DeleteSubmenu("A", nullptr);
    DeleteSubmenu("A\\", "B");
    EXPECT_EQ(before, Snapshot(kSettings));
    EXPECT_TRUE(watcher.Texts().empty());
}

TEST_F(DeleteTest, DeleteRegSubEntryOfMissingOrEmptyNameDoesNothing) {
    SetStringValue(Path("A"), "Leaf", Item(1));
    qtest::MessageBoxWatcher watcher("DeleteRegSubEntry");
    HKEY settings;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kSettings.c_str(), 0,
                                           KEY_READ | KEY_WRITE, &settings));
    std::string before = Snapshot(kSettings);
    DeleteRegSubEntry(settings, "Missing");
    // "" would name the settings key itself.
    DeleteRegSubEntry(settings, "");
    DeleteRegSubEntry(settings, nullptr);
    // The key was only lent: it is still open and usable.
    EXPECT_EQ(ERROR_SUCCESS,
              RegQueryInfoKeyA(settings, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr, nullptr));
    RegCloseKey(settings);
    EXPECT_EQ(before, Snapshot(kSettings));
    EXPECT_TRUE(watcher.Texts().empty());
}

TEST_F(DeleteTest, UndeletableKeyIsReportedForEachKeyAboveIt) {
    SetStringValue(Path("A\\B\\Locked\\Sealed"), "Leaf", Item(1));
    SetStringValue(Path("A\\B\\Other"), "Leaf", Item(1));
    SetStringValue(Path("A\\C"), "Leaf", Item(1));
    // Sealed cannot be opened, so it stays, and every key above it cannot be
    // deleted while it holds it.
    ASSERT_TRUE(SealKey(Path("A\\B\\Locked\\Sealed")));
    qtest::MessageBoxWatcher watcher("DeleteRegSubEntry");
    DeleteSubmenu("", "A");
    EXPECT_EQ(std::vector<std::string>(3, "Sub-menu deletion failed"), watcher.Texts())
        << "one message for Locked, B and A each";
    // Everything that could go went: each sub-key was visited once.
    EXPECT_EQ((std::vector<std::string>{"B"}), qtest::SubkeyNames(Path("A")));
    EXPECT_EQ((std::vector<std::string>{"Locked"}), qtest::SubkeyNames(Path("A\\B")));
    EXPECT_EQ((std::vector<std::string>{"Sealed"}), qtest::SubkeyNames(Path("A\\B\\Locked")));
    EXPECT_EQ(ERROR_SUCCESS,
              RegDeleteKeyA(HKEY_CURRENT_USER, Path("A\\B\\Locked\\Sealed").c_str()));
}
