// The kept pair of strip buffers, lent to one strip pair at a time.
#include "menubuild/strip_pixels.h"

namespace {
std::vector<DWORD> g_image, g_mask;
bool g_lent = false;
} // namespace

StripPixels::StripPixels() : m_holdsKept(!g_lent) {
    if (m_holdsKept) g_lent = true;
}

StripPixels::~StripPixels() {
    if (m_holdsKept) g_lent = false;
}

void StripPixels::Prepare(size_t count) {
    const bool kept = m_holdsKept && count <= kKeptStripPixels;
    m_image = kept ? &g_image : &m_ownImage;
    m_mask = kept ? &g_mask : &m_ownMask;
    // Within their capacity the kept buffers are filled in place.
    m_image->assign(count, 0);
    m_mask->assign(count, 0);
}

size_t KeptStripPixelCount() {
    return g_image.capacity() + g_mask.capacity();
}

void ReleaseStripPixels() {
    std::vector<DWORD>().swap(g_image);
    std::vector<DWORD>().swap(g_mask);
}
