#include "flatmenu/entry_text.h"

std::string ReadableEntryText(const std::string& text) {
    std::string readable;
    readable.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        // A marker stands before the character it marks; a doubled one
        // stands for itself.
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        else if (text[i] == '&') continue;
        readable += text[i];
    }
    return readable;
}

char EntryMnemonic(const std::string& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] != '&') return text[i + 1];
        ++i; // "&&" is a plain "&"
    }
    return 0;
}
