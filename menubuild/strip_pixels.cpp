#include "menubuild/strip_pixels.h"

void StripBuffers::Release() {
    std::vector<DWORD>().swap(m_image);
    std::vector<DWORD>().swap(m_mask);
}

StripPixels::StripPixels(StripBuffers& kept) : m_kept(kept), m_holdsKept(!kept.m_lent) {
    if (m_holdsKept) m_kept.m_lent = true;
}

StripPixels::~StripPixels() {
    if (m_holdsKept) m_kept.m_lent = false;
}

void StripPixels::Prepare(size_t count) {
    const bool kept = m_holdsKept && count <= kKeptStripPixels;
    m_image = kept ? &m_kept.m_image : &m_ownImage;
    m_mask = kept ? &m_kept.m_mask : &m_ownMask;
    // Within their capacity the kept buffers are filled in place.
    m_image->assign(count, 0);
    m_mask->assign(count, 0);
}
