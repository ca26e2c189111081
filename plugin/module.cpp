// Module-wide state: the instance handle, the button face, which lives from
// process attach to process detach, and the item editor's state.
#include "plugin/module.h"
#include <string.h>
#include "common/text_copy.h"
#include "resources/resource_ids.h"

namespace {
HINSTANCE g_instance = nullptr;
HBITMAP g_face = nullptr;
SIZE g_faceSize = {0, 0};
EditorState g_editorState;

typedef const char*(WINAPI* HostPathFn)();

HBITMAP LoadSkinFace() {
    HMODULE host = GetModuleHandleA("wbocx.ocx");
    if (!host) host = GetModuleHandleA("wblind.dll");
    if (!host) return nullptr;
    HostPathFn getUis = reinterpret_cast<HostPathFn>(GetProcAddress(host, "GetUIS"));
    HostPathFn getWbDir = reinterpret_cast<HostPathFn>(GetProcAddress(host, "GetWBDIR"));
    if (!getUis || !getWbDir) return nullptr;
    const char* uis = getUis();
    if (!uis) return nullptr;
    char path[260];
    if (!BuildSkinFacePath(uis, getWbDir(), path)) return nullptr;
    return static_cast<HBITMAP>(LoadImageA(g_instance, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
}
} // namespace

HINSTANCE ModuleInstance() {
    return g_instance;
}
void SetModuleInstance(HINSTANCE instance) {
    g_instance = instance;
}
EditorState& ModuleEditorState() {
    return g_editorState;
}

bool BuildSkinFacePath(const char* uis, const char* wbdir, char* path) {
    // Without the host's directory there is nothing to take the face relative to.
    if (!uis || !wbdir) return false;
    CopyText(path, 256, uis); // at most 255 characters
    char face[256];
    GetPrivateProfileStringA("Quoril", "Bitmap", "", face, sizeof face, path);
    if (face[0] == '\0') return false;
    // The face file is always relative to the host's directory.
    CopyText(path, 254, wbdir);
    size_t length = strlen(path);
    if (face[0] != '\\' && (length == 0 || path[length - 1] != '\\')) {
        path[length++] = '\\';
        path[length] = '\0';
    }
    CopyText(path + length, 256 - length, face);
    return true;
}

void LoadButtonFace() {
    DeleteButtonFace();
    g_face = LoadSkinFace();
    if (!g_face) g_face = LoadBitmapA(g_instance, MAKEINTRESOURCEA(IDB_BUTTON_FACE));
    if (g_face) {
        BITMAP info;
        if (GetObjectA(g_face, sizeof info, &info)) {
            g_faceSize.cx = info.bmWidth;
            g_faceSize.cy = info.bmHeight;
        }
    }
}

void DeleteButtonFace() {
    if (g_face) DeleteObject(g_face);
    g_face = nullptr;
    g_faceSize.cx = g_faceSize.cy = 0;
}

HBITMAP ButtonFace() {
    return g_face;
}
SIZE ButtonFaceSize() {
    return g_faceSize;
}
