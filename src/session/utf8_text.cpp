#include "utf8_text.h"

#include <cstdio>

size_t Utf8Length(const std::string& s, size_t i) {
    const auto at = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b = at(i);
    const size_t n = b >= 0xC2 && b <= 0xDF   ? 2
                     : b >= 0xE0 && b <= 0xEF ? 3
                     : b >= 0xF0 && b <= 0xF4 ? 4
                                              : 0;
    if (n == 0 || i + n > s.size()) return 0;
    for (size_t k = 1; k < n; ++k)
        if ((at(i + k) & 0xC0) != 0x80) return 0;
    const unsigned char b1 = at(i + 1);
    // Overlong forms, UTF-16 surrogates and code points past U+10FFFF.
    if ((b == 0xE0 && b1 < 0xA0) || (b == 0xED && b1 >= 0xA0) || (b == 0xF0 && b1 < 0x90) ||
        (b == 0xF4 && b1 >= 0x90))
        return 0;
    return n;
}

namespace {

bool IsUtf8(const std::string& s) {
    for (size_t i = 0; i < s.size();) {
        if (static_cast<unsigned char>(s[i]) < 0x80) {
            ++i;
        } else if (const size_t n = Utf8Length(s, i)) {
            i += n;
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

std::string Utf8Escaped(const std::string& s) {
    if (IsUtf8(s)) return s; // as every name in UTF-8 was always written
    std::string out;
    for (size_t i = 0; i < s.size();) {
        const auto byte = static_cast<unsigned char>(s[i]);
        if (const size_t n = byte >= 0x80 ? Utf8Length(s, i) : 1; n) {
            out += s[i] == '\\' ? std::string("\\\\") : s.substr(i, n);
            i += n;
            continue;
        }
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\x%02X", byte);
        out += buf;
        ++i;
    }
    return out;
}
