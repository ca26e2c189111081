// A failure inside the handling of a key (here a failed allocation) cannot
// unwind into the system's frames: it closes the tree with no choice.
#include <stdlib.h>
#include <atomic>
#include <new>
#include "tests/keyboard/menu_keys_fixture.h"

using namespace keytest;

namespace {
// The thread whose next allocation fails, once; 0 for none.
std::atomic<DWORD> g_failNextAllocationOf(0);
} // namespace

void* operator new(size_t size) {
    const DWORD thread = GetCurrentThreadId();
    DWORD expected = thread;
    if (thread != 0 && g_failNextAllocationOf.compare_exchange_strong(expected, 0))
        throw std::bad_alloc();
    void* memory = malloc(size ? size : 1);
    if (!memory) throw std::bad_alloc();
    return memory;
}
void operator delete(void* memory) noexcept {
    free(memory);
}
void operator delete(void* memory, size_t) noexcept {
    free(memory);
}

TEST_F(MenuKeys, AFailureWhileHandlingALetterClosesTheTreeWithNoChoice) {
    const DWORD thread = GetCurrentThreadId();
    qtest::ModalOutcome out = Run([&] {
        if (!qtest::WaitShown(root)) return;
        qtest::PressKey(VK_DOWN);
        EXPECT_TRUE(qtest::SyncInput());
        g_failNextAllocationOf = thread;
        qtest::TypeChar('b'); // a search starts: the tree's entries are gathered
    });
    EXPECT_EQ(0u, g_failNextAllocationOf.load()) << "no allocation failed";
    EXPECT_FALSE(out.threw) << "the failure escaped from Track";
    EXPECT_FALSE(out.rescued) << "the failure left menus open";
    EXPECT_EQ(0, out.result);
    EXPECT_EQ(nullptr, root.Window());
    EXPECT_TRUE(qtest::MenuWindows().empty());
}

TEST_F(MenuKeys, AFailureInASubmenuOpenedByAKeyClosesTheWholeTree) {
    const DWORD thread = GetCurrentThreadId();
    qtest::ModalOutcome out = Run([&] {
        if (!qtest::WaitShown(root)) return;
        qtest::TypeChar('c');
        if (!qtest::WaitShown(charlie)) return;
        EXPECT_TRUE(qtest::SyncInput());
        g_failNextAllocationOf = thread;
        qtest::TypeChar('o'); // "One", the only entry starting with o
    });
    EXPECT_EQ(0u, g_failNextAllocationOf.load()) << "no allocation failed";
    EXPECT_FALSE(out.threw) << "the failure escaped from Track";
    EXPECT_FALSE(out.rescued) << "the failure left menus open";
    EXPECT_EQ(0, out.result) << "nothing is chosen";
    EXPECT_EQ(nullptr, charlie.Window());
    EXPECT_EQ(nullptr, root.Window());
    EXPECT_TRUE(qtest::MenuWindows().empty());
}
