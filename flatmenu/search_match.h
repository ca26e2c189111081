// How a typed text matches an entry's name: case and accents do not count,
// mnemonic markers are not part of the name, and matches fall into groups
// shown in order (the name starts with the text, a word of it does, it holds
// the text anywhere, the target's file name starts with it).
#pragma once
#include <string>

// `text` lower-cased and without accents ("É" folds to "e"), for comparing.
// Characters the system cannot decompose are kept as they are.
std::wstring FoldForSearch(const std::wstring& text);
// Text in the code page, in UTF-16.
std::wstring WideFromCodePage(const std::string& text);
// An entry's text (in the code page, "&" marking its mnemonic) as it reads,
// in UTF-16.
std::wstring ReadableWideText(const std::string& text);

enum class MatchGroup {
    None = -1,
    NameStart = 0,   // the name starts with the text
    WordStart = 1,   // a later word of the name starts with it
    Contains = 2,    // the name holds it anywhere
    TargetStart = 3, // the target's file name starts with it
};

// The group of a name and target file name (both folded) for a folded,
// non-empty text; None when it matches neither.
MatchGroup MatchFolded(const std::wstring& name, const std::wstring& targetName,
                       const std::wstring& text);
