#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include "store/item_record.h"

namespace {
std::string Str(const char* s) { return s ? s : "<absent>"; }
} // namespace

TEST(ParseItemRecord, SplitsAllEightFields) {
    char record[] = "C:\\Tools\\calc.exe,/s,,C:\\Tools\\icons.dll,3,0,4,1";
    MenuItemFields f;
    ParseItemRecord(0, false, record, &f);
    EXPECT_EQ("C:\\Tools\\calc.exe", Str(f.target));
    EXPECT_EQ("/s", Str(f.parameters));
    EXPECT_EQ("", Str(f.startIn));
    EXPECT_EQ("C:\\Tools\\icons.dll", Str(f.iconPath));
    EXPECT_EQ(3, f.iconIndex);
    EXPECT_EQ(0, f.runMode);
    EXPECT_EQ(4, f.position);
    EXPECT_EQ(1, f.separator);
}

TEST(ParseItemRecord, BareNameUsesDefaultPositionWhenZeroBased) {
    char record[] = "notepad.exe";
    MenuItemFields f;
    ParseItemRecord(4, true, record, &f);
    EXPECT_EQ("notepad.exe", Str(f.target));
    EXPECT_EQ(nullptr, f.parameters);
    EXPECT_EQ(nullptr, f.startIn);
    EXPECT_EQ(nullptr, f.iconPath);
    EXPECT_EQ(4, f.position);
}

// A garbage position at the very bottom of the int range must not overflow
// when made zero-based: it stays the lowest position there is.
TEST(ParseItemRecord, LowestStoredPositionStaysLowestWhenZeroBased) {
    char lowest[] = "calc.exe,,,,0,0,-2147483648,0";
    MenuItemFields f;
    ParseItemRecord(7, true, lowest, &f);
    EXPECT_EQ(-2147483647 - 1, f.position);

    char belowRange[] = "calc.exe,,,,0,0,-99999999999,0";
    ParseItemRecord(7, true, belowRange, &f);
    EXPECT_EQ(-2147483647 - 1, f.position);

    char nextToLowest[] = "calc.exe,,,,0,0,-2147483647,0";
    ParseItemRecord(7, true, nextToLowest, &f);
    EXPECT_EQ(-2147483647 - 1, f.position);
}
