// What a process holds, for the tests that prove memory stays flat: the
// resident size, and the allocator's bytes in use. AddressSanitizer keeps
// freed memory in quarantine, so under it only the heap figure means much.
#pragma once

#include <cstddef>
#include <cstdio>
#include <stdexcept>

#include <malloc.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
extern "C" size_t __sanitizer_get_current_allocated_bytes(); // from the sanitizer runtime
constexpr bool UnderAsan = true;
#else
constexpr bool UnderAsan = false;
#endif

// Throws when /proc cannot be read: a figure of 0 would let any test pass.
inline size_t ResidentBytes() {
    long size = 0, resident = 0;
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f) throw std::runtime_error("cannot open /proc/self/statm");
    const int read = std::fscanf(f, "%ld %ld", &size, &resident);
    std::fclose(f);
    if (read != 2 || resident <= 0) throw std::runtime_error("cannot read /proc/self/statm");
    return size_t(resident) * size_t(sysconf(_SC_PAGESIZE));
}

inline size_t HeapInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
#endif
}
