// What the decoders share when a picture file cannot be used: the message
// for people, the checks every file gets before a decoder opens it, and a
// look at the first bytes to say what a misnamed file really holds.
//
// Reads: the file system entry at a path, or bytes given by the caller.
// Writes: nothing; failures leave as TPictureError.
#pragma once

#include "picture_error.h"

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

// The path as the user's system writes it.
inline std::string NativePath(std::string path) {
#ifdef _WIN32
    for (char& c : path)
        if (c == '/') c = '\\';
#endif
    return path;
}

[[noreturn]] inline void FailPicture(const std::string& path, const std::string& cause) {
    throw TPictureError("Cannot read \"" + NativePath(path) + "\": " + cause +
                        ". Choose another file.");
}

// Refuses what no decoder can read: a path that leads nowhere, a folder,
// anything that is not a plain file, and an empty file.
inline void CheckPictureFile(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found) FailPicture(path, "the file does not exist");
    if (ec) FailPicture(path, "the file cannot be reached (" + ec.message() + ")");
    if (fs::is_directory(status)) FailPicture(path, "it is a folder, not a picture file");
    if (!fs::is_regular_file(status)) FailPicture(path, "it is not a plain file");
    const auto size = fs::file_size(path, ec);
    if (ec) FailPicture(path, "the file cannot be read (" + ec.message() + ")");
    if (size == 0) FailPicture(path, "the file is empty");
}

// Checks the file as CheckPictureFile does and opens it for reading from its
// first byte; returns its size in bytes.
inline unsigned long long OpenPictureFile(const std::string& path, std::ifstream& file) {
    CheckPictureFile(path);
    file.open(path, std::ios::binary | std::ios::ate);
    if (!file)
        FailPicture(path, std::string("the file cannot be opened (") + std::strerror(errno) + ")");
    const auto size = static_cast<unsigned long long>(file.tellg());
    file.seekg(0);
    return size;
}

// The cause for a picture of width x height pixels whose decoding would need
// more than MaxDecodeBytes (decoders.h), the one limit of every reader.
inline std::string TooLargeCause(long long width, long long height) {
    return "the picture is " + std::to_string(width) + " x " + std::to_string(height) +
           " pixels, and decoding it would need more than 1 GiB of memory";
}

// The kind of picture whose signature starts `head`, or nullptr.
inline const char* PictureKindOf(const unsigned char* head, size_t size) {
    auto starts = [&](const char* magic, size_t n) {
        return size >= n && std::memcmp(head, magic, n) == 0;
    };
    if (starts("\x89PNG", 4)) return "PNG";
    if (starts("\xFF\xD8\xFF", 3)) return "JPEG";
    if (starts("BM", 2)) return "BMP";
    if (starts("GIF8", 4)) return "GIF";
    if (starts("II*\0", 4) || starts("MM\0*", 4)) return "TIFF";
    if (size >= 12 && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WEBP", 4) == 0)
        return "WebP";
    return nullptr;
}

// The cause for a file that is not of the expected kind (`expected` is
// "JPEG", "BMP" or "PNG").
inline std::string WrongKindCause(const unsigned char* head, size_t size, const char* expected) {
    const char* kind = PictureKindOf(head, size);
    if (kind && std::strcmp(kind, expected) != 0)
        return std::string("it holds a ") + kind + " picture, not a " + expected + " one";
    return std::string("it is not a ") + expected + " picture";
}
