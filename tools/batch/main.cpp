// tessavorin-batch: analyses many pictures without a window. See --help.
#include "batch.h"
#include "sweep_output.h"

#include <QCoreApplication>

#include <cstdio>
#include <memory>
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
        // Qt's image readers and writers load their plugins from the workers;
        // an application object owns them and takes them down in order at the
        // end (without one their teardown at exit could corrupt the heap).
        const auto core = fonts ? nullptr : std::make_unique<QCoreApplication>(argc, argv);
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
