// The undo journal's values, shared by recording and undoing.
#pragma once
#include <windows.h>
#include <stdint.h>
#include <string>
#include <vector>
#include "common/handle_guards.h"

// One intact step as stored.
struct JournalStep {
    uint32_t sequence = 0;
    std::wstring name;
    std::string data;
};

// Opens the journal's key to read and write it (creating it with `create`).
OwnedKey OpenJournal(bool create);
// The intact steps, oldest first. Every other value (another name or type,
// over-long, damaged) is deleted on the way.
std::vector<JournalStep> ReadJournal(HKEY key);
