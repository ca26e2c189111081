#include "tests/press/press_fixture.h"
#include <tlhelp32.h>
#include <fstream>
#include "resources/resource_ids.h"
#include "tests/support/flat_menus.h"

namespace presstest {

std::string BinDirectory() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    while (n > 0 && path[n - 1] != '\\')
        --n;
    return std::string(path, n);
}

std::string ProbePath() {
    return BinDirectory() + "probe.exe";
}

PressFunction LoadWBPress() {
    static PressFunction press = nullptr;
    if (press) return press;
    // The engine's module is in the process before the plug-in is loaded.
    if (!LoadLibraryA((BinDirectory() + "wblind.dll").c_str())) return nullptr;
    HMODULE plugin = LoadLibraryA((BinDirectory() + "Quoril.dll").c_str());
    if (!plugin) return nullptr;
    press = reinterpret_cast<PressFunction>(GetProcAddress(plugin, "WBPress"));
    return press;
}

void PressTest::SetUp() {
    qtest::ReleaseAllButtons();
    qtest::DeleteProductKey();
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    m_probeOut =
        std::string(temp) + "quoril-probe-" + std::to_string(GetCurrentProcessId()) + ".txt";
    DeleteFileA(m_probeOut.c_str());
    SetEnvironmentVariableA("QUORIL_PROBE_OUT", m_probeOut.c_str());
    m_press = LoadWBPress();
    ASSERT_NE(nullptr, m_press) << "Quoril.dll or its WBPress export could not be loaded from "
                                << BinDirectory();
}

void PressTest::TearDown() {
    qtest::ReleaseAllButtons();
    DeleteFileA(m_probeOut.c_str());
    qtest::DeleteProductKey();
}

qtest::ModalOutcome PressTest::Press(HWND host, const std::function<void()>& steps) {
    return qtest::DriveModal([&] { return m_press(host, kPressX, kPressY, 0); }, steps,
                             "the press");
}

int PressTest::PressOnce(HWND host) {
    // Mouse capture works only for the thread that owns the foreground window.
    SetForegroundWindow(host);
    EXPECT_TRUE(qtest::WaitFor([&] { return GetForegroundWindow() == host; }))
        << "the host window did not come to the foreground";
    return m_press(host, kPressX, kPressY, 0);
}

std::vector<std::string> PressTest::ProbeLines() const {
    std::vector<std::string> lines;
    std::ifstream in(m_probeOut);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool PressTest::WaitForProbeLines(size_t count, int timeoutMs) const {
    return qtest::WaitFor([&] { return ProbeLines().size() >= count; }, timeoutMs);
}

namespace {
bool ProbeChildRunning() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    bool running = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !running;
         more = Process32Next(snapshot, &entry)) {
        running = entry.th32ParentProcessID == GetCurrentProcessId() &&
                  lstrcmpiA(entry.szExeFile, "probe.exe") == 0;
    }
    CloseHandle(snapshot);
    return running;
}
} // namespace

std::vector<std::string> PressTest::LinesOfFinishedProbes() const {
    EXPECT_TRUE(qtest::WaitFor([] { return !ProbeChildRunning(); }))
        << "a started program did not finish";
    return ProbeLines();
}

std::string PressTest::MakeDirectory(const char* name) const {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string path = std::string(temp) + name;
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

namespace {
void Collect(HKEY key, const std::string& prefix, std::map<std::string, std::string>* values) {
    for (DWORD i = 0;; ++i) {
        char name[512];
        DWORD nameSize = sizeof name, type = 0;
        BYTE data[2048];
        DWORD dataSize = sizeof data;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) !=
            ERROR_SUCCESS)
            break;
        std::string text(reinterpret_cast<char*>(data), dataSize);
        while (!text.empty() && text.back() == '\0')
            text.pop_back();
        (*values)[prefix + name] = text;
    }
    char child[512];
    for (DWORD i = 0; RegEnumKeyA(key, i, child, sizeof child) == ERROR_SUCCESS; ++i) {
        HKEY sub;
        if (RegOpenKeyExA(key, child, 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
        (*values)[prefix + child + "\\"]; // the submenu exists, with or without a record
        Collect(sub, prefix + child + "\\", values);
        RegCloseKey(sub);
    }
}

std::string KeyPath(const std::string& path) {
    return path.empty() ? std::string(kSettings) : std::string(kSettings) + "\\" + path;
}
} // namespace

std::map<std::string, std::string> StoreSnapshot() {
    std::map<std::string, std::string> values;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettings, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    Collect(key, "", &values);
    RegCloseKey(key);
    return values;
}

void StoreRecord(const std::string& path, const std::string& name, const std::string& record) {
    qtest::SetStringValue(KeyPath(path), name, record);
}

std::string StoredRecord(const std::string& path, const std::string& name) {
    std::string data;
    if (!qtest::ReadStringValue(KeyPath(path), name, &data)) return "<missing>";
    return data;
}

HWND WaitForPopups(size_t count, int timeoutMs) {
    return qtest::WaitForMenus(count, timeoutMs);
}

POINT EntryPoint(HWND popup, int index, bool titled) {
    RECT r = {};
    GetWindowRect(popup, &r);
    int top = (titled ? kTitledFirstEntry : kUntitledFirstEntry) + index * kEntryHeight;
    return POINT{r.left + 40, r.top + top + kEntryHeight / 2};
}

POINT SeparatorPoint(HWND popup, int top) {
    RECT r = {};
    GetWindowRect(popup, &r);
    return POINT{r.left + 40, r.top + top + kSeparatorHeight / 2};
}

POINT ContextPoint(HWND contextPopup, ContextEntry entry) {
    POINT p = EntryPoint(contextPopup, static_cast<int>(entry), false);
    if (entry == kCancel) p.y += kSeparatorHeight; // below the line
    return p;
}

void ClickEntry(HWND popup, int index, bool titled) {
    POINT p = EntryPoint(popup, index, titled);
    qtest::MoveMouse(p.x, p.y - 2);
    qtest::ClickAt(p.x, p.y);
}

void RightClickEntry(HWND popup, int index) {
    RightClickAtPoint(EntryPoint(popup, index));
}

void RightClickAtPoint(POINT p) {
    qtest::MoveMouse(p.x, p.y - 1);
    qtest::RightClickAt(p.x, p.y);
}

HWND OpenSubmenu(HWND popup, int index, size_t popupsBefore) {
    POINT p = EntryPoint(popup, index);
    qtest::MoveMouse(p.x, p.y - 2);
    qtest::MoveMouse(p.x, p.y);
    qtest::LeftDown();
    qtest::LeftUp();
    HWND submenu = WaitForPopups(popupsBefore + 1);
    // Into the submenu, level with its first entry, so the parent's entry
    // stays hot on the way.
    if (submenu) {
        POINT q = EntryPoint(submenu, 0);
        qtest::MoveMouse(q.x, p.y);
    }
    return submenu;
}

void ContextCommandOn(HWND popup, int index, ContextEntry command, size_t popupsBefore) {
    ContextCommandAt(EntryPoint(popup, index), command, popupsBefore);
}

void ContextCommandAt(POINT p, ContextEntry command, size_t popupsBefore) {
    RightClickAtPoint(p);
    HWND context = WaitForPopups(popupsBefore + 1);
    if (!context) return;
    const POINT q = ContextPoint(context, command);
    qtest::GlideTo(q.x, q.y);
    qtest::ClickAt(q.x, q.y);
}

HWND WaitForDialog(const char* title, int timeoutMs) {
    HWND dialog = qtest::WaitForWindow("#32770", title, timeoutMs);
    EXPECT_NE(nullptr, dialog) << "expected the dialog \"" << title << "\"";
    return dialog;
}

void SetControlText(HWND dialog, int controlId, const char* text) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, controlId), WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 2000, &result);
}

std::string ControlText(HWND dialog, int controlId) {
    char text[512] = "";
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, controlId), WM_GETTEXT, sizeof text,
                        reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 2000, &result);
    return text;
}

void ClickButton(HWND dialog, int controlId) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, controlId), BM_CLICK, 0, 0, SMTO_NORMAL, 2000, &result);
}

void PressOk(HWND dialog) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

void PressCancel(HWND dialog) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
}

void FillAndConfirm(HWND dialog, const NewItem& item) {
    if (!dialog) return;
    SetControlText(dialog, IDC_NAME, item.name);
    if (item.submenu) {
        ClickButton(dialog, IDC_SUBMENU);
    } else {
        SetControlText(dialog, IDC_TARGET, item.target);
        SetControlText(dialog, IDC_PARAMETERS, item.parameters);
        SetControlText(dialog, IDC_START_IN, item.startIn);
    }
    PressOk(dialog);
    EXPECT_TRUE(qtest::WaitUntilGone(dialog)) << "the dialog stayed open after OK for " << item.name;
}

std::string PressMenuView::MenuName(int menu) const {
    if (menu < 0 || menu >= static_cast<int>(m_levels.size())) return "no menu";
    return m_levels[menu].name;
}

HWND PressMenuView::Window(int menu) const {
    const std::vector<HWND> menus = qtest::MenuWindows(); // newest first
    const int count = static_cast<int>(menus.size());
    return menu >= 0 && menu < count ? menus[count - 1 - menu] : nullptr;
}

int PressMenuView::Innermost() const {
    return static_cast<int>(qtest::MenuWindows().size()) - 1; // kClosed when none
}

int PressMenuView::RowTop(int menu, int row) const {
    const bool titled = menu >= 0 && menu < static_cast<int>(m_levels.size()) &&
                        m_levels[menu].titled;
    return (titled ? kTitledFirstEntry : kUntitledFirstEntry) + row * kEntryHeight;
}

int PressMenuView::HotRow(int menu) const {
    HWND window = Window(menu);
    if (!window) return qtest::kNoHot;
    RECT client = {};
    GetClientRect(window, &client);
    for (int row = 0; RowTop(menu, row) + kEntryHeight <= client.bottom; ++row)
        if (PaintedHot(menu, row)) return row;
    return qtest::kNoHot;
}

bool PressMenuView::PaintedHot(int menu, int row) const {
    HWND window = Window(menu);
    return window &&
           qtest::RowBarHasColour(window, RowTop(menu, row), GetSysColor(COLOR_HIGHLIGHT));
}

bool PressMenuView::PaintedPlain(int menu, int row) const {
    HWND window = Window(menu);
    return window && qtest::RowBarHasColour(window, RowTop(menu, row), GetSysColor(COLOR_MENU));
}

} // namespace presstest
