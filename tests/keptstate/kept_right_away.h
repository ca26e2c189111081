// Presses in the tests write the stored menu and press again at once.
#pragma once
#include "store/stored_menu.h"

// While it lives, the stored menu a press reads may be kept as soon as its
// keys were written, and nothing kept before it is used.
struct KeptRightAway {
    KeptRightAway() {
        ReleaseKeptMenu();
        SetKeptMenuSettleTime(0);
    }
    ~KeptRightAway() {
        SetKeptMenuSettleTime(kKeptMenuSettleTime);
        ReleaseKeptMenu();
    }
    KeptRightAway(const KeptRightAway&) = delete;
    KeptRightAway& operator=(const KeptRightAway&) = delete;
};
