// Pixels read back at once, and written out as BMP files for people to look
// at.
#pragma once
#include <windows.h>
#include <map>
#include <string>
#include <vector>

namespace qtest {

// A window's client pixels (or, for a null window, the screen's), read back
// from its device context at once.
class Snapshot {
  public:
    explicit Snapshot(HWND window);
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // CLR_INVALID outside.
    COLORREF Pixel(int x, int y) const;
    // How many pixels of each colour a client rectangle holds.
    std::map<COLORREF, int> Colours(const RECT& rect) const;
    // Pixels of a client rectangle that are (not) `colour`.
    int Count(const RECT& rect, COLORREF colour) const;
    int CountOtherThan(const RECT& rect, COLORREF colour) const;
    // Writes a 24-bit BMP file.
    bool Save(const std::string& path) const;

  private:
    int m_width = 0, m_height = 0;
    std::vector<COLORREF> m_pixels;
};

// Writes `pixels` (top row first, `width` a row) as a 24-bit BMP file.
bool SaveBmp(const std::string& path, int width, int height, const std::vector<COLORREF>& pixels);

// Where the test program lies, with a backslash: pictures are saved beside it.
std::string ProgramDirectory();

} // namespace qtest
