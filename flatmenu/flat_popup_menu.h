// The system's own popup menu: flat, owner-drawn, cascading, with icons, run
// in a modal loop on the caller's thread. One borderless tool window of class
// "fpmMenuClass" per shown menu.
#pragma once
#include <string>
#include <vector>
#include <windows.h>

enum FlatMenuFlags {
    fpmSeparator = 0x1,
    fpmDisabled = 0x2,
    fpmBold = 0x4,
    fpmGrayed = 0x8,
};

enum FlatMenuBitmapIds {
    fpmNoBitmap = -1,   // no image strip
    fpmUserBitmap = -2, // caller's image and mask strips, never deleted by the menu
};

// Whether a menu's window is shown and whether it holds the mouse capture. A
// top-level menu starts holding it; submenus and the context menu start
// without it, and the capture then follows the pointer across the tree.
enum FlatMenuCaptureState {
    fpmNotShown = 0,
    fpmShownWithoutCapture = 1,
    fpmHoldsCapture = 2,
};

class CFlatPopupMenu;

struct FlatMenuItem {
    int top = 0;
    int height = 0;
    int flags = 0;
    std::string text;
    int commandId = 0;
    int iconIndex = -1;
    CFlatPopupMenu* child = nullptr; // not owned
};

class CFlatPopupMenu {
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
    int Track(int x, int y, HWND notifyWindow, bool modal, bool noCapture, int* contextCommandOut);

    // Records a result on the root and closes the whole tree.
    void Finish(int command, int contextCommand);
    bool CancelIfOutside(HWND window, const RECT& clientRect, int x, int y);
    // The hot entry's command id, or -1 (no hot entry, or id 0).
    int HotCommand() const;

    // Read-only views for callers and tests.
    HWND Window() const { return m_window; }
    int Width() const { return m_width; }
    int HotIndex() const { return m_hotIndex; }
    FlatMenuCaptureState CaptureState() const { return m_captureState; }
    int X() const { return m_x; }
    int Y() const { return m_y; }
    size_t ItemCount() const { return m_items.size(); }
    const FlatMenuItem* Item(size_t index) const {
        return index < m_items.size() ? &m_items[index] : nullptr;
    }
    CFlatPopupMenu* Parent() const { return m_parent; }
    CFlatPopupMenu* ContextMenu() const { return m_contextMenu; }
    HBITMAP ImageStrip() const { return m_imageStrip; }
    HBITMAP MaskStrip() const { return m_maskStrip; }
    int NormalTextHeight() const { return m_normalTextHeight; }
    int BoldTextHeight() const { return m_boldTextHeight; }
    HFONT NormalFont() const { return m_normalFont; }
    // Draws an entry's text at (x, y) as DrawText draws it ("&" marks a
    // mnemonic), in the DC's font and colour.
    static void DrawEntryText(HDC dc, int x, int y, const std::string& text);
    HFONT BoldFont() const { return m_boldFont; }
    int SubmenuDelay() const { return m_submenuDelay; }
    // A menu taller than its monitor's work area scrolls: its entries show
    // in the client rows between two scroll bands, from the first row on.
    bool Scrolls() const { return m_scrolls; }
    int FirstRow() const { return m_firstRow; }
    // Client rows where entries show: between the bands, or the whole
    // window of a menu that does not scroll.
    int RowAreaTop() const { return m_rowAreaTop; }
    int RowAreaBottom() const { return m_rowAreaBottom; }
    // The work area the menu was placed in.
    RECT WorkArea() const { return m_workArea; }

    static LRESULT CALLBACK MenuWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    FlatMenuItem* FindItem(unsigned key, bool byIndex);
    bool RegisterMenuClass();
    static HDC CreateMeasuringDc();
    void CreateGdiObjects();
    void DeleteGdiObjects();
    CFlatPopupMenu* Root();

    // The steps of Track.
    // Sets every entry's top and height and the width; returns the content height.
    int MeasureItems();
    // The work area of the monitor the menu goes on: a submenu's is its
    // parent's, any other menu's that of the monitor holding its point.
    RECT WorkAreaFor(POINT point) const;
    POINT PlaceWindow(int x, int y, SIZE size) const;
    bool CreateMenuWindow(POINT at, SIZE size);
    void ShowAndTakeCapture(bool noCapture);
    void RunMessageLoop();
    // Closes the tree of this menu with no result, unless it has closed.
    void CloseTreeWithoutChoice();
    // Stops the submenu delays and scrolling bands of this menu and its open
    // submenus.
    void StopMenuTimers();
    static CFlatPopupMenu* MenuOfWindow(HWND window);
    static LRESULT HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // Painting.
    void DrawBackground(HWND window, HDC dc);
    void DrawAllItems(HWND window, HDC dc);
    void DrawItem(HDC dc, int index, const FlatMenuItem& entry);
    RECT RowArea() const; // where a scrolling menu's rows show
    void DrawSeparator(HDC dc, int top);
    void DrawIcon(HDC dc, int sourceX, int x, int y);
    void DrawMaskedIcon(HDC dc, HDC imageDc, HDC maskDc, int sourceX, int x, int y);
    void DrawScrollBands(HDC dc);
    void DrawScrollArrow(HDC dc, int bandTop, int direction);

    // Input.
    void MouseMove(HWND window, int x, int y);
    int HitTest(int x, int y, const RECT& clientRect) const;
    void OpenHotSubmenu(HWND window, UINT_PTR timerId);
    void ButtonDown(HWND window, int x, int y, bool left);
    void ButtonUp(HWND window, int x, int y);
    void CharTyped(HWND window, WPARAM character);
    void WindowDestroyed(HWND window);

    // The one way the hot entry changes, for the mouse and the keyboard: the
    // old and new entries are repainted, the old entry's open submenu closes
    // and a pending submenu delay stops; the mouse starts a new delay.
    void SetHotEntry(int index, bool startSubmenuDelay);
    // Opens the hot entry's submenu beside it; from the keyboard with its
    // first choosable entry hot.
    void OpenSubmenuOfHotEntry(bool fromKeyboard);
    // Tracks the context menu at a screen point for the hot entry and closes
    // the tree when it closes.
    void TrackContextMenu(POINT screen, bool fromKeyboard);
    void NotifyRightClick(POINT screen);
    int MnemonicEntry(BYTE typed) const; // -1 when none

    // Keyboard: key messages of the thread are taken by the innermost running
    // Track loop and handled by the innermost open menu of its tree.
    static bool IsKeyMessage(UINT message);
    void TakeKeyMessage(MSG& msg);
    CFlatPopupMenu* InnermostOpenMenu();
    bool KeyDown(WPARAM virtualKey); // false: not a key the menu uses
    void LetterTyped(BYTE character);
    void ChooseHotEntryByKeyboard();
    void CloseSubmenuByKeyboard();
    void OpenContextMenuByKeyboard();
    void MoveHotByKeyboard(int index);
    bool IsChoosable(int index) const;
    int NextChoosable(int from, int step) const; // wraps around; -1 when none

    // Scrolling. Directions: -1 towards the top, 1 towards the bottom.
    // At Track: the rows of a menu that scrolls start below its top band.
    void SetUpRows(bool scrolls, int windowHeight);
    bool RowShown(const FlatMenuItem& item) const;
    bool CanScroll(int direction) const;
    // Shows the rows from `first` on; false when nothing moved. The hot
    // entry's submenu closes, and a hot entry that is no longer shown stops
    // being hot.
    bool ScrollTo(int first);
    // Scrolls the entry into view; false when it was shown already.
    bool BringIntoView(int index);
    int FirstRowShowing(int index) const;
    int ScrollBandAt(int x, int y) const; // the band's direction, 0 for none
    // The pointer at a client point: resting on an active band scrolls.
    void FollowScrollBand(int x, int y);
    void ScrollBandStep();
    void StopBandScrolling();
    void CloseSubmenuOfHotEntry();
    // Wheel messages go to the host's focused window: the innermost running
    // Track loop takes them and scrolls the menu under the pointer.
    static bool IsWheelMessage(UINT message);
    static void TakeWheelMessage(const MSG& msg);
    void WheelTurned(int delta, POINT screen);
    // The menu whose window of this thread is at a screen point, or null.
    static CFlatPopupMenu* MenuAtPoint(POINT screen);

    HINSTANCE m_instance = nullptr;
    int m_bitmapId = fpmNoBitmap;
    std::vector<FlatMenuItem> m_items;
    std::string m_fontFace = "MS Sans Serif";
    int m_fontSize = 8;
    int m_submenuDelay = 400;
    COLORREF m_frameColour = 0, m_backgroundColour = 0, m_textColour = 0, m_disabledTextColour = 0,
             m_highlightedTextColour = 0, m_highlightColour = 0, m_transparentColour = 0xFF00FF,
             m_lightColour = 0, m_shadowColour = 0;
    FlatMenuCaptureState m_captureState = fpmNotShown;
    int m_width = 0;
    int m_normalTextHeight = 0;
    int m_boldTextHeight = 0;
    HWND m_window = nullptr;
    HWND m_notifyWindow = nullptr;
    int m_hotIndex = -1;
    int m_chosenCommand = 0;
    bool m_leftButtonHeldAtOpen = false;
    bool m_openedByKeyboard = false; // the next Track starts with an entry hot
    bool m_isChild = false;
    CFlatPopupMenu* m_parent = nullptr;
    int m_x = 0, m_y = 0;
    CFlatPopupMenu* m_contextMenu = nullptr;
    int m_contextCommand = 0;
    bool m_contextMenuOpen = false;
    HFONT m_normalFont = nullptr, m_boldFont = nullptr;
    HPEN m_framePen = nullptr, m_lightPen = nullptr, m_shadowPen = nullptr,
         m_backgroundPen = nullptr, m_highlightedTextPen = nullptr, m_textPen = nullptr;
    HBRUSH m_backgroundBrush = nullptr, m_highlightBrush = nullptr;
    HBITMAP m_imageStrip = nullptr;
    bool m_ownsImageStrip = false; // loaded from a resource by CreateGdiObjects
    HBITMAP m_maskStrip = nullptr;
    // While the whole menu paints: contexts holding the image and mask
    // strips, made once for all its icons instead of once per icon.
    HDC m_paintImageDc = nullptr, m_paintMaskDc = nullptr;
    bool m_paintClipsRows = false;            // the whole paint is clipped to the rows already
    bool m_backgroundErased = false;          // since the last paint
    bool m_paintOverErasedBackground = false; // while the whole menu paints
    HWND m_ownerWindow = nullptr;
    RECT m_workArea = {0, 0, 0, 0};
    bool m_scrolls = false;
    int m_firstRow = 0;
    int m_rowAreaTop = 0, m_rowAreaBottom = 0;
    int m_bandDirection = 0; // the band the pointer rests on while it scrolls
    int m_wheelDelta = 0;    // a wheel's turn short of a notch
};
