// The probe of a source, measured on generated files of four kinds:
//   1. per file, the probe inside the program (open, report, parse) against the
//      bare engine run "mervane -i FILE" (target: ratio of medians at most 0.10);
//   2. a batch of 1,000 files added with the thread pool against the same batch
//      on one thread (target: ratio of wall times at most 0.70);
//   3. the peak memory of a list of 10,000 rows added by one batch (target:
//      under 200 MB).
// Prints the figures; exits with 1 when one is off its target.
//
// Usage: probe_bench [rounds]   (rounds of the per-file comparison, 2 when not given)
#include "engine/tool_paths.h"
#include "media/add_source_batch.h"
#include "media/add_source_file.h"
#include "media/source_list_model.h"
#include "platform/child_process.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr double kTargetFileRatio = 0.10;
constexpr double kTargetPoolRatio = 0.70;
constexpr double kTargetPeakMegabytes = 200;
constexpr int kFilesPerKind = 50;
constexpr int kBatchFiles = 1000;
constexpr int kListRows = 10000;

// Runs the engine with the arguments and reads its console to the end, as any
// run must; false when it cannot be started.
bool RunEngine(const ToolPaths& tools, const QStringList& arguments) {
    QString error;
    const auto engine =
        platform::ChildProcess::Start(QStringList{tools.enginePath} + arguments, tools.programDir,
                                      platform::kInheritedPriority, &error);
    if (!engine) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    char buffer[65536];
    while (engine->ReadOutput(buffer, sizeof buffer) > 0) {
    }
    return engine->WaitForExit(-1);
}

// Four kinds of tiny sources, each copied to kFilesPerKind names.
bool MakeFiles(const ToolPaths& tools, const QString& dir, QStringList* files) {
    const QStringList video = {"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25"};
    const QStringList tone = {"-f", "lavfi", "-i", "sine=sample_rate=44100"};
    const struct {
        const char* name;
        QStringList arguments;
    } kinds[] = {
        {"clip.mp4", video + tone + QStringList{"-t", "1", "-c:v", "mpeg4", "-c:a", "aac"}},
        {"clip.mkv", video + tone + tone +
                         QStringList{"-t", "1", "-map", "0", "-map", "1", "-map", "2", "-c:v",
                                     "mpeg4", "-aspect", "16:9", "-c:a", "aac"}},
        {"clip.wav", tone + QStringList{"-t", "1"}},
        {"clip.264", video + QStringList{"-t", "1", "-c:v", "libx264", "-f", "h264"}},
    };
    for (const auto& kind : kinds) {
        const QString made = dir + '/' + kind.name;
        if (!RunEngine(tools, QStringList{"-nostdin", "-v", "error", "-y"} + kind.arguments +
                                  QStringList{made}) ||
            !QFile::exists(made)) {
            std::fprintf(stderr, "the engine made no %s\n", kind.name);
            return false;
        }
        for (int copy = 0; copy < kFilesPerKind; ++copy) {
            const QString file =
                dir + QStringLiteral("/%1-").arg(copy, 3, 10, QChar('0')) + kind.name;
            if (!QFile::copy(made, file))
                return false;
            files->append(file);
        }
    }
    return true;
}

// count names for the files, each a link to one of them in turn: a batch of any
// size without its disk space.
QStringList Links(const QStringList& files, const QString& dir, int count) {
    QStringList links;
    for (int i = 0; i < count; ++i) {
        const QString& file = files[i % files.size()];
        const QString link = dir + QStringLiteral("/%1-").arg(i) + QFileInfo(file).fileName();
        if (QFile::exists(link) || QFile::link(file, link))
            links.append(link);
    }
    return links;
}

double MillisecondsSince(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e6;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Adds the paths to the list with one batch; its wall time in ms, or -1 when a
// file failed. *cpuMs, when given, gets the processor time all threads spent:
// on a busy machine a pool cannot take more than the cores other work leaves
// free, and the two figures together tell that apart.
double AddBatch(SourceListModel& list, const MediaProbe& probe, const QStringList& paths,
                int threads, double* cpuMs = nullptr) {
    AddSourceBatch batch(list, probe, 1);
    if (threads > 0)
        batch.SetThreadCount(threads);
    QEventLoop loop;
    QObject::connect(&batch, &AddSourceBatch::Finished, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpuStart = std::clock();
    batch.Start(paths);
    loop.exec();
    const double elapsed = MillisecondsSince(timer);
    if (cpuMs)
        *cpuMs = double(std::clock() - cpuStart) * 1000 / CLOCKS_PER_SEC;
    if (batch.FailedCount() > 0) {
        std::fprintf(stderr, "%s", qPrintable(batch.FailureMessage()));
        return -1;
    }
    return elapsed;
}

// A figure of /proc/self/status in MB ("VmHWM", the peak, or "VmRSS", the current).
double StatusMegabytes(const char* field) {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field) + 1).trimmed().split(' ').first().toDouble() / 1024;
    }
    return -1;
}

bool CompareFiles(const ToolPaths& tools, const QStringList& files, int rounds) {
    // The two probes of a file follow each other, in alternating order, so that
    // whatever else the machine does weighs on both alike.
    const MediaProbe probe(tools, MediaProbe::Method::InProcess);
    std::vector<double> bare, inside;
    for (int round = 0; round <= rounds; ++round) {
        const bool measured = round > 0; // the first round fills the caches
        for (int i = 0; i < files.size(); ++i) {
            for (const bool insideTurn : {i % 2 == 0, i % 2 != 0}) {
                QElapsedTimer timer;
                timer.start();
                if (insideTurn) {
                    std::unique_ptr<SourceItem> item = NewSourceItem(files[i]);
                    if (probe.Probe(*item) != MediaProbe::Outcome::Loaded) {
                        std::fprintf(stderr, "failed to load %s\n", qPrintable(files[i]));
                        return false;
                    }
                } else if (!RunEngine(tools, {"-i", files[i]})) {
                    return false;
                }
                if (measured)
                    (insideTurn ? inside : bare).push_back(MillisecondsSince(timer));
            }
        }
    }
    const double ratio = Median(inside) / Median(bare);
    std::printf("1. %lld files, %d rounds; median per file: bare engine %.2f ms, probe inside "
                "%.3f ms; ratio %.3f (target <= %.2f)\n",
                static_cast<long long>(files.size()), rounds, Median(bare), Median(inside), ratio,
                kTargetFileRatio);
    return ratio <= kTargetFileRatio;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 2;
    const ToolPaths tools = ToolPaths::Locate();
    const MediaProbe probe = MediaProbe::Choose(tools);
    if (probe.method() != MediaProbe::Method::InProcess) {
        std::fprintf(stderr, "the probe inside the program is not available here\n");
        return 2;
    }
    QTemporaryDir dir;
    QStringList files;
    if (!dir.isValid() || !MakeFiles(tools, dir.path(), &files))
        return 2;
    bool onTarget = CompareFiles(tools, files, rounds);

    const QStringList batch = Links(files, dir.path(), kBatchFiles);
    SourceListModel warm, pooled, single;
    if (AddBatch(warm, probe, batch, 0) < 0)
        return 2;
    double pooledCpuMs = 0, singleCpuMs = 0;
    const double pooledMs = AddBatch(pooled, probe, batch, 0, &pooledCpuMs);
    const double singleMs = AddBatch(single, probe, batch, 1, &singleCpuMs);
    if (pooledMs < 0 || singleMs < 0)
        return 2;
    const double poolRatio = pooledMs / singleMs;
    std::printf("2. %d files in one batch: %d threads %.0f ms (processor %.0f ms), one thread "
                "%.0f ms (processor %.0f ms); ratio %.3f (target <= %.2f)\n",
                kBatchFiles, std::min(QThread::idealThreadCount(), 8), pooledMs, pooledCpuMs,
                singleMs, singleCpuMs, poolRatio, kTargetPoolRatio);
    onTarget = onTarget && poolRatio <= kTargetPoolRatio;

    warm.RemoveAllRows();
    pooled.RemoveAllRows();
    single.RemoveAllRows();
    const QStringList many = Links(files, dir.path(), kListRows);
    // Starts the peak afresh from what the process holds now.
    QFile clearRefs("/proc/self/clear_refs");
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
    clearRefs.close();
    const double before = StatusMegabytes("VmRSS:");
    SourceListModel list;
    const double manyMs = AddBatch(list, probe, many, 0);
    if (manyMs < 0)
        return 2;
    const double peak = StatusMegabytes("VmHWM:");
    std::printf("3. %d rows in %.1f s: peak memory %.1f MB (%.1f MB before the batch; target < "
                "%.0f MB)\n",
                list.rowCount(), manyMs / 1000, peak, before, kTargetPeakMegabytes);
    onTarget = onTarget && peak < kTargetPeakMegabytes;
    return onTarget ? 0 : 1;
}
