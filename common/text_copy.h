// Bounded copies of zero-terminated text into fixed-size buffers.
#pragma once
#include <stddef.h>
#include <string.h>

// Copies `source` (null copies as "") into `dest`, a buffer of `size` bytes,
// cut to fit and always terminated.
inline void CopyText(char* dest, size_t size, const char* source) {
    if (size == 0) return;
    size_t length = source ? strlen(source) : 0;
    if (length > size - 1) length = size - 1;
    if (length) memcpy(dest, source, length);
    dest[length] = '\0';
}
