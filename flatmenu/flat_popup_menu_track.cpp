// CFlatPopupMenu: measuring, placing and showing the window, the modal loop,
// and the operations that record a tree's result.
#include "flatmenu/flat_menu_layout.h"
#include "flatmenu/flat_popup_menu.h"
#include "common/gdi_guards.h"
#include "flatmenu/menu_placement.h"
#include "flatmenu/pointer_at_key.h"

using namespace fpmlayout;

int CFlatPopupMenu::Track(int x, int y, HWND notifyWindow, bool modal, bool noCapture,
                          int* contextCommandOut) {
    const bool openedByKeyboard = m_openedByKeyboard;
    m_openedByKeyboard = false;
    const int contentHeight = MeasureItems();
    m_hotIndex = -1;
    m_chosenCommand = 0;
    m_contextCommand = 0;

    const POINT wanted = {x, y};
    m_workArea = WorkAreaFor(wanted);
    const int neededHeight = contentHeight + kBottomMargin;
    const SIZE size = {m_width, FitMenuHeight(neededHeight, m_workArea)};
    SetUpRows(size.cy < neededHeight, size.cy);
    const POINT at = PlaceWindow(x, y, size);
    m_x = at.x;
    m_y = at.y;
    if (!CreateMenuWindow(at, size)) return 0;
    ShowAndTakeCapture(noCapture);
    m_notifyWindow = notifyWindow;
    if (!noCapture) ForgetPointerAtKey(); // a new tree: the mouse leads
    // Ready for Enter: the first entry that can be chosen is hot.
    if (openedByKeyboard) SetHotEntry(NextChoosable(-1, 1), false);
    if (!modal) return 0;

    RunMessageLoop();
    if (contextCommandOut) *contextCommandOut = m_contextCommand;
    return m_chosenCommand;
}

int CFlatPopupMenu::MeasureItems() {
    OwnedDc ic(CreateMeasuringDc()); // no window is needed yet
    int runningTop = kTopMargin;
    int widestText = 0;
    // The normal font stays selected; only a bold entry selects another.
    SelectedObject normalFont(ic.Get(), m_normalFont);
    for (FlatMenuItem& item : m_items) {
        item.top = runningTop;
        if (item.flags & fpmSeparator) {
            item.height = kSeparatorHeight;
        } else {
            SelectedObject font(ic.Get(), (item.flags & fpmBold) ? m_boldFont : nullptr);
            SIZE extent = {};
            GetTextExtentPoint32A(ic.Get(), item.text.c_str(), static_cast<int>(item.text.size()),
                                  &extent);
            if (extent.cx > widestText) widestText = extent.cx;
            item.height = kItemHeight;
        }
        runningTop += item.height;
    }
    m_width = widestText + kExtraWidth;
    return runningTop;
}

RECT CFlatPopupMenu::WorkAreaFor(POINT point) const {
    // A submenu stays on its parent's monitor, even where it opens beside it.
    if (m_isChild && m_parent && m_parent->m_window) return m_parent->m_workArea;
    return MonitorWorkArea(point);
}

POINT CFlatPopupMenu::PlaceWindow(int x, int y, SIZE size) const {
    const POINT wanted = {x, y};
    if (m_isChild && m_parent) {
        const RECT parent = {m_parent->m_x, m_parent->m_y, m_parent->m_x + m_parent->m_width,
                             m_parent->m_y};
        return PlaceMenuWindow(size, wanted, m_workArea, &parent);
    }
    return PlaceMenuWindow(size, wanted, m_workArea, nullptr);
}

bool CFlatPopupMenu::CreateMenuWindow(POINT at, SIZE size) {
    m_window = CreateWindowExA(WS_EX_TOOLWINDOW, kMenuClassName, "", WS_POPUP, at.x, at.y, size.cx,
                               size.cy, m_ownerWindow, nullptr, m_instance, this);
    if (!m_window) {
        MessageBoxA(nullptr, "Popup window creation failed", "CFlatPopupMenu::Track", MB_OK);
        return false;
    }
    return true;
}

void CFlatPopupMenu::ShowAndTakeCapture(bool noCapture) {
    // Shown without activation: the host keeps its focus and activation.
    ShowWindow(m_window, SW_SHOWNOACTIVATE);
    if (noCapture) {
        m_captureState = fpmShownWithoutCapture;
        m_leftButtonHeldAtOpen = false;
    } else {
        SetCapture(m_window);
        m_captureState = fpmHoldsCapture;
        m_leftButtonHeldAtOpen = (GetKeyState(VK_LBUTTON) & 0x8000) != 0;
    }
}

void CFlatPopupMenu::RunMessageLoop() {
    // The window test follows the wait, so the message that ends the wait
    // after the window has gone is dropped. Every destroyed menu window posts
    // one WM_NULL to the thread, so each running level has one to take.
    MSG msg;
    for (;;) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got != 1) {
            // The host is quitting (or its queue failed): no menu may stay
            // behind, and the quit is handed on so that the host's own loop
            // ends too. Loops further out end on the WM_NULL of their window,
            // which is taken before the quit.
            CloseTreeWithoutChoice();
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (!IsWindow(m_window)) return;
        if (IsKeyMessage(msg.message) || IsWheelMessage(msg.message)) {
            // While a menu is open, the keys and the wheel are the menu's,
            // never the host's.
            try {
                if (IsKeyMessage(msg.message)) {
                    TakeKeyMessage(msg);
                } else {
                    TakeWheelMessage(msg);
                }
            } catch (...) {
                CloseTreeWithoutChoice(); // nothing may unwind into the system's frames
            }
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void CFlatPopupMenu::CloseTreeWithoutChoice() {
    CFlatPopupMenu* root = Root();
    // A tree that has already closed keeps the result it recorded.
    if (!root->m_window) return;
    root->m_chosenCommand = 0;
    root->m_contextCommand = 0;
    DestroyWindow(root->m_window);
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
