#include "engine/engine_run.h"

#include "engine/command_line.h"
#include "engine/output_line.h"

#include <QSocketNotifier>
#include <vector>

RunEnd RunEnd::StartFailure(const QString& error) {
    RunEnd end;
    end.exit.exitStatus = 127; // as a shell tells a program it cannot run
    end.lastText = error;
    end.lastTextIsError = true;
    return end;
}

QString RunEnd::FailureReason(const QString& program) const {
    if (lastTextIsError || Succeeded())
        return lastText;
    if (exit.signal != 0)
        return QStringLiteral("%1 was killed by signal %2").arg(program).arg(exit.signal);
    return QStringLiteral("exit status %1").arg(exit.exitStatus);
}

std::unique_ptr<EngineRun> EngineRun::Start(const CommandLine& command, const QString& workingDir,
                                            unsigned durationSeconds, int priorityClass,
                                            QString* error) {
    std::unique_ptr<platform::ChildProcess> process =
        platform::ChildProcess::Start(command.arguments(), workingDir, priorityClass, error);
    if (!process)
        return nullptr;
    return std::unique_ptr<EngineRun>(new EngineRun(std::move(process), durationSeconds));
}

EngineRun::EngineRun(std::unique_ptr<platform::ChildProcess> process, unsigned durationSeconds)
    : process_(std::move(process)), outputNotifier_(std::make_unique<QSocketNotifier>(
                                        process_->outputDescriptor(), QSocketNotifier::Read)),
      endNotifier_(
          std::make_unique<QSocketNotifier>(process_->endDescriptor(), QSocketNotifier::Read)),
      duration_(durationSeconds) {
    connect(outputNotifier_.get(), &QSocketNotifier::activated, this, [this] {
        // The output can close before the child ends; the end is the child's end.
        if (!ReadAvailable())
            outputNotifier_->setEnabled(false);
    });
    connect(endNotifier_.get(), &QSocketNotifier::activated, this, &EngineRun::OnChildEnded);
}

EngineRun::~EngineRun() {
    // The notifiers go before the child that owns their descriptors.
    outputNotifier_.reset();
    endNotifier_.reset();
}

void EngineRun::Terminate() {
    if (process_)
        process_->Terminate();
}

void EngineRun::SetPriorityClass(int priorityClass) {
    if (process_)
        process_->SetPriorityClass(priorityClass);
}

bool EngineRun::ReadAvailable() {
    std::vector<char> buffer(LineSplitter::kReadSize);
    for (;;) {
        const qint64 count = process_->ReadAvailableOutput(buffer.data(), qint64(buffer.size()));
        if (count < 0)
            return true;
        if (count == 0)
            return false;
        splitter_.Feed(QByteArrayView(buffer.data(), count),
                       [this](QByteArrayView line) { HandleLine(line); });
    }
}

void EngineRun::HandleLine(QByteArrayView line) {
    qint64 position = 0;
    switch (ReadOutputLine(line, &position)) {
    case OutputLineKind::Ignored:
        return;
    case OutputLineKind::Progress:
        emit Progress(ProgressPercent(position, duration_), position);
        return;
    case OutputLineKind::Text:
        end_.lastText = QString::fromLocal8Bit(line);
        end_.lastTextIsError = IsErrorLine(end_.lastText);
        return;
    }
}

void EngineRun::OnChildEnded() {
    // What the child wrote is in the pipe already. A program it left running may
    // hold the pipe open, so only what is there now is taken.
    outputNotifier_->setEnabled(false);
    endNotifier_->setEnabled(false);
    ReadAvailable();
    if (const std::optional<platform::ChildExit> exit = process_->Exit())
        end_.exit = *exit;
    process_.reset(); // ended: released without waiting
    emit Finished(end_);
}
