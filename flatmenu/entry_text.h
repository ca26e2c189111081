// An entry's text as it reads, rather than as it is stored: "&" marks the
// next character as the entry's mnemonic and "&&" stands for one "&".
// Free of Win32.
#pragma once
#include <string>

// The text without its mnemonic markers: "&Notepad" reads "Notepad",
// "Fish && Chips" reads "Fish & Chips".
std::string ReadableEntryText(const std::string& text);
// The character the first lone "&" marks, or 0 when there is none.
char EntryMnemonic(const std::string& text);
