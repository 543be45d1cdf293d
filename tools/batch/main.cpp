// tessavorin-batch: analyses many pictures without a window. See --help.
#include "batch.h"
#include "sweep_output.h"

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv) {
    try {
        const TBatchOptions o = ParseBatchArguments({argv + 1, argv + argc});
        if (o.Help) {
            std::fputs(BatchUsage().c_str(), stdout);
            return 0;
        }
        if (o.Merge) return RunMerge(o, stdout);
        const auto fonts = FontsForSweeps(o, argc, argv);
        const TProgressStyle style = o.Quiet                 ? TProgressStyle::Quiet
                                     : isatty(STDOUT_FILENO) ? TProgressStyle::Terminal
                                                             : TProgressStyle::Lines;
        return RunBatch(o, style);
    } catch (const TUsageError& e) {
        std::fprintf(stderr, "tessavorin-batch: %s\nSee tessavorin-batch --help.\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tessavorin-batch: %s\n", e.what());
        return 1;
    }
}
