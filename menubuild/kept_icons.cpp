// The store of kept icons: by "path|index", each with the stamp of the file
// it was read from and the number of the build that used it last.
#include "menubuild/kept_icons.h"
#include <stdio.h>
#include <unordered_map>
#include <utility>

namespace {
struct KeptIcon {
    IconFileStamp stamp;
    IconPixels pixels;
    unsigned lastUse = 0;
};

std::unordered_map<std::string, KeptIcon> g_kept;
unsigned g_use = 0; // the running build's number

std::string KeyOf(const std::string& path, int index) {
    char suffix[16];
    snprintf(suffix, sizeof suffix, "|%d", index);
    return path + suffix;
}

bool SameStamp(const IconFileStamp& a, const IconFileStamp& b) {
    return a.size == b.size && a.written.dwLowDateTime == b.written.dwLowDateTime &&
           a.written.dwHighDateTime == b.written.dwHighDateTime;
}

// Makes room for one more icon; false when every kept icon is in use.
bool MakeRoom() {
    if (g_kept.size() < kMaxKeptIcons) return true;
    auto oldest = g_kept.end();
    for (auto it = g_kept.begin(); it != g_kept.end(); ++it) {
        if (it->second.lastUse == g_use) continue;
        if (oldest == g_kept.end() || it->second.lastUse < oldest->second.lastUse) oldest = it;
    }
    if (oldest == g_kept.end()) return false;
    g_kept.erase(oldest);
    return true;
}
} // namespace

void BeginIconUse() {
    ++g_use;
}

const IconPixels* FindKeptIcon(const std::string& path, int index, const IconFileStamp& stamp,
                               int cx, int cy) {
    auto found = g_kept.find(KeyOf(path, index));
    if (found == g_kept.end()) return nullptr;
    KeptIcon& kept = found->second;
    if (!SameStamp(kept.stamp, stamp) || kept.pixels.cx != cx || kept.pixels.cy != cy)
        return nullptr; // the file changed, or the icon size did
    kept.lastUse = g_use;
    return &kept.pixels;
}

const IconPixels* KeepIcon(const std::string& path, int index, const IconFileStamp& stamp,
                           IconPixels&& pixels) {
    std::string key = KeyOf(path, index);
    auto found = g_kept.find(key);
    if (found == g_kept.end()) {
        if (!MakeRoom()) return nullptr;
        // Should this allocation fail, the store stays as it was, less at
        // most the icon that made room.
        found = g_kept.emplace(std::move(key), KeptIcon()).first;
    }
    KeptIcon& kept = found->second;
    kept.stamp = stamp;
    kept.pixels = std::move(pixels);
    kept.lastUse = g_use;
    return &kept.pixels;
}

size_t KeptIconCount() {
    return g_kept.size();
}

void ReleaseKeptIcons() {
    std::unordered_map<std::string, KeptIcon>().swap(g_kept);
}
