#include "ui/window_front_end.h"

#include "convert/conversion_controller.h"
#include "media/source_list_model.h"
#include "platform/shell.h"
#include "ui/busy_dlg.h"
#include "ui/main_dlg.h"
#include "ui/progress_dlg.h"
#include "ui/shutdown_dlg.h"
#include "ui/sort_list.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>

namespace {

// The bar of a join of unknown length moves by this many pixels a report.
constexpr int kUnknownLengthStep = 2;

} // namespace

WindowFrontEnd::WindowFrontEnd(CMainDlg& window, platform::Shell& shell, platform::Power& power,
                               QObject* parent)
    : QObject(parent), window_(window), shell_(shell), power_(power) {}

WindowFrontEnd::~WindowFrontEnd() {
    delete progress_;
    delete busy_;
}

CProgressDlg* WindowFrontEnd::progressWindow() const {
    return progress_;
}

CBusyDlg* WindowFrontEnd::busyDialog() const {
    return busy_;
}

void WindowFrontEnd::ShowMessage(const QString& text, Icon icon) {
    QMessageBox box(icon == Icon::Warning ? QMessageBox::Warning : QMessageBox::Information,
                    QStringLiteral("Quillmore"), text, QMessageBox::Ok, &window_);
    box.exec();
}

std::vector<int> WindowFrontEnd::SelectedRows() {
    return window_.SelectedRows();
}

void WindowFrontEnd::SelectRow(int row) {
    window_.list().selectionModel()->select(
        window_.model().index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void WindowFrontEnd::ScrollRowIntoView(int row) {
    window_.list().scrollTo(window_.model().index(row, 0));
}

void WindowFrontEnd::SetStatusColumnWidth(int pixels) {
    QHeaderView* header = window_.list().header();
    if (header->sectionSize(SourceListModel::ColumnStatus) < pixels)
        header->resizeSection(SourceListModel::ColumnStatus, pixels);
}

void WindowFrontEnd::SetMainWindowEnabled(bool enabled) {
    window_.SetControlsEnabled(enabled);
}

bool WindowFrontEnd::ChooseJoinedTarget(const QString& extension, QString* path) {
    const QString pattern = QStringLiteral("*.") + extension;
    QFileDialog dialog(&window_, QString(), QString(),
                       pattern + QStringLiteral(" (") + pattern + QStringLiteral(")"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(extension);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    *path = dialog.selectedFiles().first();
    return true;
}

void WindowFrontEnd::Follow(ConversionController& controller) {
    controller_ = &controller;
    connect(&controller, &ConversionController::BatchStarted, this,
            &WindowFrontEnd::OpenProgressWindow);
    connect(&controller, &ConversionController::PhaseStarted, this, [this](const QString& text) {
        if (!progress_)
            return;
        progress_->SetStatus(text);
        progress_->SetPosition(0);
        progress_->SetPercent(QString());
    });
    connect(&controller, &ConversionController::ProgressStatusChanged, this,
            [this](const QString& text) {
                if (progress_)
                    progress_->SetStatus(text);
            });
    connect(&controller, &ConversionController::OverallProgressChanged, this,
            &WindowFrontEnd::ShowOverallProgress);
    connect(&controller, &ConversionController::ProgressStepped, this, [this] {
        if (progress_)
            progress_->StepIt();
    });
    connect(&controller, &ConversionController::BatchEnded, this,
            &WindowFrontEnd::CloseProgressWindow);
}

void WindowFrontEnd::OpenBusyDialog(const QString& text) {
    if (!busy_) {
        busy_ = new CBusyDlg(&window_);
        connect(busy_, &CBusyDlg::CancelRequested, controller_, &ConversionController::Cancel);
        busy_->show();
    }
    busy_->SetText(text);
    busy_->SetRange(100);
    busy_->SetPosition(0);
}

void WindowFrontEnd::SetBusyProgress(int percent) {
    if (!busy_)
        return;
    busy_->SetPosition(percent);
    busy_->SetPercent(QStringLiteral("%1%").arg(percent));
}

void WindowFrontEnd::CloseBusyDialog() {
    if (busy_)
        busy_->Finish();
}

void WindowFrontEnd::OpenProgressWindow(const BatchStart& start) {
    delete progress_;
    progress_ = new CProgressDlg({start.priorityClass, start.threads, start.outputFolder}, shell_,
                                 &window_);
    connect(progress_, &CProgressDlg::CancelRequested, controller_, &ConversionController::Cancel);
    connect(progress_, &CProgressDlg::PriorityChosen, controller_,
            &ConversionController::SetPriorityClass);
    connect(progress_, &CProgressDlg::ThreadsChosen, controller_,
            &ConversionController::SetThreads);
    progress_->SetRange(std::max(1, progress_->ProgressBarWidth()));
    progress_->SetPosition(0);
    progress_->SetStep(kUnknownLengthStep);
    progress_->SetStatus(start.statusText);
    progress_->show();
}

void WindowFrontEnd::ShowOverallProgress(qint64 done, qint64 total) {
    if (!progress_ || total <= 0)
        return;
    const qint64 width = std::max(1, progress_->ProgressBarWidth());
    progress_->SetPosition(static_cast<int>(done * width / total));
    progress_->SetPercent(QStringLiteral("%1%").arg(std::min<qint64>(100, done * 100 / total)));
}

bool WindowFrontEnd::ShutDownChecked() {
    return progress_ && progress_->ShutDownChecked();
}

void WindowFrontEnd::CloseProgressWindow() {
    if (progress_)
        progress_->Finish();
    progress_ = nullptr;
}

void WindowFrontEnd::ShowInFileManager(const QString& path) {
    shell_.ShowInFileManager(path);
}

void WindowFrontEnd::RunShutdownCountdown() {
    RunShutdownAfterConversion(&window_, power_);
}
