// libFuzzer target for the item record: parses any bytes, composes a record
// from the parsed fields and checks that a record that fits reads back to the
// same fields. Buffers are heap blocks of exactly their size, so that
// AddressSanitizer reports any read or write past them.
#include "store/item_record.h"
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <memory>
#include <string>

namespace {
void Fail(const char* what, const std::string& detail) {
    fprintf(stderr, "item record: %s\n  %s\n", what, detail.c_str());
    abort();
}

std::string Text(const char* field) {
    return field ? field : "";
}

// The text of a field must lie inside the record it was split from.
void CheckInside(const char* field, const char* record, size_t length, const char* name) {
    if (!field) return;
    if (field < record || field > record + length) Fail("field outside the record", name);
}

// The record as the composer must write it before any cut at the buffer end.
std::string Expected(bool isSubmenu, const MenuItemFields& f) {
    std::string r;
    if (!isSubmenu) r += Text(f.target);
    r += ',';
    if (!isSubmenu) r += Text(f.parameters);
    r += ',';
    if (!isSubmenu) r += Text(f.startIn);
    r += ',';
    r += Text(f.iconPath);
    r += ',';
    if (f.iconIndex >= 0) r += std::to_string(f.iconIndex);
    r += ',';
    if (!isSubmenu && f.runMode >= 0) r += std::to_string(f.runMode);
    r += ',';
    r += std::to_string(f.position == -1 ? 1 : f.position);
    r += ',';
    r += std::to_string(f.separator);
    return r;
}

// Reading the composed record back gives the fields it was composed from,
// with the documented exceptions: a negative icon index or run mode is
// written empty and reads back as 0, position -1 is written as 1, and a
// submenu keeps no target, parameters, start folder or run mode.
void CheckRoundTrip(bool isSubmenu, const MenuItemFields& in, const char* composed) {
    size_t length = strlen(composed);
    std::unique_ptr<char[]> copy(new char[length + 1]);
    memcpy(copy.get(), composed, length + 1);
    MenuItemFields back;
    ParseItemRecord(0, false, copy.get(), &back);
    std::string where = std::string("record: ") + composed;
    if (Text(back.target) != (isSubmenu ? "" : Text(in.target))) Fail("target changed", where);
    if (Text(back.parameters) != (isSubmenu ? "" : Text(in.parameters)))
        Fail("parameters changed", where);
    if (Text(back.startIn) != (isSubmenu ? "" : Text(in.startIn)))
        Fail("start folder changed", where);
    if (Text(back.iconPath) != Text(in.iconPath)) Fail("icon path changed", where);
    if (back.iconIndex != (in.iconIndex < 0 ? 0 : in.iconIndex)) Fail("icon index changed", where);
    int runMode = (isSubmenu || in.runMode < 0) ? 0 : in.runMode;
    if (back.runMode != runMode) Fail("run mode changed", where);
    if (back.position != (in.position == -1 ? 1 : in.position)) Fail("position changed", where);
    if (back.separator != in.separator) Fail("separator changed", where);
}

// Composes from `fields` into an exactly sized buffer and checks the result
// against the expected text, cut at the buffer end.
void Compose(bool isSubmenu, const MenuItemFields& fields) {
    std::unique_ptr<char[]> out(new char[kRecordBufferSize]);
    BuildItemRecord(isSubmenu, fields.target, fields.parameters, fields.startIn, fields.iconPath,
                    fields.iconIndex, fields.runMode, fields.position, fields.separator, out.get());
    if (!memchr(out.get(), '\0', kRecordBufferSize)) Fail("composed record unterminated", "");
    std::string expected = Expected(isSubmenu, fields);
    bool fits = expected.size() < kRecordBufferSize;
    if (!fits) expected.resize(kRecordBufferSize - 1);
    if (expected != out.get()) Fail("composed record differs", "expected: " + expected);
    if (fits) CheckRoundTrip(isSubmenu, fields, out.get());
}

// Splits a copy of `bytes` (up to the first NUL) held in a block of exactly
// its size plus the terminator, and composes from the result both ways.
void ParseAndCompose(const uint8_t* bytes, size_t size, bool zeroBased, int defaultPosition) {
    const void* nul = memchr(bytes, '\0', size);
    size_t length = nul ? static_cast<const uint8_t*>(nul) - bytes : size;
    std::unique_ptr<char[]> record(new char[length + 1]);
    memcpy(record.get(), bytes, length);
    record[length] = '\0';
    MenuItemFields fields;
    ParseItemRecord(defaultPosition, zeroBased, record.get(), &fields);
    if (fields.target != record.get()) Fail("target is not the record's start", "");
    CheckInside(fields.parameters, record.get(), length, "parameters");
    CheckInside(fields.startIn, record.get(), length, "start folder");
    CheckInside(fields.iconPath, record.get(), length, "icon path");
    Compose(false, fields);
    Compose(true, fields);
}
} // namespace

// The first byte chooses the parse mode and default position; the rest is
// the record. Records are read as stored (any length) and as a caller reads
// them into a record buffer (cut to kRecordBufferSize - 1 characters).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    bool zeroBased = data[0] & 1;
    int defaultPosition = static_cast<int8_t>(data[0]) >> 1;
    ++data;
    --size;
    ParseAndCompose(data, size, zeroBased, defaultPosition);
    if (size >= kRecordBufferSize) ParseAndCompose(data, kRecordBufferSize - 1, zeroBased, 0);
    return 0;
}
