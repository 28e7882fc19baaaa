#include "ui/window_front_end.h"

#include "convert/conversion_events.h"
#include "media/source_list_model.h"
#include "platform/shell.h"
#include "ui/busy_dlg.h"
#include "ui/main_dlg.h"
#include "ui/progress_dlg.h"
#include "ui/sort_list.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>

WindowFrontEnd::WindowFrontEnd(CMainDlg& window, platform::Shell& shell, QObject* parent)
    : QObject(parent), window_(window), shell_(shell) {}

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

void WindowFrontEnd::OpenBusyDialog() {
    delete busy_;
    busy_ = new CBusyDlg(&window_);
    busy_->show();
}

bool WindowFrontEnd::BusyDialogCancelled() {
    return busy_ && busy_->IsCancelled();
}

void WindowFrontEnd::CloseBusyDialog() {
    if (busy_)
        busy_->Finish();
}

void WindowFrontEnd::OpenProgressWindow(const ProgressSetup& setup) {
    delete progress_;
    progress_ = new CProgressDlg({setup.priorityClass, setup.threads, setup.outputFolder}, shell_,
                                 &window_);
    // The controller takes each choice as a request on its own event loop.
    QObject* receiver = setup.receiver;
    const auto post = [receiver](QEvent::Type type, int value) {
        if (receiver)
            QCoreApplication::postEvent(receiver, new ConversionRequestEvent(type, value));
    };
    connect(progress_, &CProgressDlg::CancelRequested, this, [post] { post(WM_CONV_CANCEL, 0); });
    connect(progress_, &CProgressDlg::PriorityChosen, this,
            [post](int priorityClass) { post(WM_CONV_PRIORITY, priorityClass); });
    connect(progress_, &CProgressDlg::ThreadsChosen, this,
            [post](int threads) { post(WM_CONV_THREADS, threads); });
    progress_->show();
}

int WindowFrontEnd::ProgressBarWidth() {
    return progress_ ? progress_->ProgressBarWidth() : 1;
}

void WindowFrontEnd::SetProgressRange(int maximum) {
    if (progress_)
        progress_->SetRange(maximum);
}

void WindowFrontEnd::SetProgressPosition(int position) {
    if (progress_)
        progress_->SetPosition(position);
}

void WindowFrontEnd::SetProgressStep(int step) {
    if (progress_)
        progress_->SetStep(step);
}

void WindowFrontEnd::StepProgress() {
    if (progress_)
        progress_->StepIt();
}

void WindowFrontEnd::SetProgressStatus(const QString& text) {
    if (progress_)
        progress_->SetStatus(text);
}

void WindowFrontEnd::SetProgressPercent(const QString& text) {
    if (progress_)
        progress_->SetPercent(text);
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
