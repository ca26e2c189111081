// Entry points called by the host (stdcall, undecorated through Quoril.def).
#pragma once
#include <windows.h>

extern "C" {
int WINAPI WBDraw(DWORD ignored1, HDC dc, const RECT* rc, DWORD ignored2, DWORD ignored3);
int WINAPI WBPress(HWND hostWindow, int x, int y, DWORD ignored);
int WINAPI WBQuery(DWORD ignored);
int WINAPI WBRelease(DWORD ignored1, DWORD ignored2, DWORD ignored3, DWORD ignored4);
}
