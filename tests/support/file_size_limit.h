// A limit on the size of the files the process writes, for making a write
// fail part way as a full disk would.
#pragma once

#include <csignal>

#include <sys/resource.h>

// While it lives, files may grow to `bytes` only: a write past that fails
// with EFBIG instead of stopping the process.
struct TFileSizeLimit {
    rlimit Before{};
    void (*Handler)(int) = nullptr;
    explicit TFileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &Before);
        Handler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, Before.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~TFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &Before);
        std::signal(SIGXFSZ, Handler);
    }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;
};
