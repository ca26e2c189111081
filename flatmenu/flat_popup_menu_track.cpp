// CFlatPopupMenu: measuring, placing and showing the window, the modal loop,
// and the operations that record a tree's result.
#include "flatmenu/flat_menu_layout.h"
#include "flatmenu/flat_popup_menu.h"
#include "common/gdi_guards.h"
#include "flatmenu/com_apartment.h"
#include "flatmenu/menu_dpi.h"
#include "flatmenu/menu_placement.h"
#include <optional>

using namespace fpmlayout;

int CFlatPopupMenu::Track(int x, int y, HWND notifyWindow, bool modal, bool noCapture,
                          int* contextCommandOut) {
    const bool openedByKeyboard = m_openedByKeyboard;
    m_openedByKeyboard = false;
    const POINT wanted = {x, y};
    m_trackPoint = wanted;
    // A search left over from the last tracking ends; the tree may have
    // changed since, so its candidates are collected anew.
    if (m_search.Active()) m_search.End(m_rows);
    m_search.ForgetCandidates();
    m_workArea = WorkAreaFor(wanted);
    const int contentHeight = MeasureItems();
    m_rows.SetHotIndex(-1);
    m_tree.chosenCommand = 0;
    m_tree.contextCommand = 0;

    const int neededHeight = contentHeight + m_rows.Geometry().bottomMargin;
    const SIZE size = {m_rows.Width(), FitMenuHeight(neededHeight, m_workArea)};
    m_rows.SetUpView(size.cy < neededHeight, size.cy);
    m_bandDirection = 0;
    m_wheelDelta = 0;
    m_position = PlaceWindow(x, y, size);
    // A tree (the launcher's, or the context menu) tracked in a loop of its
    // own serves accessibility objects while COM is there for it.
    std::optional<ComApartment> apartment;
    if (!m_parent && modal) {
        apartment.emplace();
        m_tree.accessible = apartment->Ready();
    }
    const HWND window = CreateMenuWindow(m_position, size);
    if (!window) return 0;
    if (Tree().accessible) m_accessible.Reset(MenuAccessible::Create(this, window));
    ShowAndTakeCapture(window, noCapture);
    m_notifyWindow = notifyWindow;
    m_opensTree = !noCapture;
    if (m_opensTree) Announce(EVENT_SYSTEM_MENUSTART);
    Announce(EVENT_SYSTEM_MENUPOPUPSTART);
    if (!noCapture) Tree().pointerAtKey.Forget(); // a new tree: the mouse leads
    // Ready for Enter: the first entry that can be chosen is hot.
    if (openedByKeyboard) SetHotEntry(m_rows.NextChoosable(-1, 1), false);
    if (!modal) return 0;

    RunMessageLoop();
    if (contextCommandOut) *contextCommandOut = m_tree.contextCommand;
    return m_tree.chosenCommand;
}

int CFlatPopupMenu::MeasureItems() {
    OwnedDc dc(MakeMeasuringDc()); // no window is needed yet
    // Laid out and drawn for the DPI of the monitor it opens on.
    const int dpi = MenuDpiOn(m_workArea, m_systemDpi);
    if (dpi != m_palette.Geometry().dpi) m_palette.SetDpi(dc.Get(), dpi);
    m_rows.SetGeometry(m_palette.Geometry());
    // The normal font stays selected; only a bold entry selects another.
    SelectedObject normalFont(dc.Get(), m_palette.NormalFont());
    auto wideWidth = [&](const std::wstring& text) {
        SIZE extent = {};
        GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
        return static_cast<int>(extent.cx);
    };
    const MenuGeometry& geometry = m_palette.Geometry();
    return m_rows.Measure([&](const FlatMenuItem& item) {
        // The search row holds its text and the caret after it.
        if (item.flags & fpmSearchField)
            return wideWidth(item.fieldText) + geometry.caretGap + geometry.lineWidth;
        SelectedObject font(dc.Get(), (item.flags & fpmBold) ? m_palette.BoldFont() : nullptr);
        SIZE extent = {};
        GetTextExtentPoint32A(dc.Get(), item.text.c_str(), static_cast<int>(item.text.size()),
                              &extent);
        int width = static_cast<int>(extent.cx);
        if (!item.detail.empty()) width += geometry.detailGap + wideWidth(item.detail);
        return width;
    });
}

RECT CFlatPopupMenu::WorkAreaFor(POINT point) const {
    // A submenu stays on its parent's monitor, even where it opens beside it.
    const CFlatPopupMenu* opener = Opener();
    if (opener && opener->m_window) return opener->m_workArea;
    return MonitorWorkArea(point);
}

POINT CFlatPopupMenu::PlaceWindow(int x, int y, SIZE size) const {
    const POINT wanted = {x, y};
    const int overlap = m_rows.Geometry().submenuOverlap;
    if (const CFlatPopupMenu* opener = Opener()) {
        const POINT at = opener->m_position;
        const RECT parent = {at.x, at.y, at.x + opener->m_rows.Width(), at.y};
        return PlaceMenuWindow(size, wanted, m_workArea, &parent, overlap);
    }
    return PlaceMenuWindow(size, wanted, m_workArea, nullptr, overlap);
}

HWND CFlatPopupMenu::CreateMenuWindow(POINT at, SIZE size) {
    // Topmost, as the system's menus are: screen readers take the events of
    // topmost windows while the host stays the foreground window.
    HWND window =
        CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kMenuClassName, "", WS_POPUP, at.x, at.y,
                        size.cx, size.cy, m_ownerWindow, nullptr, m_instance, this);
    if (!window)
        MessageBoxA(nullptr, "Popup window creation failed", "CFlatPopupMenu::Track", MB_OK);
    return window;
}

void CFlatPopupMenu::ShowAndTakeCapture(HWND window, bool noCapture) {
    // Shown without activation: the host keeps its focus and activation.
    ShowWindow(window, SW_SHOWNOACTIVATE);
    if (noCapture) {
        m_captureState = kShownWithoutCapture;
        m_leftButtonHeldAtOpen = false;
    } else {
        SetCapture(window);
        m_captureState = kHoldsCapture;
        m_leftButtonHeldAtOpen = (GetKeyState(VK_LBUTTON) & 0x8000) != 0;
    }
    m_window = window;
}

void CFlatPopupMenu::RunMessageLoop() {
    // The window test follows the wait, so the message that ends the wait
    // after the window has gone is dropped. Every destroyed menu window posts
    // one WM_NULL to the thread, so each running level has one to take.
    MSG msg;
    for (;;) {
        // Taken as UTF-16, so that typed characters beyond the code page
        // arrive as they were typed.
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
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
        DispatchMessageW(&msg);
    }
}

void CFlatPopupMenu::CloseTreeWithoutChoice() {
    CFlatPopupMenu* root = Root();
    // A tree that has already closed keeps the result it recorded.
    if (!root->m_window) return;
    root->m_tree.chosenCommand = 0;
    root->m_tree.contextCommand = 0;
    DestroyWindow(root->m_window);
}

void CFlatPopupMenu::Finish(int command, int contextCommand) {
    CFlatPopupMenu* root = Root();
    root->m_tree.chosenCommand = command;
    root->m_tree.contextCommand = contextCommand;
    if (root->m_window) DestroyWindow(root->m_window);
}

bool CFlatPopupMenu::CancelIfOutside(HWND window, const RECT& clientRect, int x, int y) {
    if (m_rows.Inside(x, y, ToRowRect(clientRect))) return false;
    m_rows.SetHotIndex(-1);
    m_tree.chosenCommand = 0;
    m_tree.contextCommand = 0;
    CFlatPopupMenu* root = Root();
    if (root->m_window) DestroyWindow(root->m_window);
    return true;
}

void CFlatPopupMenu::LayOutAgain() {
    if (!m_window) return;
    const int neededHeight = MeasureItems() + m_rows.Geometry().bottomMargin;
    const SIZE size = {m_rows.Width(), FitMenuHeight(neededHeight, m_workArea)};
    StopBandScrolling();
    m_wheelDelta = 0;
    m_rows.SetUpView(size.cy < neededHeight, size.cy);
    m_position = PlaceWindow(m_trackPoint.x, m_trackPoint.y, size);
    SetWindowPos(m_window, nullptr, m_position.x, m_position.y, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    InvalidateRect(m_window, nullptr, TRUE);
}

void CFlatPopupMenu::Announce(DWORD event, LONG child) const {
    if (m_window) NotifyWinEvent(event, m_window, OBJID_CLIENT, child);
}
