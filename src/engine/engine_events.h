#pragma once

#include <QEvent>
#include <QString>

struct SourceMedia;

// The two messages a running conversion sends to its receiver. Each event owns
// its payload, so it is released whether the receiver handles the event or not.
constexpr QEvent::Type WM_ENGINE_PROGRESS = static_cast<QEvent::Type>(1090);
constexpr QEvent::Type WM_ENGINE_FINISHED = static_cast<QEvent::Type>(1092);

struct ProgressReport {
    SourceMedia* item = nullptr; // the run's item, passed on, never followed by the reader
    int percent = 0;             // 0 to 100, or -1 when the duration is unknown
    qint64 position = 0;         // milliseconds of output done
};

class EngineProgressEvent : public QEvent {
public:
    explicit EngineProgressEvent(const ProgressReport& report)
        : QEvent(WM_ENGINE_PROGRESS), report_(report) {}
    const ProgressReport& report() const { return report_; }

private:
    ProgressReport report_;
};

// The run has ended: its child is gone and the reader holds nothing of it any more.
class EngineFinishedEvent : public QEvent {
public:
    EngineFinishedEvent(SourceMedia* item, QString endText)
        : QEvent(WM_ENGINE_FINISHED), item_(item), endText_(std::move(endText)) {}
    SourceMedia* item() const { return item_; }
    // The last line the child printed that was no progress line; "" when none.
    const QString& endText() const { return endText_; }

private:
    SourceMedia* item_;
    QString endText_;
};
