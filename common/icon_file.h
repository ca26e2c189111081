// Reading one icon from a file.
#pragma once
#include <windows.h>
#include <shellapi.h>

// Icon `index` of `file`, or null when there is none: ExtractIconA answers 1
// for a file that holds no icons at all, which is no icon either. The caller
// destroys the icon.
inline HICON ExtractIconOrNull(HINSTANCE instance, const char* file, int index) {
    HICON icon = ExtractIconA(instance, file, static_cast<UINT>(index));
    return icon == reinterpret_cast<HICON>(1) ? nullptr : icon;
}
