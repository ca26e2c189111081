// Recomposing a recorded record as the press would rewrite it.
#include "store/record_tidying.h"
#include <stdio.h>
#include <string.h>
#include "store/item_record.h"

namespace {
// The text of REG_SZ data as a record reader takes it: one stored terminator
// dropped, no zero inside, short enough for a record buffer.
bool RecordText(const std::string& bytes, std::u16string* text) {
    if (bytes.size() % 2 != 0) return false;
    text->clear();
    for (size_t i = 0; i < bytes.size(); i += 2)
        text->push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                              (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    if (!text->empty() && text->back() == 0) text->pop_back();
    return text->size() < kRecordBufferSize && text->find(char16_t(0)) == std::u16string::npos;
}

// A stand-in in which every character beyond ASCII is one '?', so that a
// field's place there is its place in the text: parsing looks only at ASCII.
void Shadow(const std::u16string& text, char* shadow) {
    for (size_t i = 0; i < text.size(); ++i)
        shadow[i] = text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
    shadow[text.size()] = '\0';
}

size_t NumberLength(int value) {
    char digits[16];
    return static_cast<size_t>(snprintf(digits, sizeof digits, "%d", value));
}

size_t TextLength(const char* text) {
    return text ? strlen(text) : 0;
}

// The record rewritten with `position`, as the press composes it; false when
// it would not fit a record (the press then leaves it as it is).
bool Rewrite(const std::u16string& text, int position, std::u16string* out) {
    char shadow[kRecordBufferSize];
    Shadow(text, shadow);
    MenuItemFields f;
    ParseItemRecord(position, false, shadow, &f);
    size_t length = 7 + TextLength(f.target) + TextLength(f.parameters) + TextLength(f.startIn) +
                    TextLength(f.iconPath) + NumberLength(position == -1 ? 1 : position) +
                    NumberLength(f.separator);
    if (f.iconIndex >= 0) length += NumberLength(f.iconIndex);
    if (f.runMode >= 0) length += NumberLength(f.runMode);
    if (length >= kRecordBufferSize) return false;
    char composed[kRecordBufferSize];
    BuildItemRecord(false, f.target, f.parameters, f.startIn, f.iconPath, f.iconIndex, f.runMode,
                    position, f.separator, composed);
    out->clear();
    for (const char* field : {f.target, f.parameters, f.startIn, f.iconPath}) {
        if (field) out->append(text, field - shadow, strlen(field));
        out->push_back(u',');
    }
    const char* numbers = composed;
    for (int commas = 0; commas < 4; ++numbers)
        if (*numbers == ',') ++commas;
    for (; *numbers; ++numbers)
        out->push_back(static_cast<unsigned char>(*numbers));
    return true;
}

int StoredPosition(const std::u16string& text) {
    char shadow[kRecordBufferSize];
    Shadow(text, shadow);
    MenuItemFields f;
    ParseItemRecord(0, false, shadow, &f);
    return f.position;
}
} // namespace

bool IsTidiedRecord(const std::string& recorded, const std::string& now) {
    std::u16string before, after, rewritten;
    if (recorded == now || !RecordText(recorded, &before) || !RecordText(now, &after)) return false;
    const int had = StoredPosition(before);
    const int position = had != 0 ? had : StoredPosition(after);
    return position != 0 && Rewrite(before, position, &rewritten) && rewritten == after;
}
