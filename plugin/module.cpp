// The plug-in's one instance: the instance handle, the button face and the
// cache, from process attach to process detach.
#include "plugin/module.h"
#include <string.h>
#include "common/text_copy.h"
#include "resources/resource_ids.h"

namespace {
// The module's one instance.
PluginModule g_plugin;

typedef const char*(WINAPI* HostPathFn)();

HBITMAP LoadSkinFace(HINSTANCE instance) {
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
    return static_cast<HBITMAP>(LoadImageA(instance, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
}
} // namespace

PluginModule& ThePlugin() {
    return g_plugin;
}

void PluginModule::Attach(HINSTANCE instance) {
    m_instance = instance;
    LoadButtonFace();
}

void PluginModule::Detach() {
    m_face.Reset();
    m_faceSize = {0, 0};
    m_cache.Release();
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

void PluginModule::LoadButtonFace() {
    m_face.Reset(LoadSkinFace(m_instance));
    if (!m_face) m_face.Reset(LoadBitmapA(m_instance, MAKEINTRESOURCEA(IDB_BUTTON_FACE)));
    m_faceSize = {0, 0};
    BITMAP info;
    if (m_face && GetObjectA(m_face.Get(), sizeof info, &info)) {
        m_faceSize.cx = info.bmWidth;
        m_faceSize.cy = info.bmHeight;
    }
}
