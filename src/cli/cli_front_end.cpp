#include "cli/cli_front_end.h"

#include "media/source_list_model.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>

namespace {

// Progress texts change many times a second; plain output keeps the others.
bool IsProgressText(const QString& status) {
    static const QRegularExpression progress(QStringLiteral("^(\\d+% )?\\[[\\d:.]+\\]$"));
    return progress.match(status).hasMatch();
}

} // namespace

CliFrontEnd::CliFrontEnd(SourceListModel& model, Display display, QObject* parent)
    : QObject(parent), model_(model), display_(display), out_(stdout), err_(stderr) {
    connect(&model_, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                if (topLeft.column() > SourceListModel::ColumnStatus ||
                    bottomRight.column() < SourceListModel::ColumnStatus)
                    return;
                for (int row = topLeft.row(); row <= bottomRight.row(); ++row)
                    OnStatusChanged(row);
            });
}

void CliFrontEnd::ShowMessage(const QString& text, Icon) {
    messageShown_ = true;
    if (lineOpen_) {
        out_ << '\n';
        out_.flush();
        lineOpen_ = false;
    }
    err_ << "Quillmore: " << text.trimmed() << '\n';
    err_.flush();
}

bool CliFrontEnd::ChooseJoinedTarget(const QString&, QString* path) {
    if (joinedTarget_.isEmpty())
        return false;
    *path = QFileInfo(joinedTarget_).absoluteFilePath();
    return true;
}

void CliFrontEnd::SetProgressStatus(const QString& text) {
    if (display_ == Display::LiveLine)
        ShowLine(text);
}

void CliFrontEnd::SetProgressPercent(const QString& text) {
    const bool changed = text != percent_;
    percent_ = text;
    // The live line follows at once; plain lines show it with the next change.
    if (changed && display_ == Display::LiveLine && !lastText_.isEmpty())
        ShowLine(lastText_);
}

void CliFrontEnd::OnStatusChanged(int row) {
    const QString status = model_.CellText(row, SourceListModel::ColumnStatus);
    if (status.isEmpty() || (display_ == Display::PlainLines && IsProgressText(status)))
        return;
    const SourceItem* item = model_.Item(row);
    const QString name = item ? QFileInfo(item->path).fileName() : QString();
    ShowLine(name + QStringLiteral(": ") + status);
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

void CliFrontEnd::CloseProgressWindow() {
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
