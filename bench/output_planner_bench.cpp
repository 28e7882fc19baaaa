// Planning many outputs of one name, as a custom group holding one format many
// times does: each plan looks at the disk and at the names handed out before.
// The time per batch should grow in step with the number of copies.
//
// Usage: output_planner_bench [Google Benchmark options]
#include "convert/output_planner.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void PlanCopiesOfOneName(benchmark::State& state) {
    QTemporaryDir dir;
    ConvertSettings settings;
    settings.DestOutputFolderOpt = kOutputToSpecifiedFolder;
    settings.DestSpecifiedFolder = dir.path();
    settings.TargetExistsOpt = kTargetExistsRename;
    OutputPlanner planner(settings);
    const QString source = dir.filePath("clip.avi");
    for (auto _ : state) {
        planner.Clear();
        for (int64_t i = 0; i < state.range(0); ++i) {
            QString output, message;
            if (!planner.Plan(source, QStringLiteral("mp4"), false, &output, &message)) {
                state.SkipWithError(qPrintable(message));
                return;
            }
        }
    }
    state.SetComplexityN(state.range(0));
}

BENCHMARK(PlanCopiesOfOneName)
    ->Arg(2000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

} // namespace

BENCHMARK_MAIN();
