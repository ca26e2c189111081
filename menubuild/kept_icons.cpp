#include "menubuild/kept_icons.h"
#include <stdio.h>
#include <utility>

namespace {
// Each size of an icon is kept apart: presses on monitors of different DPI
// use their own.
std::string KeyOf(const std::string& path, int index, int cx, int cy) {
    char suffix[48];
    snprintf(suffix, sizeof suffix, "|%d|%dx%d", index, cx, cy);
    return path + suffix;
}

bool SameStamp(const IconFileStamp& a, const IconFileStamp& b) {
    return a.size == b.size && a.written.dwLowDateTime == b.written.dwLowDateTime &&
           a.written.dwHighDateTime == b.written.dwHighDateTime;
}
} // namespace

bool KeptIcons::MakeRoom() {
    if (m_kept.size() < kMaxKeptIcons) return true;
    auto oldest = m_kept.end();
    for (auto it = m_kept.begin(); it != m_kept.end(); ++it) {
        if (it->second.lastUse == m_use) continue;
        if (oldest == m_kept.end() || it->second.lastUse < oldest->second.lastUse) oldest = it;
    }
    if (oldest == m_kept.end()) return false;
    m_kept.erase(oldest);
    return true;
}

const IconPixels* KeptIcons::Find(const std::string& path, int index, const IconFileStamp& stamp,
                                  int cx, int cy) {
    auto found = m_kept.find(KeyOf(path, index, cx, cy));
    if (found == m_kept.end()) return nullptr;
    Kept& kept = found->second;
    if (!SameStamp(kept.stamp, stamp) || kept.pixels.cx != cx || kept.pixels.cy != cy)
        return nullptr; // the file changed, or the icon size did
    kept.lastUse = m_use;
    return &kept.pixels;
}

const IconPixels* KeptIcons::Keep(const std::string& path, int index, const IconFileStamp& stamp,
                                  IconPixels&& pixels) {
    std::string key = KeyOf(path, index, pixels.cx, pixels.cy);
    auto found = m_kept.find(key);
    if (found == m_kept.end()) {
        if (!MakeRoom()) return nullptr;
        // Should this allocation fail, the store stays as it was, less at
        // most the icon that made room.
        found = m_kept.emplace(std::move(key), Kept()).first;
    }
    Kept& kept = found->second;
    kept.stamp = stamp;
    kept.pixels = std::move(pixels);
    kept.lastUse = m_use;
    return &kept.pixels;
}

void KeptIcons::Release() {
    std::unordered_map<std::string, Kept>().swap(m_kept);
}
