// Whole-process comparison of quillmore-cli convert against the engine work it
// cannot avoid, done by hand: the bare probe "mervane -i FILE" followed by the
// command the companion would start (taken from its dry run).
//   1. one 10-second 720p clip to the JPG picture sequence (target: ratio at
//      most 1.03);
//   2. eight such clips with two runs at a time, against the same eight probes
//      and commands one after another (reported).
// Prints the median and the best wall time of both sides and their ratios; exits
// with 1 when the first ratio of the best times is above its target. Other work
// on the machine only ever adds time, so the least disturbed rounds show the
// companion's own cost, while medians of a few rounds follow the machine's load.
//
// Usage: convert_bench [rounds]   (3 when not given)
#include "engine/tool_paths.h"
#include "platform/child_process.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr double kTargetRatio = 1.03;
constexpr int kBatchClips = 8;

// Runs a program to its end, reading its console as any run must; its output
// when asked for. False when it cannot start.
bool RunProgram(const QStringList& arguments, const QString& workingDir,
                QByteArray* output = nullptr) {
    QString error;
    const auto child =
        platform::ChildProcess::Start(arguments, workingDir, platform::kInheritedPriority, &error);
    if (!child) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    char buffer[65536];
    for (qint64 read; (read = child->ReadOutput(buffer, sizeof buffer)) > 0;) {
        if (output)
            output->append(buffer, read);
    }
    return child->WaitForExit(-1);
}

double Best(const std::vector<double>& values) {
    return *std::min_element(values.begin(), values.end());
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The argument vector of a dry run's command line. The bench's paths hold no
// blank and no quote, so splitting the text form is exact here.
QStringList Arguments(const QByteArray& commandText) {
    QStringList arguments = QString::fromUtf8(commandText.trimmed()).split(u' ');
    for (QString& argument : arguments)
        argument.remove(u'"');
    return arguments;
}

struct Bench {
    ToolPaths tools = ToolPaths::Locate();
    QTemporaryDir dir;
    QString cli;
    QString out;

    QStringList CliArguments(const QStringList& sources, bool dryRun) const {
        QStringList arguments = {cli,        "convert",
                                 "--format", "710",
                                 "--set",    "DestOutputFolderOpt=399",
                                 "--set",    "DestSpecifiedFolder=" + out,
                                 "--set",    "ConversionThreads=2"};
        if (dryRun)
            arguments.append("--dry-run");
        return arguments + sources;
    }

    void ClearOutput() const {
        QDir(out).removeRecursively();
        QDir().mkpath(out);
    }

    // Wall time of the companion converting the sources, in milliseconds.
    double TimeCli(const QStringList& sources) const {
        ClearOutput();
        QElapsedTimer timer;
        timer.start();
        RunProgram(CliArguments(sources, false), tools.programDir);
        return timer.nsecsElapsed() / 1e6;
    }

    // Wall time of the same work by hand: each probe and its command in turn.
    double TimeByHand(const QStringList& sources, const std::vector<QStringList>& commands) const {
        ClearOutput();
        QElapsedTimer timer;
        timer.start();
        for (size_t i = 0; i < commands.size(); ++i) {
            RunProgram({tools.enginePath, "-i", sources[int(i)]}, tools.programDir);
            RunProgram(commands[i], tools.programDir);
        }
        return timer.nsecsElapsed() / 1e6;
    }
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 3;
    Bench bench;
    bench.cli = bench.tools.programDir + "quillmore-cli";
    bench.out = bench.dir.path() + "/out";
    // The companion reads the settings of a home of its own: the defaults.
    qputenv("HOME", bench.dir.path().toLocal8Bit());

    const QString clip = bench.dir.path() + "/clip0.mp4";
    if (!RunProgram({bench.tools.enginePath, "-nostdin", "-v", "error", "-y", "-f", "lavfi", "-i",
                     "testsrc=size=1280x720:rate=25", "-t", "10", "-c:v", "mpeg4", clip},
                    bench.tools.programDir) ||
        !QFile::exists(clip)) {
        std::fprintf(stderr, "the engine made no clip\n");
        return 2;
    }
    QStringList batch{clip};
    for (int i = 1; i < kBatchClips; ++i) {
        batch.append(bench.dir.path() + QStringLiteral("/clip%1.mp4").arg(i));
        QFile::copy(clip, batch.last());
    }
    QByteArray printed;
    RunProgram(bench.CliArguments(batch, true), bench.tools.programDir, &printed);
    std::vector<QStringList> commands;
    for (const QByteArray& line : printed.split('\n')) {
        if (!line.trimmed().isEmpty())
            commands.push_back(Arguments(line));
    }
    if (commands.size() != size_t(kBatchClips)) {
        std::fprintf(stderr, "the dry run printed %zu commands\n", commands.size());
        return 2;
    }

    std::vector<double> single[2], many[2];
    for (int round = 0; round <= rounds; ++round) {
        const bool measured = round > 0; // the first round fills the caches
        // Alternating order, so that whatever else the machine does weighs on both.
        const bool cliFirst = round % 2 == 0;
        for (const bool cliTurn : {cliFirst, !cliFirst}) {
            const double one =
                cliTurn ? bench.TimeCli({clip}) : bench.TimeByHand({clip}, {commands.front()});
            const double eight = cliTurn ? bench.TimeCli(batch) : bench.TimeByHand(batch, commands);
            if (measured) {
                single[cliTurn].push_back(one);
                many[cliTurn].push_back(eight);
            }
        }
    }
    const double ratio = Best(single[1]) / Best(single[0]);
    std::printf("one clip:     quillmore-cli %8.1f ms   by hand %8.1f ms   ratio %.3f (median)\n",
                Median(single[1]), Median(single[0]), Median(single[1]) / Median(single[0]));
    std::printf(
        "              quillmore-cli %8.1f ms   by hand %8.1f ms   ratio %.3f (best; target "
        "%.2f)\n",
        Best(single[1]), Best(single[0]), ratio, kTargetRatio);
    std::printf("eight clips:  quillmore-cli %8.1f ms   by hand %8.1f ms   ratio %.3f (median; two "
                "runs at a time against one after another)\n",
                Median(many[1]), Median(many[0]), Median(many[1]) / Median(many[0]));
    return ratio <= kTargetRatio ? 0 : 1;
}
