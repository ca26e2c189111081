#include "plugin_test_files.h"
#include <stdio.h>
#include <vector>

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
    int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + stride * height;
    std::vector<BYTE> pixels(stride * height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            BYTE* p = &pixels[y * stride + x * 3];
            p[0] = GetBValue(colour);
            p[1] = GetGValue(colour);
            p[2] = GetRValue(colour);
        }
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    bytes.append(pixels.begin(), pixels.end());
    WriteText(path, bytes);
}

HMODULE LoadHostModule() {
    return LoadLibraryA((ExeDir() + "wblind.dll").c_str());
}

void SetHostAnswers(const char* uis, const char* wbdir) {
    SetEnvironmentVariableA("QUORIL_HOST_UIS", uis);
    SetEnvironmentVariableA("QUORIL_HOST_WBDIR", wbdir);
}
} // namespace facetest
