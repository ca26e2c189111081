// The system's own popup menu: flat, owner-drawn, cascading, with icons, run
// in a modal loop on the caller's thread. One borderless tool window of class
// "fpmMenuClass" per shown menu. The window object composes the menu's rows
// (what it shows and where), its palette (what it draws with), a painter per
// paint and the decisions of the keys, and carries out what they decide.
#pragma once
#include <windows.h>
#include "flatmenu/menu_accessible.h"
#include "flatmenu/menu_item.h"
#include "flatmenu/menu_keys.h"
#include "flatmenu/menu_palette.h"
#include "flatmenu/menu_rows.h"
#include "flatmenu/menu_search.h"
#include "flatmenu/pointer_at_key.h"

class CFlatPopupMenu final : private AccessibleMenuSource {
  public:
    CFlatPopupMenu();
    ~CFlatPopupMenu();
    CFlatPopupMenu(const CFlatPopupMenu&) = delete;
    CFlatPopupMenu& operator=(const CFlatPopupMenu&) = delete;

    bool Create(HINSTANCE instance, int bitmapId, HWND owner, HBITMAP image, HBITMAP mask,
                CFlatPopupMenu* contextMenu);
    bool AppendItem(int flags, const char* text, int commandId, int iconIndex);
    bool AppendPopup(int flags, const char* text, CFlatPopupMenu* child, int iconIndex,
                     int commandId);
    bool SetItemFlags(unsigned key, int flags, bool byIndex);
    // What typing in the root finds an entry by: whether it belongs to the
    // user's menu (a placeholder does not) and its target's file name.
    bool SetItemSearchFacts(unsigned key, bool byIndex, bool searchable, const char* targetName);
    int Track(int x, int y, HWND notifyWindow, bool modal, bool noCapture, int* contextCommandOut);

    // Records a result on the root and closes the whole tree.
    void Finish(int command, int contextCommand);
    bool CancelIfOutside(HWND window, const RECT& clientRect, int x, int y);
    // The hot entry's command id, or -1 (no hot entry, or id 0).
    int HotCommand() const { return m_rows.HotCommand(); }

    // Read-only views: the entries as rows (layout, hot entry, scrolling),
    // what the menu draws with, and its window: set once Track has shown it
    // and taken the capture (or not), null again once it is destroyed.
    const MenuRows& Rows() const { return m_rows; }
    const MenuPalette& Palette() const { return m_palette; }
    HWND Window() const { return m_window; }

    static LRESULT CALLBACK MenuWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    // Whether the window is shown and whether it holds the mouse capture. A
    // top-level menu starts holding it; submenus and the context menu start
    // without it, and the capture then follows the pointer across the tree.
    enum CaptureState { kNotShown, kShownWithoutCapture, kHoldsCapture };

    // What a tree shares, kept on its root: the results of tracking, whether
    // the context menu is open for it, where the pointer rested at the last
    // key, and whether its menus have accessibility objects (the tracking
    // thread has a COM apartment for them).
    struct TreeState {
        int chosenCommand = 0;
        int contextCommand = 0;
        bool contextMenuOpen = false;
        PointerAtKey pointerAtKey;
        bool accessible = false;
    };

    bool RegisterMenuClass();
    CFlatPopupMenu* Root();
    // The menu this one opened beside while shown as a submenu: its parent,
    // or the root when it opened from a search result.
    CFlatPopupMenu* Opener() const { return m_openedFrom ? m_openedFrom : m_parent; }
    TreeState& Tree() { return Root()->m_tree; }
    bool ContextMenuOpenElsewhere(); // the tree's context menu is tracked, and it is not this menu

    // The steps of Track.
    // Makes the palette and the rows' measures for the DPI of the work
    // area's monitor, and measures; returns the content height.
    int MeasureItems();
    // The work area of the monitor the menu goes on: a submenu's is its
    // parent's, any other menu's that of the monitor holding its point.
    RECT WorkAreaFor(POINT point) const;
    POINT PlaceWindow(int x, int y, SIZE size) const;
    HWND CreateMenuWindow(POINT at, SIZE size); // null when it failed
    // Shows the window, takes the capture (or not), and only then gives the
    // menu its window: a menu has a window exactly while it is shown.
    void ShowAndTakeCapture(HWND window, bool noCapture);
    void RunMessageLoop();
    // Closes the tree of this menu with no result, unless it has closed.
    void CloseTreeWithoutChoice();
    // Stops the submenu delays and scrolling bands of this menu and its open
    // submenus.
    void StopMenuTimers();
    static CFlatPopupMenu* MenuOfWindow(HWND window);
    static LRESULT HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HWND window);
    void EraseBackground(HWND window, HDC dc);
    void RedrawRow(HDC dc, int index);

    // The mouse.
    void MouseMove(HWND window, int x, int y);
    void OpenHotSubmenu(HWND window, UINT_PTR timerId);
    void ButtonDown(HWND window, int x, int y, bool left);
    void ButtonUp(HWND window, int x, int y);
    void CharTyped(HWND window, WPARAM character);
    void WindowDestroyed(HWND window);
    // The menu whose window of this thread is at a screen point, or null.
    static CFlatPopupMenu* MenuAtPoint(POINT screen);

    // The one way the hot entry changes, for the mouse and the keyboard: the
    // old and new entries are repainted, the old entry's open submenu closes
    // and a pending submenu delay stops; the mouse starts a new delay.
    void SetHotEntry(int index, bool startSubmenuDelay);
    // Opens the hot entry's submenu beside it; from the keyboard with its
    // first choosable entry hot.
    void OpenSubmenuOfHotEntry(bool fromKeyboard);
    void CloseSubmenuOfHotEntry();
    // Tracks the context menu at a screen point for the hot entry and closes
    // the tree when it closes.
    void TrackContextMenu(POINT screen, bool fromKeyboard);
    void NotifyRightClick(POINT screen);

    // Keyboard: key messages of the thread are taken by the innermost running
    // Track loop and handled by the innermost open menu of its tree.
    static bool IsKeyMessage(UINT message);
    void TakeKeyMessage(MSG& msg);
    CFlatPopupMenu* InnermostOpenMenu();
    void CarryOut(const MenuKeyDecision& decision);
    void CloseSubmenuByKeyboard();
    void OpenContextMenuByKeyboard();
    void MoveHotByKeyboard(int index);

    // Type to find, in a tree's root while it is the innermost open menu.
    bool SearchesByTyping() const;
    // A character typed: false when it is not text for the search (a
    // control character, or a mnemonic of the root's own entries while no
    // search runs), which then acts as in any menu.
    bool TypeToFind(wchar_t character);
    // Backspace and Esc while a search runs; false for any other key.
    bool SearchKey(WPARAM virtualKey);
    void CollectCandidates(const CFlatPopupMenu& menu, const std::wstring& path,
                           std::vector<const CFlatPopupMenu*>* visited);
    // Nothing the rows have open or pending stays, before they are replaced.
    void CloseSubmenusOfRows();
    // Shows the results of the text as it is, the first hot.
    void ShowSearchResults();
    // The root's own entries again, none hot.
    void EndSearch();
    // Measures the rows as they are now and fits the shown window to them,
    // placed again for the point it was tracked at.
    void LayOutAgain();
    // Accessibility: the object's view of the menu, and the action it asks
    // for, carried out from the menu's own loop as Enter on the entry.
    const MenuRows& AccessibleRows() const override { return m_rows; }
    void RequestDefaultAction(int index) override;
    void DoDefaultAction(int index);
    // Tells screen readers about the menu window (an EVENT_* of Active
    // Accessibility), for `child` (CHILDID_SELF, or an entry's number).
    void Announce(DWORD event, LONG child = CHILDID_SELF) const;

    // Scrolling. Shows the rows from `first` on; false when nothing moved.
    // The hot entry's submenu closes, and a hot entry that is no longer shown
    // stops being hot.
    bool ScrollTo(int first);
    // Scrolls the entry into view; false when it was shown already.
    bool BringIntoView(int index);
    // The pointer at a client point: resting on an active band scrolls.
    void FollowScrollBand(int x, int y);
    void ScrollBandStep();
    void StopBandScrolling();
    // Wheel messages go to the host's focused window: the innermost running
    // Track loop takes them and scrolls the menu under the pointer.
    static bool IsWheelMessage(UINT message);
    static void TakeWheelMessage(const MSG& msg);
    void WheelTurned(int delta, POINT screen);

    HINSTANCE m_instance = nullptr;
    HWND m_ownerWindow = nullptr;
    MenuRows m_rows;
    MenuPalette m_palette;
    int m_systemDpi = 96;                    // the measuring DC's at Create
    CFlatPopupMenu* m_parent = nullptr;      // set by the parent's AppendPopup
    CFlatPopupMenu* m_contextMenu = nullptr; // tracked on a right click
    TreeState m_tree;                        // used on the root only
    MenuSearch m_search;                     // used on the root only

    // While shown.
    HWND m_window = nullptr;
    HWND m_notifyWindow = nullptr;
    CaptureState m_captureState = kNotShown;
    bool m_leftButtonHeldAtOpen = false;
    bool m_opensTree = false;        // tracked with the capture: the tree starts and ends with it
    bool m_openedByKeyboard = false; // the next Track starts with an entry hot
    MenuAccessibleRef m_accessible;  // while shown, when the tree has them
    POINT m_position = {0, 0};       // of the window's top-left corner
    POINT m_trackPoint = {0, 0};     // the point it was tracked at
    CFlatPopupMenu* m_openedFrom = nullptr; // see Opener()
    RECT m_workArea = {0, 0, 0, 0};         // the window was placed in
    bool m_backgroundErased = false;        // since the last paint
    int m_bandDirection = 0;                // the band the pointer rests on while it scrolls
    int m_wheelDelta = 0;                   // a wheel's turn short of a notch
};
