// What the item editor shares with the plug-in that runs it.
#pragma once
#include <windows.h>

// The editor's part of the module's state: while the item dialog is up, its
// own loop may let the host press again, and such a press is refused.
struct EditorState {
    bool dialogOpen = false;
};

// What a flow and its dialogs run with: the module (its resources, and the
// instance handed to ExtractIconA) and the module's editor state.
struct EditContext {
    HINSTANCE module = nullptr;
    EditorState* state = nullptr;
};
