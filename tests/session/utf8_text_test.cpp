// Names of any bytes in text that must stay valid UTF-8: JSON reads back to
// the same bytes, CSV escapes only what is not UTF-8 and leaves valid names
// exactly as they were always written.
#include "session/export.h"
#include "session/utf8_text.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf8Text, NamesOfAnyBytesStayValidAndReadBack) {
    const std::string valid[] = {"coffee.jpg", "caf\xc3\xa9 \\ 1.bmp", "\xf0\x9f\x93\xb7.png"};
    for (const std::string& name : valid) EXPECT_EQ(Utf8Escaped(name), name);

    EXPECT_EQ(Utf8Escaped("caf\xe9.bmp"), "caf\\xE9.bmp");
    EXPECT_EQ(Utf8Escaped("a\\b\xff"), "a\\\\b\\xFF") << "a backslash doubled once escaping";
    EXPECT_EQ(Utf8Escaped("\xc3\xa9\xe2\x82"), "\xc3\xa9\\xE2\\x82") << "a cut sequence";
    EXPECT_EQ(Utf8Escaped("\xed\xa0\x80"), "\\xED\\xA0\\x80") << "a surrogate is no UTF-8";
    EXPECT_EQ(Utf8Escaped("\xc0\xaf"), "\\xC0\\xAF") << "nor an overlong form";

    for (const std::string& name : {std::string("caf\xe9\x01\"\\.bmp"), valid[1], valid[2]})
        EXPECT_EQ(JsonUnquoted(JsonQuoted(name)), name);
}

} // namespace
