// Pixel buffers for the strips of a popup. A launcher is built again and
// again at the same size, and touching fresh memory of a strip's size for
// the first time, page by page, costs more than everything else the strips
// take: so one pair of buffers is kept from one build to the next.
#pragma once
#include <windows.h>
#include <vector>

// At most this many pixels are kept per buffer (a 2,048-item menu's strip);
// a larger strip has buffers of its own.
const size_t kKeptStripPixels = 2048 * 16 * 16;

// The kept pair: lent to one strip pair at a time. Bounds: two buffers of at
// most kKeptStripPixels pixels each.
class StripBuffers {
  public:
    // Pixels kept now, over both buffers (their capacity).
    size_t PixelCount() const { return m_image.capacity() + m_mask.capacity(); }
    void Release();

  private:
    friend class StripPixels;
    std::vector<DWORD> m_image, m_mask;
    bool m_lent = false;
};

// The buffers of one strip pair: the kept pair while it is free and large
// enough, else buffers of its own.
class StripPixels {
  public:
    explicit StripPixels(StripBuffers& kept);
    ~StripPixels();
    StripPixels(const StripPixels&) = delete;
    StripPixels& operator=(const StripPixels&) = delete;
    // Makes both buffers `count` black pixels.
    void Prepare(size_t count);
    bool Prepared() const { return m_image != nullptr; }
    std::vector<DWORD>& Image() { return *m_image; }
    std::vector<DWORD>& Mask() { return *m_mask; }

  private:
    StripBuffers& m_kept;
    bool m_holdsKept;
    std::vector<DWORD>* m_image = nullptr;
    std::vector<DWORD>* m_mask = nullptr;
    std::vector<DWORD> m_ownImage, m_ownMask;
};
