// Small icons kept between builds of the menu. A launcher is opened again and
// again on a menu that has not changed, and reading an icon from its file is
// the slowest step of a build: so the pixels of each (file, index) are kept,
// with the file's size and last-write time, and used again for as long as the
// file still has that size and time. Plain memory of this process only, no
// GDI object. Bounds: at most kMaxKeptIcons icons.
#pragma once
#include <windows.h>
#include <string>
#include <unordered_map>
#include <vector>

// One small icon as top-down 32-bit rows, as DrawIconEx leaves its mask and
// its image on a cleared surface; no pixels when the file holds no such icon.
struct IconPixels {
    int cx = 0, cy = 0;
    std::vector<DWORD> image, mask;
    bool Present() const { return !image.empty(); }
};

// What tells one content of a file from another.
struct IconFileStamp {
    ULONGLONG size = 0;
    FILETIME written = {};
};

// Icons kept at most: beyond it, the one used longest ago makes room.
const size_t kMaxKeptIcons = 256;

class KeptIcons {
  public:
    // Starts a build: the icons it uses are not given up while it runs.
    void BeginUse() { ++m_use; }
    // The icon kept for `index` of `path` (a full path) at cx x cy, when it
    // was read from the file as `stamp` describes it; else null.
    const IconPixels* Find(const std::string& path, int index, const IconFileStamp& stamp, int cx,
                           int cy);
    // Keeps `pixels` for `index` of `path` at their size, in place of what
    // was kept for it at that size.
    // Null when there is no room: every kept icon is used by the running build.
    const IconPixels* Keep(const std::string& path, int index, const IconFileStamp& stamp,
                           IconPixels&& pixels);
    size_t Count() const { return m_kept.size(); }
    void Release();

  private:
    struct Kept {
        IconFileStamp stamp;
        IconPixels pixels;
        unsigned lastUse = 0;
    };
    bool MakeRoom();

    std::unordered_map<std::string, Kept> m_kept; // by "path|index|cxXcy"
    unsigned m_use = 0;                           // the running build's number
};
