// The one rule of picture names: eight extensions in any letter case, no
// hidden file, no bare extension; the content, not the name, picks the decoder.
#include "image/picture_format.h"
#include "image/picture_names.h"

#include <gtest/gtest.h>

TEST(PictureNames, EightExtensionsInAnyCaseAndNoHiddenFile) {
    for (const char* name : {"a.jpg", "B.JPEG", "c.Jpe", "d.jfif", "e.PNG", "f.bmp", "g.TiF",
                             "h.tiff", "x.y.jpg", "holiday 2024.JFIF"})
        EXPECT_TRUE(IsPictureName(name)) << name;
    for (const char* name : {"", ".jpg", ".hidden.png", "a.gif", "a.jpgx", "a.tif~", "jpg",
                             "a.jpg.txt", "a.", "a.webp", "a.j"})
        EXPECT_FALSE(IsPictureName(name)) << name;
    EXPECT_EQ(JoinedPictureExtensions("*", " "),
              "*.jpg *.jpeg *.jpe *.jfif *.png *.bmp *.tif *.tiff");
}

TEST(PictureNames, FirstBytesNameTheFourFormats) {
    const struct {
        std::string head;
        bool known;
        TPictureFormat format;
    } cases[] = {
        {"\xFF\xD8\xFF\xE0", true, TPictureFormat::Jpeg},
        {"\x89PNG\r\n\x1A\n", true, TPictureFormat::Png},
        {"BM\x36\x00", true, TPictureFormat::Bmp},
        {std::string("II*\0", 4), true, TPictureFormat::Tiff},
        {std::string("MM\0*", 4), true, TPictureFormat::Tiff},
        {"\x89PNG\r\n", false, {}}, // a signature cut short is no PNG
        {"\xFF\xD8", false, {}},
        {std::string("II+\0", 4), false, {}},
        {"GIF89a", false, {}},
        {"B", false, {}},
        {"", false, {}},
    };
    for (const auto& c : cases) {
        TPictureFormat got = TPictureFormat::Jpeg;
        EXPECT_EQ(FormatOfContent(reinterpret_cast<const unsigned char*>(c.head.data()),
                                  c.head.size(), got),
                  c.known)
            << c.head;
        if (c.known) {
            EXPECT_EQ(got, c.format) << c.head;
        }
    }
    EXPECT_STREQ(QtFormatName(TPictureFormat::Tiff), "tiff");
    EXPECT_STREQ(QtFormatName(TPictureFormat::Jpeg), "jpeg");
}
