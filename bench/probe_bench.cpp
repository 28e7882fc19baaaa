// The probe of a source (AddSourceFile: the engine's run, reading its report,
// the new row) against the bare engine run "mervane -i FILE" on the same 200
// files. Prints the median time per file of both and their ratio; exits with 1
// when the ratio is above the target.
//
// Usage: probe_bench [rounds]   (3 when not given)
#include "engine/tool_paths.h"
#include "media/add_source_file.h"
#include "media/source_list_model.h"
#include "platform/child_process.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr double kTargetRatio = 1.05;
constexpr int kFilesPerKind = 50;

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

double MillisecondsSince(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e6;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 3;
    const ToolPaths tools = ToolPaths::Locate();
    QTemporaryDir dir;
    QStringList files;
    if (!dir.isValid() || !MakeFiles(tools, dir.path(), &files))
        return 2;

    // The two runs of a file follow each other, in alternating order, so that
    // whatever else the machine does weighs on both alike.
    std::vector<double> bare, probe;
    for (int round = 0; round <= rounds; ++round) {
        const bool measured = round > 0; // the first round fills the caches
        SourceListModel list;
        for (int i = 0; i < files.size(); ++i) {
            for (const bool probeTurn : {i % 2 == 0, i % 2 != 0}) {
                QElapsedTimer timer;
                timer.start();
                if (probeTurn) {
                    if (AddSourceFile(list, files[i], tools, 1) < 0) {
                        std::fprintf(stderr, "failed to load %s\n", qPrintable(files[i]));
                        return 2;
                    }
                } else if (!RunEngine(tools, {"-i", files[i]})) {
                    return 2;
                }
                if (measured)
                    (probeTurn ? probe : bare).push_back(MillisecondsSince(timer));
            }
        }
    }
    const double ratio = Median(probe) / Median(bare);
    std::printf("%lld files, %d rounds; median per file: bare engine %.2f ms, probe %.2f ms; "
                "ratio %.3f (target <= %.2f)\n",
                static_cast<long long>(files.size()), rounds, Median(bare), Median(probe), ratio,
                kTargetRatio);
    return ratio <= kTargetRatio ? 0 : 1;
}
