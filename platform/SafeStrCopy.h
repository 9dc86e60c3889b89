// Bounded text copy for fixed-size buffers.
#pragma once

#include <cstddef>

// Copies at most size - 1 characters of source and always terminates; nothing when
// size is 0; a null source gives an empty text.
inline void SafeStrCopy(char* destination, const char* source, size_t size) {
    if (destination == nullptr || size == 0)
        return;
    size_t n = 0;
    if (source != nullptr)
        while (n + 1 < size && source[n] != '\0') {
            destination[n] = source[n];
            ++n;
        }
    destination[n] = '\0';
}
