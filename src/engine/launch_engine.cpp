#include "engine/launch_engine.h"

#include "engine/command_line.h"
#include "engine/line_splitter.h"
#include "platform/child_process.h"

#include <vector>

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
    // The output can close before the child ends; the end is the child's end.
    process->WaitForExit(-1);
    return true;
}
