// Which file names the folder lists and the batch take as pictures. The name
// only decides what is listed: the decoder is chosen by the file's content.
#pragma once

#include <string>

// The extensions, lower case, as the open dialog's filter lists them.
inline constexpr const char* PictureExtensions[] = {".jpg", ".jpeg", ".jpe", ".jfif",
                                                    ".png", ".bmp",  ".tif", ".tiff"};

// True for a file name (no folder) that ends in one of PictureExtensions in
// any letter case and is not hidden (starts with '.') nor only an extension.
bool IsPictureName(const std::string& name);

// The extensions joined: each after `prefix`, with `separator` between, as
// "*.jpg *.jpeg ..." for a file dialog's filter or ".jpg, .jpeg, ..." in a
// message.
std::string JoinedPictureExtensions(const std::string& prefix, const std::string& separator);
