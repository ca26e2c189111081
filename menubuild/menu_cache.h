// What outlives a press, in one object that the plug-in's module owns:
// - menu: the stored tree read last (one tree, the size of the stored menu);
// - icons: the pixels of at most kMaxKeptIcons small icons;
// - strips: two pixel buffers of at most kKeptStripPixels pixels each.
// All of it is plain memory of this process, no handle; Release gives it up
// (when the host releases the plug-in, and at unload).
#pragma once
#include "menubuild/kept_icons.h"
#include "menubuild/strip_pixels.h"
#include "store/stored_menu.h"

struct MenuCache {
    KeptMenu menu;
    KeptIcons icons;
    StripBuffers strips;
    void Release() {
        menu.Release();
        icons.Release();
        strips.Release();
    }
};
