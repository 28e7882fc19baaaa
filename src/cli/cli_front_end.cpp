#include "cli/cli_front_end.h"

#include "convert/conversion_controller.h"
#include "media/source_list_model.h"

#include <QFileInfo>
#include <algorithm>
#include <cstdio>

// Paths and names as a terminal may show them: a control character (an escape
// sequence, a tab or line feed that would break the columns) is written as an
// escape instead.
QString Printable(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code >= 0x20 && code != 0x7f && (code < 0x80 || code > 0x9f)) {
            shown += c;
            continue;
        }
        switch (code) {
        case u'\t':
            shown += QStringLiteral("\\t");
            break;
        case u'\n':
            shown += QStringLiteral("\\n");
            break;
        case u'\r':
            shown += QStringLiteral("\\r");
            break;
        default:
            shown += QStringLiteral("\\x%1").arg(int(code), 2, 16, QLatin1Char('0'));
        }
    }
    return shown;
}

CliFrontEnd::CliFrontEnd(SourceListModel& model, Display display, QObject* parent)
    : QObject(parent), model_(model), display_(display), out_(stdout), err_(stderr) {}

void CliFrontEnd::Follow(const ConversionController& controller) {
    connect(&controller, &ConversionController::JobChanged, this, &CliFrontEnd::OnJobChanged);
    connect(&controller, &ConversionController::OverallProgressChanged, this,
            &CliFrontEnd::OnOverallProgress);
    if (display_ == Display::LiveLine) {
        connect(&controller, &ConversionController::BatchStarted, this,
                [this](const BatchStart& start) { ShowLine(start.statusText); });
        connect(&controller, &ConversionController::PhaseStarted, this,
                [this](const QString& text) {
                    percent_.clear();
                    ShowLine(text);
                });
        connect(&controller, &ConversionController::ProgressStatusChanged, this,
                &CliFrontEnd::ShowLine);
    }
    connect(&controller, &ConversionController::BatchEnded, this, &CliFrontEnd::EndLine);
}

void CliFrontEnd::ShowMessage(const QString& text, Icon) {
    messageShown_ = true;
    EndLine();
    err_ << "Quillmore: " << text.trimmed() << '\n';
    err_.flush();
}

bool CliFrontEnd::ChooseJoinedTarget(const QString&, QString* path) {
    if (joinedTarget_.isEmpty())
        return false;
    *path = QFileInfo(joinedTarget_).absoluteFilePath();
    return true;
}

void CliFrontEnd::OnOverallProgress(qint64 done, qint64 total) {
    const QString text = QStringLiteral("%1%").arg(std::min<qint64>(100, done * 100 / total));
    const bool changed = text != percent_;
    percent_ = text;
    // The live line follows at once; plain lines show it with the next change.
    if (changed && display_ == Display::LiveLine && !lastText_.isEmpty())
        ShowLine(lastText_);
}

void CliFrontEnd::OnJobChanged(const ConversionJob& job) {
    // Progress changes many times a second; plain output keeps the other changes.
    const bool progress = job.state == JobState::Running && job.position >= 0;
    if (job.status.isEmpty() || !job.row.isValid() || (display_ == Display::PlainLines && progress))
        return;
    const SourceItem* item = model_.Item(job.row.row());
    const QString name = item ? QFileInfo(item->path).fileName() : QString();
    ShowLine(Printable(name) + QStringLiteral(": ") + Printable(job.status));
}

void CliFrontEnd::ShowLine(const QString& text) {
    if (display_ == Display::CommandsOnly)
        return;
    lastText_ = text;
    const QString line =
        QStringLiteral("[%1] %2").arg(percent_.isEmpty() ? "0%" : percent_, 4).arg(text);
    if (display_ == Display::LiveLine) {
        // Carriage return and erase: the line is rewritten in place.
        out_ << "\r\x1b[K" << line;
        lineOpen_ = true;
    } else {
        out_ << line << '\n';
    }
    out_.flush();
}

void CliFrontEnd::EndLine() {
    if (lineOpen_) {
        out_ << '\n';
        out_.flush();
        lineOpen_ = false;
    }
}

void CliFrontEnd::CommandPlanned(const QString& commandText) {
    out_ << commandText << '\n';
    out_.flush();
}
