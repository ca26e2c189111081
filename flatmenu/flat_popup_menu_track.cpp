// CFlatPopupMenu: measuring, placing and showing the window, the modal loop,
// and the operations that record a tree's result.
#include "flatmenu/flat_popup_menu.h"
#include "common/gdi_guards.h"

namespace {
const int kTopMargin = 3;
const int kItemHeight = 19;
const int kSeparatorHeight = 5;
const int kBottomMargin = 2;
const int kExtraWidth = 46;
const int kSubmenuOverlap = 3;

// Pulls x back inside the right edge of the work area, but not below 0. A
// position left of the work area is kept.
int ClampRight(int x, int width, int right) {
    if (x + width > right) {
        x = right - width;
        if (x < 0) x = 0;
    }
    return x;
}
} // namespace

int CFlatPopupMenu::Track(int x, int y, HWND notifyWindow, bool modal, bool noCapture,
                          int* contextCommandOut) {
    // Measure on an information context: no window is needed yet.
    int runningTop = kTopMargin;
    int widestText = 0;
    {
        OwnedDc ic(CreateICA("DISPLAY", nullptr, nullptr, nullptr));
        for (FlatMenuItem& item : m_items) {
            item.top = runningTop;
            if (item.flags & fpmSeparator) {
                item.height = kSeparatorHeight;
            } else {
                SelectedObject font(ic.Get(), (item.flags & fpmBold) ? m_boldFont : m_normalFont);
                SIZE extent = {};
                GetTextExtentPoint32A(ic.Get(), item.text.c_str(),
                                      static_cast<int>(item.text.size()), &extent);
                if (extent.cx > widestText) widestText = extent.cx;
                item.height = kItemHeight;
            }
            runningTop += item.height;
        }
    }
    const int contentHeight = runningTop;

    m_hotIndex = -1;
    m_width = widestText + kExtraWidth;
    m_chosenCommand = 0;
    m_contextCommand = 0;

    RECT workArea = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);

    if (m_isChild && m_parent) {
        // Beside the parent, overlapping its right edge; else on its left.
        x = m_parent->m_x + m_parent->m_width - kSubmenuOverlap;
        if (x + m_width > workArea.right) {
            x = m_parent->m_x - m_width + kSubmenuOverlap;
            if (x < 0) x = 0;
        }
    }
    x = ClampRight(x, m_width, workArea.right);
    const int windowHeight = contentHeight + kBottomMargin;
    if (y + windowHeight > workArea.bottom) {
        y = workArea.bottom - windowHeight;
        if (y < 0) y = 0;
    }
    m_x = x;
    m_y = y;

    m_window = CreateWindowExA(WS_EX_TOOLWINDOW, "fpmMenuClass", "", WS_POPUP, x, y, m_width,
                               windowHeight, m_ownerWindow, nullptr, m_instance, this);
    if (!m_window) {
        MessageBoxA(nullptr, "Popup window creation failed", "CFlatPopupMenu::Track", MB_OK);
        return 0;
    }
    ShowWindow(m_window, SW_SHOWNOACTIVATE);

    if (noCapture) {
        m_captureState = 1;
        m_leftButtonHeldAtOpen = false;
    } else {
        SetCapture(m_window);
        m_captureState = 2;
        m_leftButtonHeldAtOpen = (GetKeyState(VK_LBUTTON) & 0x8000) != 0;
    }
    m_notifyWindow = notifyWindow;
    if (!modal) return 0;

    // The window test follows the wait, so the message that ends the wait
    // after the window has gone is dropped. Every destroyed menu window posts
    // one WM_NULL to the thread, so each running level has one to take.
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) == 1) {
        if (!IsWindow(m_window)) break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (contextCommandOut) *contextCommandOut = m_contextCommand;
    return m_chosenCommand;
}

void CFlatPopupMenu::Finish(int command, int contextCommand) {
    CFlatPopupMenu* root = Root();
    root->m_chosenCommand = command;
    root->m_contextCommand = contextCommand;
    if (root->m_window) DestroyWindow(root->m_window);
}

bool CFlatPopupMenu::CancelIfOutside(HWND window, const RECT& clientRect, int x, int y) {
    if (x > 2 && y > 2 && x <= clientRect.right && y <= clientRect.bottom) return false;
    m_hotIndex = -1;
    m_chosenCommand = 0;
    m_contextCommand = 0;
    CFlatPopupMenu* root = Root();
    if (root->m_window) DestroyWindow(root->m_window);
    return true;
}

int CFlatPopupMenu::HotCommand() const {
    if (m_hotIndex < 0 || m_hotIndex >= static_cast<int>(m_items.size())) return -1;
    int command = m_items[m_hotIndex].commandId;
    return command == 0 ? -1 : command;
}
