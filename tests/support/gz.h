// Reading the gzip-compressed files of the reference dumps (a plain file is
// read as it is), for the tests and the benchmarks.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

inline std::string ReferenceDir() {
    return std::string(TESSA_SOURCE_DIR) + "/tests/reference";
}

inline std::vector<uint8_t> ReadGz(const std::string& path) {
    gzFile f = gzopen(path.c_str(), "rb");
    if (!f) throw std::runtime_error("cannot open " + path);
    std::vector<uint8_t> out;
    uint8_t buf[65536];
    for (int n; (n = gzread(f, buf, sizeof buf)) != 0;) {
        if (n < 0) {
            gzclose(f);
            throw std::runtime_error("cannot read " + path);
        }
        out.insert(out.end(), buf, buf + n);
    }
    gzclose(f);
    return out;
}
