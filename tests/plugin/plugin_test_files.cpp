#include "plugin_test_files.h"
#include <stdio.h>
#include <vector>
#include "tests/support/snapshot.h"

namespace facetest {
std::string ExeDir() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    while (n > 0 && path[n - 1] != '\\')
        --n;
    return std::string(path, n);
}

std::string ScratchDir() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string dir = std::string(temp) + "quoril-face-" + std::to_string(GetCurrentProcessId()) +
                      "-" + std::to_string(GetTickCount()) + "\\";
    MakeDir(dir);
    return dir;
}

void MakeDir(const std::string& path) {
    CreateDirectoryA(path.c_str(), nullptr);
}

void WriteText(const std::string& path, const std::string& text) {
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return;
    fwrite(text.data(), 1, text.size(), file);
    fclose(file);
}

void WriteFace(const std::string& path, int width, int height, COLORREF colour) {
    qtest::SaveBmp(path, width, height,
                   std::vector<COLORREF>(static_cast<size_t>(width) * height, colour));
}

HMODULE LoadHostModule() {
    return LoadLibraryA((ExeDir() + "wblind.dll").c_str());
}

void SetHostAnswers(const char* uis, const char* wbdir) {
    SetEnvironmentVariableA("QUORIL_HOST_UIS", uis);
    SetEnvironmentVariableA("QUORIL_HOST_WBDIR", wbdir);
}
} // namespace facetest
