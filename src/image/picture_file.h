// A picture file opened by the bytes of its path, for Qt's image readers: a
// name that is not valid text (another encoding) opens as it is, which a
// conversion to QString would not let it.
#pragma once

#include "picture_messages.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

// Throws TPictureError when it cannot be opened.
inline std::unique_ptr<QFile> OpenPictureDevice(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        FailPicture(path, std::string("the file cannot be opened (") + std::strerror(errno) + ")");
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        FailPicture(path, "the file cannot be opened");
    }
    return file;
}
