// Text that may hold any bytes (a file name in another encoding) written
// into formats that must stay valid UTF-8.
#pragma once

#include <cstddef>
#include <string>

// The length of the UTF-8 sequence of more than one byte at s[i], or 0 when
// none starts there (a plain byte, or one that is no part of valid UTF-8).
size_t Utf8Length(const std::string& s, size_t i);

// `text` as it is when it is valid UTF-8. Otherwise every byte outside UTF-8
// becomes \xHH (HH its value in capitals) and every backslash \\, so the
// text is valid UTF-8 and its bytes can be read back.
std::string Utf8Escaped(const std::string& text);
