// The icon picker (resource 111): a file name in, an icon index or -1 out.
#pragma once
#include <windows.h>
#include <commctrl.h>

struct IconPickerData {
    const char* fileName;
    HIMAGELIST imageList;
    int chosenIndex;
};

extern IconPickerData g_iconPicker;

int ChooseIconIndex(HINSTANCE module, HWND ownerWindow, const char* fileName);
INT_PTR CALLBACK IconPickerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
