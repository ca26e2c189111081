// Files for the button face tests: a scratch folder in the Wine prefix, skin
// description files and face bitmaps of chosen sizes and colours.
#pragma once
#include <windows.h>
#include <string>

namespace facetest {
// Folder of the test program (the build's bin folder), with a backslash.
std::string ExeDir();
// A fresh folder under the temporary directory, with a backslash.
std::string ScratchDir();
void MakeDir(const std::string& path);
void WriteText(const std::string& path, const std::string& text);
// A 24-bit bitmap file of one colour.
void WriteFace(const std::string& path, int width, int height, COLORREF colour);
// Loads the host stand-in that exports both GetUIS and GetWBDIR.
HMODULE LoadHostModule();
// Points the host stand-in at a skin file and a host directory; null unsets.
void SetHostAnswers(const char* uis, const char* wbdir);
} // namespace facetest
