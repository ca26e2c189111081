// This test program's replacement of the global operator new: once armed, the
// n-th allocation by a throwing new on the arming thread fails as a real one
// would, with std::bad_alloc. Nothrow allocations are left alone: the
// standard library makes them only where it can do without.
#pragma once
#include <stddef.h>

namespace failalloc {

// Counts allocations on the calling thread from now on; the `failAt`-th one
// fails (0: none fails).
void Arm(size_t failAt);
// Stops counting; returns how many allocations were counted.
size_t Disarm();

} // namespace failalloc
