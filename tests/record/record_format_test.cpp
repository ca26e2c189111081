#include <gtest/gtest.h>
#include <ctype.h>
#include <string.h>
#include <ostream>
#include <string>
#include <vector>
#include "store/item_record.h"

namespace {
const char* kAbsent = "<absent>";
std::string Str(const char* s) {
    return s ? s : kAbsent;
}

struct ParseCase {
    const char* name;
    const char* record;
    int defaultPosition;
    bool zeroBased;
    // Expected fields; kAbsent stands for an absent text.
    const char* target;
    const char* parameters;
    const char* startIn;
    const char* iconPath;
    int iconIndex, runMode, position, separator;
};

const ParseCase kParseCases[] = {
    {"bare program name", "notepad.exe", 0, false, "notepad.exe", kAbsent, kAbsent, kAbsent, 0, 0,
     0, 0},
    {"bare name zero-based takes default", "notepad.exe", 4, true, "notepad.exe", kAbsent, kAbsent,
     kAbsent, 0, 0, 4, 0},
    {"submenu record", ",,,,,,3,1", 0, false, "", "", "", "", 0, 0, 3, 1},
    {"submenu record zero-based", ",,,,,,3,1", 9, true, "", "", "", "", 0, 0, 2, 1},
    {"full item", "C:\\Tools\\calc.exe,/s,,C:\\Tools\\icons.dll,3,0,4,1", 0, false,
     "C:\\Tools\\calc.exe", "/s", "", "C:\\Tools\\icons.dll", 3, 0, 4, 1},
    {"position 1 zero-based is 0", "a,,,,0,0,1,0", 7, true, "a", "", "", "", 0, 0, 0, 0},
    {"position 0 zero-based is default unchanged", "a,,,,0,0,0,0", 7, true, "a", "", "", "", 0, 0,
     7, 0},
    {"position -3 zero-based is -4", "a,,,,0,0,-3,0", 7, true, "a", "", "", "", 0, 0, -4, 0},
    {"empty position zero-based is default", "a,,,,0,0,,1", 5, true, "a", "", "", "", 0, 0, 5, 1},
    {"position kept when not zero-based", "a,,,,0,0,0,0", 7, false, "a", "", "", "", 0, 0, 0, 0},
    {"empty integers read 0", "a,b,c,d,,,,", 0, false, "a", "b", "c", "d", 0, 0, 0, 0},
    {"non-digit start reads 0", "a,b,c,d,x5,-,+,z", 0, false, "a", "b", "c", "d", 0, 0, 0, 0},
    {"white space, signs and trailing text", "a,b,c,d, 12,+7,-2x,3junk", 0, false, "a", "b", "c",
     "d", 12, 7, -2, 3},
    {"stops after parameters", "prog.exe,-x", 0, false, "prog.exe", "-x", kAbsent, kAbsent, 0, 0, 0,
     0},
    {"stops after icon index", "p,q,r,s,5", 3, true, "p", "q", "r", "s", 5, 0, 3, 0},
    {"stops after run mode", "p,q,r,s,5,6", 0, false, "p", "q", "r", "s", 5, 6, 0, 0},
    {"text after the eighth field ignored", "p,,,,1,2,3,4,5,6", 0, false, "p", "", "", "", 1, 2, 3,
     4},
    {"empty record", "", 2, true, "", kAbsent, kAbsent, kAbsent, 0, 0, 2, 0},
    {"huge numbers saturate", "p,,,,99999999999,-99999999999,2147483647,0", 0, false, "p", "", "",
     "", 2147483647, -2147483647 - 1, 2147483647, 0},
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << c.name;
}

class ParseCases : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseCases, Fields) {
    const ParseCase& c = GetParam();
    std::vector<char> buffer(c.record, c.record + strlen(c.record) + 1);
    MenuItemFields f;
    memset(&f, 0x5A, sizeof f); // stale content must not survive
    ParseItemRecord(c.defaultPosition, c.zeroBased, buffer.data(), &f);
    EXPECT_EQ(buffer.data(), f.target);
    EXPECT_EQ(c.target, Str(f.target));
    EXPECT_EQ(c.parameters, Str(f.parameters));
    EXPECT_EQ(c.startIn, Str(f.startIn));
    EXPECT_EQ(c.iconPath, Str(f.iconPath));
    EXPECT_EQ(c.iconIndex, f.iconIndex);
    EXPECT_EQ(c.runMode, f.runMode);
    EXPECT_EQ(c.position, f.position);
    EXPECT_EQ(c.separator, f.separator);
}

std::string CaseName(const ::testing::TestParamInfo<ParseCase>& info) {
    std::string name;
    for (const char* p = info.param.name; *p; ++p)
        name += isalnum((unsigned char)*p) ? *p : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(ParseItemRecord, ParseCases, ::testing::ValuesIn(kParseCases), CaseName);

TEST(ParseItemRecord, ReplacesOnlyTheFirstSevenCommas) {
    char record[] = "a,b,c,d,1,2,3,4,extra,more";
    MenuItemFields f;
    ParseItemRecord(0, false, record, &f);
    const char expected[] = "a\0b\0c\0d\0"
                            "1\0"
                            "2\0"
                            "3\0"
                            "4,extra,more";
    ASSERT_EQ(sizeof expected, sizeof record);
    EXPECT_EQ(0, memcmp(expected, record, sizeof record));
}

TEST(ParseItemRecord, LongRecordStaysInItsBuffer) {
    std::string text(5000, 'x');
    text += ",p,s,i,1,2,3,4";
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    MenuItemFields f;
    ParseItemRecord(0, true, buffer.data(), &f);
    EXPECT_EQ(5000u, strlen(f.target));
    EXPECT_EQ("i", Str(f.iconPath));
    EXPECT_EQ(2, f.position);
    EXPECT_EQ(4, f.separator);
}

struct BuildCase {
    const char* name;
    bool isSubmenu;
    const char *target, *parameters, *startIn, *iconPath;
    int iconIndex, runMode, position, separator;
    const char* expected;
};

const BuildCase kBuildCases[] = {
    {"item", false, "C:\\Windows\\notepad.exe", "", "C:\\Windows", "", 0, 0, 2, 0,
     "C:\\Windows\\notepad.exe,,C:\\Windows,,0,0,2,0"},
    {"item with everything", false, "C:\\Tools\\calc.exe", "/s", nullptr, "C:\\Tools\\icons.dll", 3,
     0, 4, 1, "C:\\Tools\\calc.exe,/s,,C:\\Tools\\icons.dll,3,0,4,1"},
    {"submenu drops item fields", true, "t.exe", "-p", "C:\\s", "icons.dll", 2, 5, 3, 1,
     ",,,icons.dll,2,,3,1"},
    {"submenu without icon", true, nullptr, nullptr, nullptr, nullptr, 0, 0, 1, 0, ",,,,0,,1,0"},
    {"negative defaults", false, "t", "p", "s", "i", -1, -1, -1, 0, "t,p,s,i,,,1,0"},
    {"position 0 written", false, "t", nullptr, nullptr, nullptr, 0, 0, 0, 0, "t,,,,0,0,0,0"},
    {"other negative position kept", false, "t", nullptr, nullptr, nullptr, 0, 0, -5, -2,
     "t,,,,0,0,-5,-2"},
    {"absent texts empty", false, nullptr, nullptr, nullptr, nullptr, 7, 1, 9, 1, ",,,,7,1,9,1"},
};

void PrintTo(const BuildCase& c, std::ostream* os) {
    *os << c.name;
}

class BuildCases : public ::testing::TestWithParam<BuildCase> {};

TEST_P(BuildCases, Record) {
    const BuildCase& c = GetParam();
    char out[kRecordBufferSize];
    memset(out, 'Z', sizeof out);
    BuildItemRecord(c.isSubmenu, c.target, c.parameters, c.startIn, c.iconPath, c.iconIndex,
                    c.runMode, c.position, c.separator, out);
    EXPECT_STREQ(c.expected, out);
}

std::string BuildCaseName(const ::testing::TestParamInfo<BuildCase>& info) {
    std::string name;
    for (const char* p = info.param.name; *p; ++p)
        name += isalnum((unsigned char)*p) ? *p : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(BuildItemRecord, BuildCases, ::testing::ValuesIn(kBuildCases),
                         BuildCaseName);

TEST(BuildItemRecord, RoundTripThroughParse) {
    struct {
        const char *target, *parameters, *startIn, *iconPath;
        int iconIndex, runMode, position, separator;
        // What comes back.
        int iconIndexBack, runModeBack, positionBack;
    } cases[] = {
        {"C:\\a b\\x.exe", "-q \"f\"", "C:\\a b", "C:\\i.ico", 4, 0, 6, 1, 4, 0, 6},
        {"x.exe", nullptr, nullptr, nullptr, -1, -1, -1, 0, 0, 0, 1},
        {"doc.txt", "", "", "", 0, 3, 0, 0, 0, 3, 0},
    };
    for (const auto& c : cases) {
        char out[kRecordBufferSize];
        BuildItemRecord(false, c.target, c.parameters, c.startIn, c.iconPath, c.iconIndex,
                        c.runMode, c.position, c.separator, out);
        MenuItemFields f;
        ParseItemRecord(0, false, out, &f);
        SCOPED_TRACE(c.target);
        EXPECT_EQ(c.target, Str(f.target));
        EXPECT_EQ(c.parameters ? c.parameters : "", Str(f.parameters));
        EXPECT_EQ(c.startIn ? c.startIn : "", Str(f.startIn));
        EXPECT_EQ(c.iconPath ? c.iconPath : "", Str(f.iconPath));
        EXPECT_EQ(c.iconIndexBack, f.iconIndex);
        EXPECT_EQ(c.runModeBack, f.runMode);
        EXPECT_EQ(c.positionBack, f.position);
        EXPECT_EQ(c.separator, f.separator);
    }
}

TEST(BuildItemRecord, OverlongTextsAreCutAtTheBufferEnd) {
    const size_t guard = 64;
    std::vector<char> out(kRecordBufferSize + guard, 'G');
    std::string t(300, 't'), p(300, 'p'), s(300, 's'), i(300, 'i');
    BuildItemRecord(false, t.c_str(), p.c_str(), s.c_str(), i.c_str(), 1, 0, 2, 0, out.data());
    EXPECT_EQ(static_cast<size_t>(kRecordBufferSize - 1), strlen(out.data()));
    EXPECT_EQ(std::string(guard, 'G'), std::string(out.data() + kRecordBufferSize, guard))
        << "BuildItemRecord wrote past its 1060-byte buffer";
    std::string huge(5000, 'h');
    std::fill(out.begin(), out.end(), 'G');
    BuildItemRecord(false, huge.c_str(), nullptr, nullptr, nullptr, 0, 0, 1, 0, out.data());
    EXPECT_EQ(std::string(kRecordBufferSize - 1, 'h'), out.data());
    EXPECT_EQ(std::string(guard, 'G'), std::string(out.data() + kRecordBufferSize, guard));
}
} // namespace

TEST(TargetFileStem, IsTheFileNameWithoutFolderOrExtension) {
    EXPECT_EQ("Note Pad", TargetFileStem("C:\\Tools\\Note Pad.exe"));
    EXPECT_EQ("Note Pad", TargetFileStem("  \"C:\\Tools\\Note Pad.exe\" "));
    EXPECT_EQ("calc", TargetFileStem("calc"));
    EXPECT_EQ("archive.tar", TargetFileStem("D:/backups/archive.tar.gz"));
    EXPECT_EQ("notepad", TargetFileStem("C:notepad.exe"));
    EXPECT_EQ(".profile", TargetFileStem("\\\\server\\home\\.profile"));
    EXPECT_EQ("", TargetFileStem("C:\\Tools\\"));
    EXPECT_EQ("", TargetFileStem("\"\""));
    EXPECT_EQ("", TargetFileStem(""));
    EXPECT_EQ("", TargetFileStem(nullptr));
}
