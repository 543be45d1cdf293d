// Shared by the fuzz harnesses: the session the inputs run on, and a scratch
// file through which fuzzed bytes reach the decoders by the same path a
// picture chosen in the window takes.
#pragma once

#include "session/session.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include <unistd.h>

namespace fuzz {

// The harness's session, made once: each input starts from its tree reset
// (ResetInput), so that no input depends on the inputs run before it.
inline TSession& Session() {
    static const std::unique_ptr<TSession> session = NewSession();
    return *session;
}

// Writes `data` to a file of this process with the given extension and
// returns its path; the files go when the process ends. /dev/shm keeps the
// many small writes off the disk.
inline std::string WriteScratch(const uint8_t* data, size_t size, const char* extension) {
    struct TScratch {
        std::string dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::set<std::string> written;
        ~TScratch() {
            for (const std::string& path : written) std::remove(path.c_str());
        }
    };
    static TScratch scratch;
    const std::string path =
        scratch.dir + "/tessa-fuzz-" + std::to_string(getpid()) + "-input" + extension;
    scratch.written.insert(path);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort(); // the harness itself is broken, not the code under test
    if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
    return path;
}

// Node labels persist from pass to pass in the program; a fuzz input must
// not depend on the inputs run before it, so each starts from a clean tree.
inline TSession& ResetInput() {
    TSession& s = Session();
    ResetTree(s.Tree);
    return s;
}

} // namespace fuzz
