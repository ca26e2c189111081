// The item-properties dialog (resource 104) and its process-wide working record.
#pragma once
#include <windows.h>

struct ItemDialogData {
    char title[40];
    int spinUpper;
    int spinLower;
    bool propertiesMode;
    char name[260];
    bool isSubmenu;
    char target[260];
    char parameters[260];
    char startIn[260];
    char iconPath[260];
    int iconIndex;
    int runMode;
    int position;
    char positionText[16]; // decimal position as shown in control 1013
    int separator;
    HICON previewIcon;
    bool dialogOpen;
    HINSTANCE moduleInstance;
};

extern ItemDialogData g_itemDialog;

INT_PTR CALLBACK ItemDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void ShowIconPreview(HWND dialog, int iconControlId, int textControlId, const char* target,
                     const char* iconPath, int iconIndex, bool repaint);
// Open-file filters: the target's programs, and icon sources.
extern const char kProgramsFilter[];
extern const char kIconFilter[];
bool BrowseForFile(HWND ownerWindow, int controlId, const char* filter, HINSTANCE module);
// Runs dialog 104 with the record as the flow prepared it; IDOK or IDCANCEL.
INT_PTR RunItemDialog(HINSTANCE module);
