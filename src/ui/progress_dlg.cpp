#include "ui/progress_dlg.h"

#include "app/convert_settings.h"
#include "platform/shell.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

namespace {

// The priority classes in the order of the list, as the settings store them.
const struct {
    const char* text;
    int priorityClass;
} kPriorities[] = {
    {QT_TRANSLATE_NOOP("CProgressDlg", "High"), kPriorityHigh},
    {QT_TRANSLATE_NOOP("CProgressDlg", "Above Normal"), kPriorityAboveNormal},
    {QT_TRANSLATE_NOOP("CProgressDlg", "Normal"), kPriorityNormal},
    {QT_TRANSLATE_NOOP("CProgressDlg", "Below Normal"), kPriorityBelowNormal},
    {QT_TRANSLATE_NOOP("CProgressDlg", "Idle"), kPriorityIdle},
};
constexpr int kRepaintMilliseconds = 100;

template <typename Widget> Widget* Numbered(Widget* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

} // namespace

CProgressDlg::CProgressDlg(const Setup& setup, platform::Shell& shell, QWidget* parent)
    : WorkWindow(parent), shell_(shell), outputFolder_(setup.outputFolder),
      priorityClass_(setup.priorityClass), threads_(setup.threads) {
    setObjectName(QStringLiteral("207"));
    BuildControls();
    FillLists(setup);
    // The bar and texts follow at least ten times a second while a batch runs.
    repaint_ = new QTimer(this);
    repaint_->setInterval(kRepaintMilliseconds);
    connect(repaint_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

void CProgressDlg::BuildControls() {
    status_ = Numbered(new QLabel(this), 1035);
    percent_ = Numbered(new QLabel(this), 1036);
    percent_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    bar_ = Numbered(new QProgressBar(this), 1038);
    bar_->setTextVisible(false);
    folderButton_ = Numbered(new QPushButton(tr("&Output Folder:"), this), 1160);
    folderText_ = Numbered(new QLabel(this), 1161);
    folderText_->setTextFormat(Qt::PlainText);
    threadList_ = Numbered(new QComboBox(this), 1154);
    priorityList_ = Numbered(new QComboBox(this), 1153);
    shutDown_ = Numbered(new QCheckBox(tr("&Shut down Windows after converting"), this), 1156);
    auto* cancel = Numbered(new QPushButton(tr("Cancel"), this), 1033);
    cancel->setAutoDefault(false);
    folderButton_->setAutoDefault(false);
    auto* threadsLabel = new QLabel(tr("&Threads:"), this);
    threadsLabel->setBuddy(threadList_);
    auto* priorityLabel = new QLabel(tr("&Priority:"), this);
    priorityLabel->setBuddy(priorityList_);

    auto* grid = new QGridLayout(this);
    grid->addWidget(status_, 0, 0, 1, 4);
    grid->addWidget(percent_, 0, 4, 1, 2);
    grid->addWidget(bar_, 1, 0, 1, 6);
    grid->addWidget(folderButton_, 2, 0);
    grid->addWidget(folderText_, 2, 1, 1, 3);
    grid->addWidget(threadsLabel, 2, 4);
    grid->addWidget(threadList_, 2, 5);
    grid->addWidget(shutDown_, 3, 0, 1, 2);
    grid->addWidget(cancel, 3, 2, Qt::AlignCenter);
    grid->addWidget(priorityLabel, 3, 4);
    grid->addWidget(priorityList_, 3, 5);
    grid->setColumnStretch(3, 1);
    setMinimumWidth(fontMetrics().averageCharWidth() * 100);

    connect(cancel, &QPushButton::clicked, this, &CProgressDlg::CancelRequested);
    connect(folderButton_, &QPushButton::clicked, this, &CProgressDlg::OpenOutputFolder);
    connect(shutDown_, &QCheckBox::toggled, this, &CProgressDlg::ShutDownToggled);
}

void CProgressDlg::FillLists(const Setup& setup) {
    for (const auto& priority : kPriorities)
        priorityList_->addItem(tr(priority.text), priority.priorityClass);
    priorityList_->setCurrentIndex(priorityList_->findData(setup.priorityClass));
    for (int threads = kMinConversionThreads; threads <= kMaxConversionThreads; ++threads)
        threadList_->addItem(QString::number(threads), threads);
    threadList_->setCurrentIndex(std::max(0, threadList_->findData(setup.threads)));
    folderText_->setText(outputFolder_.isEmpty() ? tr("Same as source file") : outputFolder_);
    folderButton_->setEnabled(!outputFolder_.isEmpty());

    // Only a person's choice is told; filling the lists is not.
    connect(priorityList_, &QComboBox::activated, this, [this](int index) {
        priorityClass_ = priorityList_->itemData(index).toInt();
        emit PriorityChosen(priorityClass_);
    });
    connect(threadList_, &QComboBox::activated, this, [this](int index) {
        threads_ = threadList_->itemData(index).toInt();
        emit ThreadsChosen(threads_);
    });
}

void CProgressDlg::OpenOutputFolder() {
    if (!outputFolder_.isEmpty() && QFileInfo(outputFolder_).isDir())
        shell_.Open(outputFolder_);
}

void CProgressDlg::SetStatus(const QString& text) {
    status_->setText(text);
}

void CProgressDlg::SetPercent(const QString& text) {
    percent_->setText(text);
}

void CProgressDlg::SetRange(int maximum) {
    bar_->setRange(0, maximum);
}

void CProgressDlg::SetPosition(int position) {
    bar_->setValue(std::clamp(position, bar_->minimum(), bar_->maximum()));
}

void CProgressDlg::SetStep(int step) {
    step_ = step;
}

void CProgressDlg::StepIt() {
    // Like the system's bar: stepping past the end wraps round to the start.
    int next = bar_->value() + step_;
    if (next > bar_->maximum())
        next = bar_->minimum() + (next - bar_->maximum());
    bar_->setValue(std::clamp(next, bar_->minimum(), bar_->maximum()));
}

int CProgressDlg::ProgressBarWidth() const {
    return bar_->contentsRect().width();
}

QString CProgressDlg::Status() const {
    return status_->text();
}

QString CProgressDlg::Percent() const {
    return percent_->text();
}

int CProgressDlg::Position() const {
    return bar_->value();
}

bool CProgressDlg::ShutDownChecked() const {
    return shutDown_->isChecked();
}

void CProgressDlg::showEvent(QShowEvent* event) {
    repaint_->start();
    WorkWindow::showEvent(event);
}

void CProgressDlg::hideEvent(QHideEvent* event) {
    repaint_->stop();
    WorkWindow::hideEvent(event);
}
