// The command lines that cannot run (what the options do is run in the
// tool's own tests).
#include "options.h"

#include <gtest/gtest.h>

namespace {

TEST(BatchOptions, RefuseWhatCannotRun) {
    const std::vector<std::vector<std::string>> bad = {
        {"pics"},                                            // no -o
        {"-o", "out"},                                       // no pictures
        {"pics", "-o"},                                      // -o without its folder
        {"pics", "-o", "out", "--threshold", "256"},         // beyond 255
        {"pics", "-o", "out", "--threshold", "12x"},         // not a number
        {"pics", "-o", "out", "--threshold", "5", "--scan"}, // both choose the threshold
        {"pics", "-o", "out", "--plane", "20"},
        {"pics", "-o", "out", "--plane", "av"}, // names are exact
        {"pics", "-o", "out", "-j", "0"},
        {"pics", "-o", "out", "--shard", "0/3"},
        {"pics", "-o", "out", "--shard", "4/3"},
        {"pics", "-o", "out", "--shard", "3"},
        {"pics", "-o", "out", "--colour"},
        {"--merge"},                                 // nothing to join
        {"--merge", "a", "--scan"},                  // nothing to analyse
        {"--merge", "a", "--shard", "1/2"},          // nor to share
        {"pics", "-o", "out", "--part", "10"},       // no Y
        {"pics", "-o", "out", "--part", "10,-1"},    // Y below 0
        {"pics", "-o", "out", "--part", "10,20,30"}, // more than X,Y
        {"pics", "-o", "out", "--part", "1,2", "--fit"},
        {"--merge", "a", "--fit"},
    };
    for (const auto& args : bad) {
        std::string line;
        for (const std::string& a : args) line += a + " ";
        EXPECT_THROW(ParseBatchArguments(args), TUsageError) << line;
    }
}

TEST(BatchOptions, PlacementsAreTakenAndSetTheResumeLine) {
    const TBatchOptions part = ParseBatchArguments({"pics", "-o", "out", "--part", "1200,800"});
    EXPECT_EQ(part.Choice.Placement, (TPlacement{TPlacement::Part, 1200, 800}));
    const TBatchOptions fit = ParseBatchArguments({"pics", "-o", "out", "--fit"});
    EXPECT_EQ(fit.Choice.Placement.Kind, TPlacement::Fit);
    const TBatchOptions plain = ParseBatchArguments({"pics", "-o", "out"});
    // A resumed run must not mix placements.
    EXPECT_NE(ChoiceLine(part.Choice), ChoiceLine(fit.Choice));
    EXPECT_NE(ChoiceLine(part.Choice), ChoiceLine(plain.Choice));
    EXPECT_NE(ChoiceLine(fit.Choice), ChoiceLine(plain.Choice));
}

} // namespace
