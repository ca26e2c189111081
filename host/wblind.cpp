// Stand-in for the skinning engine's module: answers where the current skin's
// description file and the engine's directory are. Tests and the host program
// set the answers through QUORIL_HOST_UIS and QUORIL_HOST_WBDIR; an unset
// variable makes the export return null.
#include <windows.h>

namespace {
const char* Answer(const char* variable, char* buffer, DWORD size) {
    DWORD n = GetEnvironmentVariableA(variable, buffer, size);
    return (n == 0 || n >= size) ? nullptr : buffer;
}
} // namespace

extern "C" {
__declspec(dllexport) const char* WINAPI GetUIS() {
    static char buffer[1024];
    return Answer("QUORIL_HOST_UIS", buffer, sizeof buffer);
}
#ifndef WBLIND_WITHOUT_WBDIR
__declspec(dllexport) const char* WINAPI GetWBDIR() {
    static char buffer[1024];
    return Answer("QUORIL_HOST_WBDIR", buffer, sizeof buffer);
}
#endif
}
