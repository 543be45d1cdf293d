// Which decoder reads a picture file: the one its first bytes call for
// (JPEG, PNG, BMP or TIFF), whatever the file is named. A file whose content
// is none of these goes where its extension points (.bmp, .png, .tif/.tiff,
// else JPEG), so that its refusal says what the name promised.
#pragma once

#include <string>

enum class TPictureFormat { Jpeg, Png, Bmp, Tiff };

// From the first bytes of a file, `size` of them; false when they are none
// of the four kinds.
bool FormatOfContent(const unsigned char* head, size_t size, TPictureFormat& format);

// The decoder for the file at `path`: by content, else by extension. A file
// that is not a plain file or cannot be read goes by its extension too; its
// decoder says why.
TPictureFormat PictureFormatOf(const std::string& path);

// "jpeg", "png", "bmp" or "tiff": the name QtGui's readers give the format.
const char* QtFormatName(TPictureFormat format);
