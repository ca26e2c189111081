// Keeping sibling positions consistent: shifting, moving and filling in
// missing positions, and what the passes must leave alone.
#include <gtest/gtest.h>
#include "store/store_edits.h"
#include "tests/store_edits/store_edits_test_util.h"

using namespace edittest;
using menutest::ReadRaw;
using menutest::SetRawValue;
using qtest::SetStringValue;

namespace {
class ShiftPositionsTest : public StoreTest {};
class MovePositionTest : public StoreTest {};
class NormalizePositionsTest : public StoreTest {};
class RenumberingLeavesAlone : public StoreTest {};

// Items "P1".."Pn" at positions 1..n in `keyPath`; the one at `submenuAt`
// (if any) is a submenu "S<position>" instead.
void Siblings(const std::string& keyPath, int n, int submenuAt = 0) {
    for (int p = 1; p <= n; ++p) {
        if (p == submenuAt)
            SetStringValue(keyPath + "\\S" + std::to_string(p), "",
                           ",,,,,," + std::to_string(p) + ",0");
        else
            SetStringValue(keyPath, "P" + std::to_string(p), Item(p));
    }
}

// Positions of "P1".."Pn" (or "S<i>" for the submenu) in `keyPath`.
std::vector<int> Positions(const std::string& keyPath, int n, int submenuAt = 0) {
    std::vector<int> positions;
    for (int p = 1; p <= n; ++p) {
        if (p == submenuAt)
            positions.push_back(Position(keyPath + "\\S" + std::to_string(p), ""));
        else
            positions.push_back(Position(keyPath, "P" + std::to_string(p)));
    }
    return positions;
}
} // namespace

TEST_F(ShiftPositionsTest, InsertAfterSecondMakesRoomAtThird) {
    Siblings(Path("M"), 4, 4);
    int handles = qtest::OpenHandles();
    ShiftPositions("M", 3, +1);
    EXPECT_EQ(handles, qtest::OpenHandles()) << "a key was left open";
    WriteItemValue("M", "New", Item(3).c_str());
    EXPECT_EQ((std::vector<int>{1, 2, 4, 5}), Positions(Path("M"), 4, 4));
    EXPECT_EQ(3, Position(Path("M"), "New"));
}

TEST_F(ShiftPositionsTest, DeleteSecondClosesTheGap) {
    Siblings(Path("M"), 4, 3);
    DeleteMenuItemRegEntry("M", "P2");
    ShiftPositions("M", 2, -1);
    EXPECT_EQ(1, Position(Path("M"), "P1"));
    EXPECT_EQ(2, Position(Path("M\\S3"), ""));
    EXPECT_EQ(3, Position(Path("M"), "P4"));
    EXPECT_EQ("<missing>", Record(Path("M"), "P2"));
}

TEST_F(ShiftPositionsTest, RecordsWithoutPositionCountFromTwoValuesFirst) {
    SetStringValue(kSettings, "A", "C:\\a.exe");
    SetStringValue(kSettings, "B", "C:\\b.exe,,,,,,,1");
    SetStringValue(Path("S"), "", ",,,,,,,");
    ASSERT_EQ((std::vector<std::string>{"A", "B"}), qtest::ValueNames(kSettings));
    ShiftPositions("", 100, 1);
    // Every visited record is rewritten in full item form.
    EXPECT_EQ("C:\\a.exe,,,,0,0,2,0", Record(kSettings, "A"));
    EXPECT_EQ("C:\\b.exe,,,,0,0,3,1", Record(kSettings, "B"));
    EXPECT_EQ(",,,,0,0,4,", Record(Path("S"), "").substr(0, 10));
}

TEST_F(ShiftPositionsTest, SubmenuOwnRecordIsNotOneOfItsItems) {
    SetStringValue(Path("S"), "", ",,,,,,5,0");
    Siblings(Path("S"), 2);
    ShiftPositions("S", 1, 10);
    EXPECT_EQ(",,,,,,5,0", Record(Path("S"), ""));
    EXPECT_EQ((std::vector<int>{11, 12}), Positions(Path("S"), 2));
}

TEST_F(MovePositionTest, MovesUpAndDown) {
    Siblings(Path("M"), 5, 3);
    MovePosition("M", 4, 2);
    EXPECT_EQ((std::vector<int>{1, 3, 4, 2, 5}), Positions(Path("M"), 5, 3));

    Siblings(Path("M"), 5, 3);
    MovePosition("M", 2, 4);
    EXPECT_EQ((std::vector<int>{1, 4, 2, 3, 5}), Positions(Path("M"), 5, 3));

    MovePosition("M", 3, 3);
    EXPECT_EQ((std::vector<int>{1, 4, 2, 3, 5}), Positions(Path("M"), 5, 3));
    EXPECT_EQ("C:\\p2.exe,,,,0,0,4,0", Record(Path("M"), "P2")) << "other fields kept";
}

TEST_F(NormalizePositionsTest, SubkeysFirstThenValues) {
    SetStringValue(kSettings, "A", "C:\\a.exe");
    SetStringValue(kSettings, "B", "C:\\b.exe,,,,,,");
    SetStringValue(Path("S"), "", ",,,,,,,");
    NormalizePositions("");
    EXPECT_EQ(",,,,0,0,1,0", Record(Path("S"), ""));
    std::vector<std::string> order = qtest::ValueNames(kSettings);
    ASSERT_EQ(2u, order.size());
    EXPECT_EQ(2, Position(kSettings, order[0]));
    EXPECT_EQ(3, Position(kSettings, order[1]));
    EXPECT_EQ("C:\\a.exe,,,,0,0," + std::to_string(Position(kSettings, "A")) + ",0",
              Record(kSettings, "A"));
}

TEST_F(NormalizePositionsTest, FillsGapsAfterThePreviousRecordAndKeepsTheRest) {
    SetStringValue(kSettings, "A", "C:\\a.exe,,,,,,5,0");
    SetStringValue(kSettings, "B", "C:\\b.exe,,,,,,,0");
    SetStringValue(kSettings, "C", "C:\\c.exe,,,,,,2,0");
    SetStringValue(kSettings, "D", "C:\\d.exe,,,,,,2,0");
    SetStringValue(kSettings, "E", "C:\\e.exe,,,,,,9,0");
    ASSERT_EQ((std::vector<std::string>{"A", "B", "C", "D", "E"}), qtest::ValueNames(kSettings));
    NormalizePositions("");
    EXPECT_EQ(5, Position(kSettings, "A"));
    EXPECT_EQ(6, Position(kSettings, "B"));
    EXPECT_EQ(2, Position(kSettings, "C"));
    EXPECT_EQ(2, Position(kSettings, "D"));
    EXPECT_EQ(9, Position(kSettings, "E"));
}

TEST_F(NormalizePositionsTest, DescendsIntoEverySubkeyWithItsOwnNumbering) {
    SetStringValue(kSettings, "Top", "C:\\t.exe,,,,,,7,0");
    SetStringValue(Path("NoRecord"), "X", "C:\\x.exe");
    SetStringValue(Path("NoRecord\\Deeper"), "Y", "C:\\y.exe");
    SetStringValue(Path("NoRecord\\Deeper"), "", ",,,,,,4,0");
    NormalizePositions("");
    EXPECT_EQ("<missing>", Record(Path("NoRecord"), "")) << "no record is made for it";
    EXPECT_EQ(5, Position(Path("NoRecord"), "X"));
    EXPECT_EQ(",,,,0,0,4,0", Record(Path("NoRecord\\Deeper"), ""));
    EXPECT_EQ(1, Position(Path("NoRecord\\Deeper"), "Y"));
    EXPECT_EQ(7, Position(kSettings, "Top"));
}

TEST_F(RenumberingLeavesAlone, ValuesOfOtherTypes) {
    DWORD number = 42;
    const BYTE binary[] = {1, 0, 2, 0, ',', '9'};
    const char expand[] = "%windir%\\a.exe,,,,0,0,1,0";
    SetRawValue(kSettings, "0 dword", REG_DWORD, &number, sizeof number);
    SetRawValue(kSettings, "0 binary", REG_BINARY, binary, sizeof binary);
    SetRawValue(kSettings, "0 expand", REG_EXPAND_SZ, expand, sizeof expand);
    SetStringValue(kSettings, "A", "C:\\a.exe");
    SetStringValue(kSettings, "B", Item(2));
    std::string before[3];
    DWORD types[3];
    const char* names[3] = {"0 dword", "0 binary", "0 expand"};
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(ReadRaw(kSettings, names[i], &before[i], &types[i]));

    NormalizePositions("");
    EXPECT_EQ(1, Position(kSettings, "A")) << "other types take no position";
    ShiftPositions("", 1, 1);
    MovePosition("", 2, 3);
    EXPECT_EQ(3, Position(kSettings, "A"));
    EXPECT_EQ(2, Position(kSettings, "B"));
    for (int i = 0; i < 3; ++i) {
        std::string after;
        DWORD type = 0;
        ASSERT_TRUE(ReadRaw(kSettings, names[i], &after, &type)) << names[i];
        EXPECT_EQ(types[i], type) << names[i];
        EXPECT_EQ(before[i], after) << names[i];
    }
}

TEST_F(RenumberingLeavesAlone, RecordsThatDoNotFitAndGoesOn) {
    // Sorted first, so the pass has to go on past them.
    std::string tooLong = "C:\\l.exe," + std::string(1100, 'x') + ",,,0,0,1,0";
    // 1059 characters that would grow past a record's size once the empty
    // numbers are written out.
    std::string growing = "C:\\g.exe," + std::string(1045, 'y') + ",,,,,";
    ASSERT_EQ(1059u, growing.size());
    menutest::SetUnterminated(kSettings, "0 long", tooLong);
    menutest::SetUnterminated(kSettings, "1 growing", growing);
    SetStringValue(kSettings, "A", Item(1));
    SetStringValue(kSettings, "B", "C:\\b.exe");
    ASSERT_EQ("A", qtest::ValueNames(kSettings)[2]);

    ShiftPositions("", 1, 1);
    EXPECT_EQ(2, Position(kSettings, "A"));
    // "1 growing" is an item the menu shows, so it takes a running number
    // (2, shifted to 3); "0 long" is none. B then counts as 4, shifted to 5.
    EXPECT_EQ("C:\\b.exe,,,,0,0,5,0", Record(kSettings, "B"));
    MovePosition("", 2, 5);
    EXPECT_EQ(5, Position(kSettings, "A"));
    NormalizePositions("");
    EXPECT_EQ(5, Position(kSettings, "A"));
    EXPECT_EQ(tooLong, Record(kSettings, "0 long"));
    EXPECT_EQ(growing, Record(kSettings, "1 growing"));
}

TEST_F(RenumberingLeavesAlone, NothingButTheRecordsTheyRewrite) {
    // The longest record that still fits is rewritten in full.
    std::string longest = "C:\\f.exe," + std::string(1040, 'z') + ",,,0,0,1,0";
    ASSERT_EQ(1059u, longest.size());
    menutest::SetUnterminated(kSettings, "A", longest);
    // A shorter record after a longer one must not carry the longer one's tail.
    menutest::SetUnterminated(kSettings, "B", "x");
    SetStringValue(Path("S"), "", ",,,,,,3,0");
    int handles = qtest::OpenHandles();
    ShiftPositions("", 2, 0);
    MovePosition("", 9, 9);
    NormalizePositions("");
    EXPECT_EQ(handles, qtest::OpenHandles()) << "a key was left open";
    EXPECT_EQ(longest, Record(kSettings, "A"));
    EXPECT_EQ("x,,,,0,0,3,0", Record(kSettings, "B"));
    EXPECT_EQ(",,,,0,0,3,0", Record(Path("S"), ""));
    // Key paths whose keys are not there change nothing.
    std::string before = Snapshot(kSettings);
    ShiftPositions("Missing", 1, 1);
    MovePosition("Missing", 1, 2);
    ShiftPositions("S\\Missing", 1, 1);
    MovePosition("S\\", 1, 2);
    NormalizePositions("Missing");
    EXPECT_EQ(before, Snapshot(kSettings));
}
