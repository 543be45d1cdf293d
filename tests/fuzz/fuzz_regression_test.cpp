// Every input a fuzz harness once failed on, kept under inputs/HARNESS/, run
// again through the harness's own checks (fuzz/fuzz_targets.h). The inputs
// are small files named after what they hold.
#include "fuzz_targets.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

namespace {

using TTarget = std::string (*)(const uint8_t*, size_t);

const std::map<std::string, TTarget> Targets = {
    {"fuzz_jpeg", fuzz::FuzzJpeg},
    {"fuzz_bmp", fuzz::FuzzBmp},
    {"fuzz_png", fuzz::FuzzPng},
    {"fuzz_tiff", fuzz::FuzzTiff},
    {"fuzz_intake_pass", fuzz::FuzzIntakePass},
    {"fuzz_plane_pass", fuzz::FuzzPlanePass},
    {"fuzz_scenario", fuzz::FuzzScenario},
};

TEST(FuzzRegressions, EveryKeptInputPassesItsHarnessChecks) {
    namespace fs = std::filesystem;
    const fs::path root = fs::path(TESSA_SOURCE_DIR) / "tests/fuzz/inputs";
    int inputs = 0;
    for (const fs::directory_entry& folder : fs::directory_iterator(root)) {
        const auto target = Targets.find(folder.path().filename().string());
        ASSERT_NE(target, Targets.end()) << "no harness named " << folder.path();
        for (const fs::directory_entry& file : fs::directory_iterator(folder.path())) {
            SCOPED_TRACE(file.path().string());
            std::ifstream in(file.path(), std::ios::binary);
            const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
            EXPECT_EQ(target->second(bytes.data(), bytes.size()), "");
            ++inputs;
        }
    }
    EXPECT_GT(inputs, 0);
}

} // namespace
