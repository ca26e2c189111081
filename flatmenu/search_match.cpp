#include "flatmenu/search_match.h"
#include <windows.h>
#include <wctype.h>
#include <vector>
#include "flatmenu/entry_text.h"

namespace {
// The combining marks that decomposition splits accents into.
bool IsCombiningMark(wchar_t c) {
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) ||
           (c >= 0x1DC0 && c <= 0x1DFF) || (c >= 0x20D0 && c <= 0x20FF) ||
           (c >= 0xFE20 && c <= 0xFE2F);
}

// `text` with accented letters split into letter and combining marks; the
// text as it is when the system cannot.
std::wstring Decomposed(const std::wstring& text) {
    if (text.empty()) return text;
    const int length = static_cast<int>(text.size());
    // A letter decomposes into a few characters at most.
    std::vector<wchar_t> out(static_cast<size_t>(length) * 4 + 8);
    const int written =
        FoldStringW(MAP_COMPOSITE, text.c_str(), length, out.data(), static_cast<int>(out.size()));
    if (written <= 0) return text;
    return std::wstring(out.data(), static_cast<size_t>(written));
}

// Whether `name` holds `text` at `at`.
bool At(const std::wstring& name, size_t at, const std::wstring& text) {
    return name.compare(at, text.size(), text) == 0;
}

bool IsWordCharacter(wchar_t c) {
    return iswalnum(c) != 0 || c > 0x7F; // letters beyond ASCII count as letters
}
} // namespace

std::wstring FoldForSearch(const std::wstring& text) {
    std::wstring lower = text;
    if (!lower.empty()) CharLowerBuffW(&lower[0], static_cast<DWORD>(lower.size()));
    std::wstring folded;
    folded.reserve(lower.size());
    for (wchar_t c : Decomposed(lower)) {
        if (!IsCombiningMark(c)) folded += c;
    }
    return folded;
}

std::wstring ReadableWideText(const std::string& text) {
    return WideFromCodePage(ReadableEntryText(text));
}

std::wstring WideFromCodePage(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, &wide[0], length);
    return wide;
}

MatchGroup MatchFolded(const std::wstring& name, const std::wstring& targetName,
                       const std::wstring& text) {
    if (text.empty()) return MatchGroup::None;
    if (At(name, 0, text)) return MatchGroup::NameStart;
    bool contains = false;
    for (size_t at = name.find(text, 1); at != std::wstring::npos; at = name.find(text, at + 1)) {
        contains = true;
        if (!IsWordCharacter(name[at - 1]) && IsWordCharacter(name[at]))
            return MatchGroup::WordStart;
    }
    if (contains) return MatchGroup::Contains;
    if (At(targetName, 0, text)) return MatchGroup::TargetStart;
    return MatchGroup::None;
}
