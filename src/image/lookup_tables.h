// Lookup tables indexed by a signed integer from -2048 to 2048. They depend on
// nothing, are computed by the compiler, and are only ever read, so any
// number of analyses on any number of threads share them.
#pragma once

#include <cstdint>

// A table indexed by a signed integer from -2048 to 2048.
template <typename T> struct TSignedTable {
    T Entries[4097];
    constexpr T& operator[](int i) { return Entries[i + 2048]; }
    constexpr const T& operator[](int i) const { return Entries[i + 2048]; }
};

namespace lookup_detail {

template <typename T, typename F> constexpr TSignedTable<T> Make(F f) {
    TSignedTable<T> t{};
    for (int i = -2048; i <= 2048; ++i) t[i] = f(i);
    return t;
}

// Whole part of the square root of n >= 0.
constexpr int32_t IntSqrt(int32_t n) {
    int32_t r = 0;
    while ((r + 1) * (r + 1) <= n) ++r;
    return r;
}

} // namespace lookup_detail

// min(255, max(0, i))
inline constexpr TSignedTable<uint8_t> ClampTab = lookup_detail::Make<uint8_t>([](int i) {
    return uint8_t(i < 0 ? 0 : i > 255 ? 255 : i);
});
// |i| mod 256
inline constexpr TSignedTable<uint8_t> AbsTab =
    lookup_detail::Make<uint8_t>([](int i) { return uint8_t((i < 0 ? -i : i) & 255); });
// min(2047, i * i)
inline constexpr TSignedTable<int32_t> SqrTab =
    lookup_detail::Make<int32_t>([](int i) { return i * i < 2047 ? i * i : 2047; });
// truncated square root, 0 for i <= 0
inline constexpr TSignedTable<int32_t> SqrtTab =
    lookup_detail::Make<int32_t>([](int i) { return i <= 0 ? 0 : lookup_detail::IntSqrt(i); });

// The display tone map of the plane view: ToneTab[k] = k + offset held to
// 0..255 for k in -1024..1024, where offset is the brightness offset; the
// entries outside that range keep the low eight bits of their index, as the
// table starts.
using TToneTab = TSignedTable<uint8_t>;
constexpr TToneTab InitialToneTab() {
    return lookup_detail::Make<uint8_t>([](int i) { return uint8_t(i & 255); });
}
void SetToneOffset(TToneTab& tone, int offset);
