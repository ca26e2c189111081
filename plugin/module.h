// The plug-in's state from process attach to detach, held by its one
// instance: the module instance, the button face, what outlives a press and
// the item editor's state.
#pragma once
#include <windows.h>
#include "common/gdi_guards.h"
#include "editor/editor_state.h"
#include "menubuild/menu_cache.h"

class PluginModule {
  public:
    // Records the instance and loads the button face.
    void Attach(HINSTANCE instance);
    // Gives up the button face and everything kept between presses.
    void Detach();
    HINSTANCE Instance() const { return m_instance; }

    // Loads the skin's face (section "Quoril", key "Bitmap" of the host's
    // skin file, relative to the host's directory) or else bitmap resource
    // 102, in place of the face loaded before.
    void LoadButtonFace();
    HBITMAP ButtonFace() const { return m_face.Get(); }
    SIZE ButtonFaceSize() const { return m_faceSize; }

    MenuCache& Cache() { return m_cache; }
    // Read by WBPress, which refuses a press while the item dialog is up.
    EditorState& Editor() { return m_editor; }

  private:
    HINSTANCE m_instance = nullptr;
    OwnedBitmap m_face;
    SIZE m_faceSize = {0, 0};
    MenuCache m_cache;
    EditorState m_editor;
};

// The module's one instance.
PluginModule& ThePlugin();

// Builds "<wbdir>[\]<face>" into `path` (260 chars) from the "Bitmap" key of
// section "Quoril" in the skin file `uis`; false when there is no skin face.
bool BuildSkinFacePath(const char* uis, const char* wbdir, char* path);
