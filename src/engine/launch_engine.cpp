#include "engine/launch_engine.h"

#include "engine/command_line.h"
#include "engine/line_splitter.h"
#include "platform/child_process.h"

#include <vector>

namespace {

constexpr int kExitGraceMilliseconds = 5000;

} // namespace

bool LaunchEngine(const CommandLine& command, const QString& workingDir,
                  const std::function<void(const QByteArray& line)>& onLine, QString* error) {
    QString startError;
    const std::unique_ptr<platform::ChildProcess> process = platform::ChildProcess::Start(
        command.arguments(), workingDir, platform::kInheritedPriority, &startError);
    if (!process) {
        if (error)
            *error = startError;
        return false;
    }
    LineSplitter splitter;
    std::vector<char> buffer(LineSplitter::kReadSize);
    qint64 count = 0;
    while ((count = process->ReadOutput(buffer.data(), qint64(buffer.size()))) > 0) {
        splitter.Feed(QByteArrayView(buffer.data(), count), [&onLine](QByteArrayView line) {
            if (!line.isEmpty())
                onLine(line.toByteArray());
        });
    }
    // The output closes as the engine ends; one that lingers after that (a child
    // that closed its console and hangs) is ended rather than waited for.
    if (!process->WaitForExit(kExitGraceMilliseconds)) {
        process->Terminate();
        process->WaitForExit(kExitGraceMilliseconds);
    }
    return true;
}
