#include "engine/launch_engine.h"

#include "engine/command_line.h"
#include "engine/pipe_reader.h"
#include "engine/source_media.h"
#include "platform/child_process.h"

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
    ReadConsoleLines(*process, [&onLine](QByteArrayView line) {
        if (!line.isEmpty())
            onLine(line.toByteArray());
    });
    return true;
}

bool LaunchEngine(const CommandLine& command, const QString& workingDir, SourceMedia& item,
                  int priorityClass, QObject* receiver, QString* error) {
    item.process =
        platform::ChildProcess::Start(command.arguments(), workingDir, priorityClass, error);
    if (!item.process)
        return false;
    if (PipeReader::StartThread(EngineRun{receiver, item.process, &item, item.duration}))
        return true;
    // Nobody would read it: a run without a reader must not go on.
    item.process.reset(); // ends the child
    *error =
        QStringLiteral("Cannot start a thread to read \"%1\"").arg(command.arguments().first());
    return false;
}
