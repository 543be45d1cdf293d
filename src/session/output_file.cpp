#include "output_file.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Writes all of `bytes` to `fd` and flushes them; returns 0 or the errno.
int WriteAll(int fd, std::string_view bytes) {
    const char* data = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n > 0) {
            data += n;
            left -= size_t(n);
        } else if (n < 0 && errno != EINTR) {
            return errno;
        }
    }
    return ::fsync(fd) != 0 ? errno : 0;
}

// Writes `path` anew; `shown` is the name an error gives. 0 or the errno,
// with the file removed.
int WriteFile(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return errno;
    int error = WriteAll(fd, bytes);
    if (::close(fd) != 0 && !error) error = errno;
    if (error) ::unlink(path.c_str());
    return error;
}

} // namespace

std::string FailureReason(int error) {
    switch (error) {
    case ENOSPC:
        return "no space left on the device";
    case EDQUOT:
        return "the disk quota is used up";
    case EACCES:
    case EPERM:
        return "permission denied";
    case EROFS:
        return "the file system is read-only";
    case ENAMETOOLONG:
        return "the name is too long for the file system";
    case ENOENT:
        return "the folder it goes into does not exist";
    case ENOTDIR:
        return "a file stands where a folder of its path should be";
    case EIO:
        return "the device reported an input/output error";
    default: {
        std::string reason = std::strerror(error);
        if (!reason.empty()) reason[0] = char(std::tolower(static_cast<unsigned char>(reason[0])));
        return reason;
    }
    }
}

void FailWrite(const std::string& path, int error) {
    throw TExportError("Cannot write \"" + path + "\": " + FailureReason(error) + ".");
}

std::string TemporaryName(const std::string& leaf, const std::string& suffix) {
    uint64_t hash = 14695981039346656037ull; // 64-bit FNV-1a
    for (const char c : leaf) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    char text[24];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    std::string name = ".tsv-";
    name.append(text, 16);
    name += suffix;
    return name;
}

void SyncFolder(const std::string& path) {
    const int fd = ::open(path.empty() ? "." : path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

void WriteNewFile(const std::string& path, std::string_view bytes) {
    if (const int error = WriteFile(path, bytes)) FailWrite(path, error);
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
    const fs::path target(path);
    // The process's own temporary: two writers of one file never share one.
    char own[32];
    std::snprintf(own, sizeof own, "-%ld.tmp", static_cast<long>(::getpid()));
    const fs::path temporary =
        target.parent_path() / TemporaryName(target.filename().string(), own);
    if (const int error = WriteFile(temporary.string(), bytes)) FailWrite(path, error);
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        FailWrite(path, error);
    }
    SyncFolder(target.parent_path().string());
}
