// Where the pointer rested when a key last acted on a tree of menus. Windows
// that appear or close under a resting pointer make the system report a
// mouse move at the same place; such a move is no movement and must not take
// the hot entry away from where the key put it.
#pragma once
#include <windows.h>

class PointerAtKey {
  public:
    // `pointer` is where the pointer was when the key was pressed (the key
    // message's own point): by the time the message is handled, the pointer
    // may already have moved on.
    void Remember(POINT pointer) {
        m_pointer = pointer;
        m_remembered = true;
    }
    void Forget() { m_remembered = false; }
    // True while the pointer is still where it rested at the last key; a
    // move to anywhere else forgets that place, so the mouse takes over again.
    bool RestsSinceKey(POINT screen) {
        if (!m_remembered) return false;
        if (screen.x == m_pointer.x && screen.y == m_pointer.y) return true;
        m_remembered = false;
        return false;
    }

  private:
    bool m_remembered = false;
    POINT m_pointer = {0, 0};
};
