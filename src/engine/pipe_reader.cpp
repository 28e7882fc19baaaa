#include "engine/pipe_reader.h"

#include "engine/engine_events.h"
#include "engine/line_splitter.h"
#include "engine/output_line.h"
#include "platform/child_process.h"

#include <QCoreApplication>
#include <system_error>
#include <thread>
#include <vector>

void ReadConsoleLines(platform::ChildProcess& process,
                      const std::function<void(QByteArrayView line)>& onLine) {
    LineSplitter splitter;
    std::vector<char> buffer(LineSplitter::kReadSize);
    qint64 count = 0;
    while ((count = process.ReadOutput(buffer.data(), qint64(buffer.size()))) > 0)
        splitter.Feed(QByteArrayView(buffer.data(), count), onLine);
    // The output can close before the child ends; the end is the child's end.
    process.WaitForExit(-1);
}

bool PipeReader::StartThread(EngineRun run) {
    try {
        std::thread([run = std::move(run)]() mutable {
            PipeReader(std::move(run)).Run();
        }).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

void PipeReader::Run() {
    ReadConsoleLines(*run_.process, [this](QByteArrayView line) { HandleLine(line); });
    // Let go of the child first: whoever else holds it may close it as soon as the
    // end arrives.
    run_.process.reset();
    QCoreApplication::postEvent(run_.receiver,
                                new EngineFinishedEvent(run_.item, std::move(lastText_)));
}

void PipeReader::HandleLine(QByteArrayView line) {
    qint64 position = 0;
    switch (ReadOutputLine(line, &position)) {
    case OutputLineKind::Ignored:
        return;
    case OutputLineKind::Progress:
        QCoreApplication::postEvent(
            run_.receiver, new EngineProgressEvent(ProgressReport{
                               run_.item, ProgressPercent(position, run_.duration), position}));
        return;
    case OutputLineKind::Text:
        lastText_ = QString::fromLocal8Bit(line);
        return;
    }
}
