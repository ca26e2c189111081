// The undo journal's bounds, a journal damaged by others, and trees as deep
// as the registry allows.
#include <gtest/gtest.h>
#include <windows.h>
#include "store/store_edits.h"
#include "tests/undo/undo_test_util.h"

using namespace undotest;

namespace {
void SetJournalValue(const char* name, DWORD type, const std::string& data) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, QUORIL_UNDO_PATH, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size()));
    RegCloseKey(key);
}

bool RecordInsert(int n, size_t extraBytes = 0) {
    return Record(
        "",
        [&] {
            WriteItemValue("", ("N" + std::to_string(n)).c_str(), Item(n).c_str());
            if (extraBytes)
                qtest::SetStringValue(Path(""), "Big" + std::to_string(n),
                                      std::string(extraBytes, 'b'));
        },
        "Insert " + std::to_string(n));
}
} // namespace

TEST_F(UndoTest, ThirtyThreeStepsKeepTheNewestThirtyTwo) {
    const std::string before = Tree();
    for (int n = 1; n <= 33; ++n)
        ASSERT_TRUE(RecordInsert(n));
    EXPECT_EQ(32u, JournalNames().size());
    UndoRestored restored;
    for (int n = 33; n >= 2; --n) {
        ASSERT_EQ(kUndoDone, UndoNewest(&restored)) << n;
        EXPECT_EQ("Insert " + std::to_string(n), restored.label);
    }
    EXPECT_EQ(kUndoNothing, UndoNewest(&restored));
    EXPECT_EQ(edittest::Item(1), edittest::Record(Path(""), "N1")) << "the dropped step stays done";
}

TEST_F(UndoTest, TheOldestStepsGoWhenTheBudgetIsSpent) {
    // Each step holds about 1.2 MB of record text (two bytes a character).
    ASSERT_TRUE(RecordInsert(1, 600000));
    ASSERT_TRUE(RecordInsert(2, 600000));
    EXPECT_EQ(1u, JournalNames().size());
    // A step larger than the whole budget is not kept, and drops nothing.
    EXPECT_FALSE(RecordInsert(3, kUndoBudgetBytes / 2 + 1));
    std::string label;
    EXPECT_TRUE(PeekUndo(&label));
    EXPECT_EQ("Insert 2", label);
}

TEST_F(UndoTest, ADamagedOrForeignJournalIsIgnoredAndReplaced) {
    ASSERT_TRUE(RecordInsert(1));
    const std::string settings = Tree();
    std::string valid;
    ASSERT_TRUE(qtest::ReadStringValue(QUORIL_UNDO_PATH, "00000001", &valid));
    std::string flipped = valid;
    flipped[flipped.size() / 2] ^= 1;
    SetJournalValue("00000002", REG_BINARY, flipped);
    SetJournalValue("00000003", REG_BINARY, "garbage");
    SetJournalValue("00000004", REG_SZ, valid);
    SetJournalValue("00000005", REG_BINARY, std::string(kUndoBudgetBytes + 1, '\x01'));
    SetJournalValue("Foreign", REG_DWORD, "\1\0\0\0");
    std::string label;
    ASSERT_TRUE(PeekUndo(&label));
    EXPECT_EQ("Insert 1", label);
    EXPECT_EQ(std::vector<std::string>{"00000001"}, JournalNames());
    EXPECT_EQ(settings, Tree()) << "nothing written from the damaged values";
    SetJournalValue("00000009", REG_BINARY, "QUND\1\0\0\0");
    ASSERT_TRUE(RecordInsert(2));
    EXPECT_EQ((std::vector<std::string>{"00000001", "00000002"}), JournalNames());
}

TEST_F(UndoTest, AJournalOfNothingButDamageUndoesNothing) {
    const std::string settings = Tree();
    SetJournalValue("00000001", REG_BINARY, std::string(100, '\0'));
    SetJournalValue("00000002", REG_BINARY, std::string(3 << 20, 'Q'));
    std::string label;
    EXPECT_FALSE(PeekUndo(&label));
    UndoRestored restored;
    EXPECT_EQ(kUndoNothing, UndoNewest(&restored));
    EXPECT_EQ(settings, Tree());
    EXPECT_TRUE(JournalNames().empty());
}

TEST_F(UndoTest, AChainFiveHundredTwelveKeysDeepIsPutBack) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, Path("").c_str(), 0, KEY_ALL_ACCESS, &key));
    for (int level = 0; level < 512; ++level) {
        HKEY child;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(key, level ? L"k" : L"D", 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &child, nullptr))
            << level;
        RegCloseKey(key);
        key = child;
    }
    const DWORD bottom = 512;
    RegSetValueExW(key, L"V", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&bottom), 4);
    RegCloseKey(key);
    const std::string before = Tree();
    SnapKey tree;
    ASSERT_TRUE(SnapshotKey("", &tree));
    ASSERT_TRUE(Record(
        "", [] { DeleteSubmenu("", "D"); }, "Delete \"D\"", "", "D"));
    ASSERT_NE(before, Tree());
    UndoRestored restored;
    ASSERT_EQ(kUndoDone, UndoNewest(&restored));
    EXPECT_EQ(before, Tree());
}
