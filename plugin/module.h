// Module-wide state of the plug-in: its instance, the button face and the
// item editor's state.
#pragma once
#include <windows.h>
#include "editor/editor_state.h"

HINSTANCE ModuleInstance();
void SetModuleInstance(HINSTANCE instance);
// The item editor's state, which WBPress reads to refuse a press while the
// item dialog is up.
EditorState& ModuleEditorState();

// Loads the skin's face (section "Quoril", key "Bitmap" of the host's skin
// file, relative to the host's directory) or else bitmap resource 102.
void LoadButtonFace();
void DeleteButtonFace();
HBITMAP ButtonFace();
SIZE ButtonFaceSize();
// Builds "<wbdir>[\]<face>" into `path` (260 chars) from the "Bitmap" key of
// section "Quoril" in the skin file `uis`; false when there is no skin face.
bool BuildSkinFacePath(const char* uis, const char* wbdir, char* path);
