#include "tests/boundary/failing_allocator.h"
#include <windows.h>
#include <stdlib.h>
#include <atomic>
#include <new>

namespace {
std::atomic<DWORD> g_armedThread(0);
size_t g_count = 0;
size_t g_failAt = 0;

// True when this allocation is the one that must fail.
bool FailsNow() {
    if (g_armedThread.load() == 0 || g_armedThread.load() != GetCurrentThreadId()) return false;
    return ++g_count == g_failAt;
}

void* Allocate(size_t size) {
    return malloc(size ? size : 1);
}
} // namespace

namespace failalloc {
void Arm(size_t failAt) {
    g_count = 0;
    g_failAt = failAt;
    g_armedThread = GetCurrentThreadId();
}

size_t Disarm() {
    g_armedThread = 0;
    return g_count;
}
} // namespace failalloc

void* operator new(size_t size) {
    void* p = FailsNow() ? nullptr : Allocate(size);
    if (!p) throw std::bad_alloc();
    return p;
}
void* operator new[](size_t size) {
    void* p = FailsNow() ? nullptr : Allocate(size);
    if (!p) throw std::bad_alloc();
    return p;
}
// Not counted: the standard library asks for its temporary buffers this way
// and does without them when they are refused.
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    free(p);
}
void operator delete[](void* p) noexcept {
    free(p);
}
void operator delete(void* p, size_t) noexcept {
    free(p);
}
void operator delete[](void* p, size_t) noexcept {
    free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    free(p);
}
