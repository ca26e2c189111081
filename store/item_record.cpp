// Splitting and composing the eight-field item record.
#include "store/item_record.h"
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

const char PlaceholderMarker[] = "\x01\x02\x03\x04\x05\x06\x07\x08";

namespace {
// Decimal read: leading white space, an optional sign, digits up to the first
// other character; no digits read as 0. Saturates instead of overflowing.
int ReadInteger(const char* text) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    bool negative = false;
    if (*text == '-' || *text == '+') negative = (*text++ == '-');
    long long value = 0;
    while (*text >= '0' && *text <= '9') {
        if (value < 2147483648LL) value = value * 10 + (*text - '0');
        ++text;
    }
    if (negative) value = -value;
    if (value > 2147483647LL) value = 2147483647LL;
    if (value < -2147483648LL) value = -2147483648LL;
    return static_cast<int>(value);
}

// Ends the field that starts at `field` at its comma; returns the next field's
// start, or null when there is no further comma.
char* SplitAtComma(char* field) {
    char* comma = strchr(field, ',');
    if (!comma) return nullptr;
    *comma = '\0';
    return comma + 1;
}

// Appends to a record buffer without ever passing its end.
struct RecordWriter {
    char* out;
    size_t used = 0;
    explicit RecordWriter(char* o) : out(o) { out[0] = '\0'; }
    void Text(const char* text) {
        if (!text) return;
        while (*text && used + 1 < kRecordBufferSize)
            out[used++] = *text++;
        out[used] = '\0';
    }
    void Number(int value) {
        char digits[16];
        snprintf(digits, sizeof digits, "%d", value);
        Text(digits);
    }
};

bool Present(const char* text) {
    return text && *text;
}
} // namespace

void ParseItemRecord(int defaultPosition, bool zeroBased, char* record, MenuItemFields* fields) {
    memset(fields, 0, sizeof *fields);
    fields->target = record;
    char* next = SplitAtComma(record);
    if (next) {
        fields->parameters = next;
        next = SplitAtComma(next);
    }
    if (next) {
        fields->startIn = next;
        next = SplitAtComma(next);
    }
    if (next) {
        fields->iconPath = next;
        next = SplitAtComma(next);
    }
    int* numbers[] = {&fields->iconIndex, &fields->runMode, &fields->position, &fields->separator};
    for (int i = 0; i < 4 && next; ++i) {
        char* field = next;
        next = (i < 3) ? SplitAtComma(field) : nullptr;
        *numbers[i] = ReadInteger(field);
    }
    if (zeroBased) {
        // The lowest stored position stays the lowest instead of overflowing.
        int stored = fields->position;
        fields->position = stored == 0 ? defaultPosition : stored == INT_MIN ? INT_MIN : stored - 1;
    }
}

void BuildItemRecord(bool isSubmenu, const char* target, const char* parameters,
                     const char* startIn, const char* iconPath, int iconIndex, int runMode,
                     int position, int separator, char* out) {
    RecordWriter w(out);
    if (!isSubmenu) w.Text(target);
    w.Text(",");
    if (!isSubmenu && Present(parameters)) w.Text(parameters);
    w.Text(",");
    if (!isSubmenu && Present(startIn)) w.Text(startIn);
    w.Text(",");
    if (Present(iconPath)) w.Text(iconPath);
    w.Text(",");
    if (iconIndex >= 0) w.Number(iconIndex);
    w.Text(",");
    if (!isSubmenu && runMode >= 0) w.Number(runMode);
    w.Text(",");
    w.Number(position == -1 ? 1 : position);
    w.Text(",");
    w.Number(separator);
}

std::string TargetFileStem(const char* target) {
    if (!target) return std::string();
    std::string name = target;
    // Spaces and quotes around a target are no part of its name.
    const size_t first = name.find_first_not_of(" \t\"");
    if (first == std::string::npos) return std::string();
    const size_t last = name.find_last_not_of(" \t\"");
    name = name.substr(first, last - first + 1);
    const size_t folder = name.find_last_of("\\/:");
    if (folder != std::string::npos) name.erase(0, folder + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}
