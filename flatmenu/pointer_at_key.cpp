#include "flatmenu/pointer_at_key.h"

namespace {
// Menus run on the host's one calling thread.
bool g_remembered = false;
POINT g_pointer = {0, 0};
} // namespace

void RememberPointerAtKey(POINT pointer) {
    g_pointer = pointer;
    g_remembered = true;
}

void ForgetPointerAtKey() {
    g_remembered = false;
}

bool PointerRestsSinceKey(POINT screen) {
    if (!g_remembered) return false;
    if (screen.x == g_pointer.x && screen.y == g_pointer.y) return true;
    g_remembered = false;
    return false;
}
