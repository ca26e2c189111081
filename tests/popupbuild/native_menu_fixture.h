// Hand-built native menus for the flat popup conversion tests: items carry
// records as item data and, optionally, solid-colour icon bitmaps.
#pragma once
#include <windows.h>
#include <memory>
#include <string>
#include <vector>

class NativeMenuFixture {
  public:
    NativeMenuFixture();
    ~NativeMenuFixture();
    HMENU Root() const { return m_root; }
    HMENU NewSubmenu();
    // Appends at the end of `menu` (native order = order of these calls).
    void AddItem(HMENU menu, const char* text, UINT id, const char* record,
                 COLORREF iconColour = CLR_INVALID, UINT state = 0);
    void AddSeparator(HMENU menu, const char* record);
    void AddSubmenu(HMENU menu, const char* text, UINT id, HMENU submenu, const char* record);

  private:
    HBITMAP SolidBitmap(COLORREF colour);
    const char* Keep(const char* record);
    HMENU m_root;
    std::vector<HMENU> m_submenus;
    std::vector<HBITMAP> m_bitmaps;
    std::vector<std::unique_ptr<std::string>> m_records;
};

// Texts of a flat popup's entries, separators as "-".
class CFlatPopupMenu;
std::vector<std::string> EntryTexts(const CFlatPopupMenu& popup);
