#include "tests/editor/editor_test_support.h"
#include <gtest/gtest.h>
#include <dlgs.h>
#include <stdio.h>
#include <vector>
#include "resources/resource_ids.h"
#include "tests/support/test_support.h"

namespace edtest {

HINSTANCE Module() {
    return GetModuleHandleA(nullptr);
}

INT_PTR DriveDialog(const char* title, const std::function<void(HWND)>& steps,
                    const std::function<INT_PTR()>& run) {
    const std::string caption = title;
    const qtest::ModalOutcome outcome = qtest::DriveModal(
        [&] { return static_cast<int>(run()); },
        [&] {
            HWND dialog = qtest::WaitForWindow("#32770", caption.c_str());
            if (!dialog) {
                ADD_FAILURE() << "the dialog \"" << caption << "\" did not show";
                return;
            }
            const int failures = qtest::FailureCount();
            steps(dialog);
            // Leave nothing open behind steps that passed.
            if (qtest::FailureCount() == failures && IsWindow(dialog) && IsWindowVisible(dialog))
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        },
        "the dialog \"" + caption + "\"");
    return outcome.result;
}

std::string ControlText(HWND dialog, int id) {
    return qtest::WindowText(GetDlgItem(dialog, id));
}

void SetControlText(HWND dialog, int id, const std::string& text) {
    SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void PostClick(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void ClickCheckBox(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

std::string ClickSpinner(HWND dialog, bool up) {
    RECT r;
    GetWindowRect(GetDlgItem(dialog, IDC_POSITION_SPIN), &r);
    int quarter = (r.bottom - r.top) / 4;
    qtest::ClickAt((r.left + r.right) / 2, up ? r.top + quarter : r.bottom - 1 - quarter);
    // Taken, whether or not it changed the number (it does not at the ends).
    EXPECT_TRUE(qtest::SyncInput()) << "the dialog did not take the click on the spinner";
    return ControlText(dialog, IDC_POSITION);
}

// The first open-file dialog of a process can take a while to come up.
HWND WaitForOpenDialog() {
    return qtest::WaitForWindow("#32770", "Open", 20000);
}

namespace {
BOOL CALLBACK FindEdit(HWND child, LPARAM found) {
    if (qtest::ClassName(child) != "Edit") return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

// The file name box: an edit, or the edit nested in a (extended) combo box.
HWND FileNameEdit(HWND openDialog) {
    HWND box = GetDlgItem(openDialog, cmb13);
    if (!box || !IsWindowVisible(box)) box = GetDlgItem(openDialog, edt1);
    if (!box || qtest::ClassName(box) == "Edit") return box;
    HWND edit = nullptr;
    EnumChildWindows(box, FindEdit, reinterpret_cast<LPARAM>(&edit));
    return edit;
}
} // namespace

std::string OpenDialogFilters(HWND openDialog) {
    HWND types = GetDlgItem(openDialog, cmb1);
    std::string joined;
    int count = static_cast<int>(SendMessageA(types, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[256] = "";
        SendMessageA(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        if (i) joined += "|";
        joined += text;
    }
    return joined;
}

bool ConfirmOpenDialog(HWND openDialog, const std::string& path) {
    HWND edit = FileNameEdit(openDialog);
    if (!edit) return false;
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageA(openDialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(openDialog, IDOK)));
    return qtest::WaitUntilGone(openDialog);
}

bool CancelOpenDialog(HWND openDialog) {
    PostMessageA(openDialog, WM_COMMAND, IDCANCEL, 0);
    return qtest::WaitUntilGone(openDialog);
}

ScratchDir::ScratchDir() {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%squoril_editor_%lu_%lu", temp, GetCurrentProcessId(),
             GetTickCount());
    CreateDirectoryA(path, nullptr);
    m_path = path;
}

ScratchDir::~ScratchDir() {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((m_path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((m_path + "\\" + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(m_path.c_str());
}

namespace {
bool WriteBytes(const std::string& path, const void* data, size_t size) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(file);
    return written == size;
}
} // namespace

std::string ScratchDir::WriteIcon(const char* name) {
    // One 32x32 image of 32 bits: a blue square on a transparent ground.
    const int side = 32;
    std::vector<BYTE> image(sizeof(BITMAPINFOHEADER) + side * side * 4 + side * 4);
    BITMAPINFOHEADER* header = reinterpret_cast<BITMAPINFOHEADER*>(image.data());
    header->biSize = sizeof *header;
    header->biWidth = side;
    header->biHeight = side * 2; // colour and mask
    header->biPlanes = 1;
    header->biBitCount = 32;
    BYTE* pixels = image.data() + sizeof *header;
    BYTE* mask = pixels + side * side * 4;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            bool inside = x >= 4 && x < 28 && y >= 4 && y < 28;
            BYTE* p = pixels + (y * side + x) * 4;
            p[0] = inside ? 200 : 0;
            p[1] = inside ? 60 : 0;
            p[3] = inside ? 255 : 0;
            if (!inside) mask[y * 4 + x / 8] |= 0x80 >> (x % 8);
        }
    }
    std::vector<BYTE> file(6 + 16);
    WORD* dir = reinterpret_cast<WORD*>(file.data());
    dir[1] = 1; // icon
    dir[2] = 1; // one image
    BYTE* entry = file.data() + 6;
    entry[0] = entry[1] = side;
    *reinterpret_cast<WORD*>(entry + 4) = 1;
    *reinterpret_cast<WORD*>(entry + 6) = 32;
    *reinterpret_cast<DWORD*>(entry + 8) = static_cast<DWORD>(image.size());
    *reinterpret_cast<DWORD*>(entry + 12) = 22;
    file.insert(file.end(), image.begin(), image.end());
    std::string path = m_path + "\\" + name;
    WriteBytes(path, file.data(), file.size());
    return path;
}

std::string ScratchDir::CopyProgram(const char* name) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string path = m_path + "\\" + name;
    CopyFileA(self, path.c_str(), FALSE);
    return path;
}

std::string ScratchDir::WriteText(const char* name) {
    const char text[] = "Just some notes, no icons here.\r\n";
    std::string path = m_path + "\\" + name;
    WriteBytes(path, text, sizeof text - 1);
    return path;
}

bool IsLiveIcon(HICON icon) {
    ICONINFO info;
    if (!icon || !GetIconInfo(icon, &info)) return false;
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return true;
}

} // namespace edtest
