// A program for the press tests to start: it appends one line to the file that
// QUORIL_PROBE_OUT names (or probe.txt beside itself), holding the arguments
// it was given, the directory it was started in and the show command it was
// asked to use, then exits. No window.
#include <windows.h>
#include <stdio.h>
#include <string.h>

namespace {
// The command line after the program's own name and the blanks that follow.
const char* Arguments(const char* commandLine) {
    const char* p = commandLine;
    if (*p == '"') {
        ++p;
        while (*p && *p != '"')
            ++p;
        if (*p) ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t')
            ++p;
    }
    while (*p == ' ' || *p == '\t')
        ++p;
    return p;
}

void OutputPath(char* path, DWORD size) {
    DWORD n = GetEnvironmentVariableA("QUORIL_PROBE_OUT", path, size);
    if (n > 0 && n < size) return;
    n = GetModuleFileNameA(nullptr, path, size);
    while (n > 0 && path[n - 1] != '\\')
        --n;
    lstrcpynA(path + n, "probe.txt", static_cast<int>(size - n));
}
} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char directory[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof directory, directory);
    char path[MAX_PATH];
    OutputPath(path, sizeof path);
    // Several probes may finish at once: retry while another one writes.
    for (int attempt = 0; attempt < 200; ++attempt) {
        HANDLE file = CreateFileA(path, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            Sleep(10);
            continue;
        }
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        GetStartupInfoA(&startup);
        int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
        char line[4096];
        int n = snprintf(line, sizeof line, "args=%s|cwd=%s|show=%d\n",
                         Arguments(GetCommandLineA()), directory, show);
        if (n < 0 || n >= static_cast<int>(sizeof line)) n = static_cast<int>(strlen(line));
        DWORD written = 0;
        WriteFile(file, line, static_cast<DWORD>(n), &written, nullptr);
        CloseHandle(file);
        return 0;
    }
    return 1;
}
