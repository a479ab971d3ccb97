// Cache hints: start loading data whose address is known well before it is
// read, so the load overlaps other work. A hint never changes a result.
#ifndef CORE_PREFETCH_H
#define CORE_PREFETCH_H

#include <cstddef>

// Every cache line of the bytes [p, p + size); size must not be 0.
inline void PrefetchBytes(const void* p, size_t size) {
    const char* c = static_cast<const char*>(p);
    for (size_t at = 0; at < size; at += 64)
        __builtin_prefetch(c + at);
    __builtin_prefetch(c + size - 1);
}

#endif
