#include "ui/opt_output_page.h"

#include "app/convert_settings.h"
#include "app/settings_store.h"
#include "platform/shell.h"
#include "ui/message_boxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

namespace {

// Typing may go beyond what the arrows reach: a minutes field holding 75 counts
// as 75 minutes.
constexpr int kMostTyped = 999999;

class NumberField : public QSpinBox {
public:
    NumberField(int id, int arrowMaximum, QWidget* parent)
        : QSpinBox(parent), arrowMaximum_(arrowMaximum) {
        setObjectName(QString::number(id));
        setRange(0, kMostTyped);
    }

protected:
    void stepBy(int steps) override { setValue(std::clamp(value() + steps, 0, arrowMaximum_)); }
    StepEnabled stepEnabled() const override {
        StepEnabled enabled = StepNone;
        if (value() < arrowMaximum_)
            enabled |= StepUpEnabled;
        if (value() > 0)
            enabled |= StepDownEnabled;
        return enabled;
    }

private:
    int arrowMaximum_;
};

const char* const kDefaultFilters[] = {"avi",          "flv",         "mkv,mka",      "mp4,m4v,mov",
                                       "mpg,mpeg,mpe", "ogg,ogm,ogv", "vob,evo,evob", "wmv"};

constexpr int kMsPerHour = 3600000;
constexpr int kMsPerMinute = 60000;

QWidget* SectionHeading(const QString& text, QWidget* parent) {
    auto* heading = new QWidget(parent);
    auto* row = new QHBoxLayout(heading);
    row->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(text, heading);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    auto* line = new QFrame(heading);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    row->addWidget(label);
    row->addWidget(line, 1);
    return heading;
}

void SelectByData(QComboBox* combo, int ConvertSettings::*member, ConvertSettings& settings) {
    const int index = combo->findData(settings.*member);
    combo->setCurrentIndex(std::max(index, 0));
    settings.*member = combo->currentData().toInt();
}

} // namespace

COptOutputPage::COptOutputPage(ConvertSettings& settings, SettingsStore& store,
                               platform::Shell& shell, QWidget* parent)
    : COptPage(parent), settings_(settings), store_(store), shell_(shell) {
    setObjectName(QString::number(IDD));
    auto* page = new QVBoxLayout(this);
    page->addWidget(SectionHeading(tr("General"), this));
    BuildGeneralSection();
    BuildLengthRows();
    page->addWidget(SectionHeading(tr("Output"), this));
    BuildOutputSection();
    BuildOutputOptions();
    page->addStretch(1);
}

QCheckBox* COptOutputPage::AddCheck(int id, const QString& text, int ConvertSettings::*member) {
    auto* box = new QCheckBox(text, this);
    box->setObjectName(QString::number(id));
    layout()->addWidget(box);
    checks_.push_back({box, member});
    return box;
}

void COptOutputPage::BuildGeneralSection() {
    extensionFilter_ = AddCheck(
        1080, tr("O&nly add the following file extensions for \"Add Folder\" and Drag/Drop"),
        &ConvertSettings::EnableExtFilter);
    connect(extensionFilter_, &QCheckBox::clicked, this, &COptOutputPage::OnExtensionFilterClicked);
    extensions_ = new QComboBox(this);
    extensions_->setObjectName(QStringLiteral("1150"));
    extensions_->setEditable(true);
    extensions_->setInsertPolicy(QComboBox::NoInsert);
    auto* note = new QLabel(tr("Note: use comma (,) to separate multiple extensions. For example: "
                               "mp4,mp3,avi,ogg,mov,wmv"),
                            this);
    note->setWordWrap(true);
    auto* filterBlock = new QVBoxLayout;
    filterBlock->setContentsMargins(20, 0, 0, 0);
    filterBlock->addWidget(extensions_);
    filterBlock->addWidget(note);
    static_cast<QVBoxLayout*>(layout())->addLayout(filterBlock);

    AddCheck(1129, tr("Keep &date/time created of original"), &ConvertSettings::KeepDateCreated);
    AddCheck(1130, tr("Keep date/time &modified of original"), &ConvertSettings::KeepDateModified);
    AddCheck(1101,
             tr("Fi&x out of sync of audio (please do not check this option unless the output "
                "audio is out of sync)"),
             &ConvertSettings::FixAudioUnsync);
    QCheckBox* normalize = AddCheck(1103, tr("Normalize file before converting &to one "),
                                    &ConvertSettings::NormalizeFile);
    auto* help = new QToolButton(this);
    help->setText(QStringLiteral("?"));
    help->setObjectName(QStringLiteral("1163"));
    connect(help, &QToolButton::clicked, this, &COptOutputPage::OnNormalizeHelp);
    auto* normalizeRow = new QHBoxLayout;
    normalizeRow->addWidget(normalize);
    normalizeRow->addWidget(help);
    normalizeRow->addStretch(1);
    static_cast<QVBoxLayout*>(layout())->addLayout(normalizeRow);
    AddCheck(1162, tr("Kee&p ID3 tag"), &ConvertSettings::KeepID3Tag);

    auto* streamLabel = new QLabel(
        tr("&If there are more than one audio stream in source file, converts no."), this);
    audioStream_ = new NumberField(1151, 32767, this);
    streamLabel->setBuddy(audioStream_);
    auto* streamRow = new QHBoxLayout;
    streamRow->addWidget(streamLabel);
    streamRow->addWidget(audioStream_);
    streamRow->addWidget(new QLabel(tr("audio stream"), this));
    streamRow->addStretch(1);
    static_cast<QVBoxLayout*>(layout())->addLayout(streamRow);
}

void COptOutputPage::BuildLengthRows() {
    struct Row {
        int boxId;
        const char* text;
        int firstFieldId;
        LengthFields* fields;
        int ConvertSettings::*enabled;
        int ConvertSettings::*length;
    };
    const Row rows[] = {
        {1127, QT_TR_NOOP("Convert &from"), 1133, &skip_, &ConvertSettings::EnableSkipLength,
         &ConvertSettings::SkipLength},
        {1128, QT_TR_NOOP("Only &convert"), 1141, &convert_, &ConvertSettings::EnableConvertLength,
         &ConvertSettings::ConvertLength},
        {1131, QT_TR_NOOP("I&gnore the last"), 1153, &ignore_,
         &ConvertSettings::EnableIgnoreTheLast, &ConvertSettings::IgnoreLength},
    };
    const char* const units[] = {QT_TR_NOOP("hour"), QT_TR_NOOP("minute"), QT_TR_NOOP("second"),
                                 QT_TR_NOOP("millisecond")};
    const int arrowMaxima[] = {32767, 59, 59, 999};

    auto* grid = new QGridLayout;
    for (int r = 0; r < 3; ++r) {
        LengthFields& fields = *rows[r].fields;
        fields.box = new QCheckBox(tr(rows[r].text), this);
        fields.box->setObjectName(QString::number(rows[r].boxId));
        fields.enabled = rows[r].enabled;
        fields.length = rows[r].length;
        grid->addWidget(fields.box, r, 0);
        for (int part = 0; part < 4; ++part) {
            fields.parts[part] =
                new NumberField(rows[r].firstFieldId + 2 * part, arrowMaxima[part], this);
            grid->addWidget(fields.parts[part], r, 1 + 2 * part);
            grid->addWidget(new QLabel(tr(units[part]), this), r, 2 + 2 * part);
        }
    }
    grid->setColumnStretch(9, 1);
    static_cast<QVBoxLayout*>(layout())->addLayout(grid);

    connect(skip_.box, &QCheckBox::clicked, this, [this] { OnLengthClicked(skip_, skip_); });
    connect(convert_.box, &QCheckBox::clicked, this,
            [this] { OnLengthClicked(convert_, ignore_); });
    connect(ignore_.box, &QCheckBox::clicked, this, [this] { OnLengthClicked(ignore_, convert_); });
}

void COptOutputPage::BuildOutputSection() {
    auto* grid = new QGridLayout;
    outputFolder_ = new QComboBox(this);
    outputFolder_->setObjectName(QStringLiteral("1074"));
    outputFolder_->addItem(tr("Same as source file"), kOutputNextToSource);
    outputFolder_->addItem(tr("Specific folder"), kOutputToSpecifiedFolder);
    auto* outputLabel = new QLabel(tr("&Output folder:"), this);
    outputLabel->setBuddy(outputFolder_);
    grid->addWidget(outputLabel, 0, 0);
    grid->addWidget(outputFolder_, 0, 1, Qt::AlignLeft);
    connect(outputFolder_, &QComboBox::activated, this, &COptOutputPage::OnOutputFolderChosen);

    specificFolder_ = new QComboBox(this);
    specificFolder_->setObjectName(QStringLiteral("1149"));
    specificFolder_->setEditable(true);
    specificFolder_->setInsertPolicy(QComboBox::NoInsert);
    specificFolder_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    specificFolder_->setMinimumContentsLength(30);
    auto* folderLabel = new QLabel(tr("&Specific folder:"), this);
    folderLabel->setBuddy(specificFolder_);
    browse_ = new QPushButton(tr("Bro&wse"), this);
    browse_->setObjectName(QStringLiteral("1044"));
    openFolder_ = new QPushButton(tr("O&pen"), this);
    openFolder_->setObjectName(QStringLiteral("1185"));
    connect(browse_, &QPushButton::clicked, this, &COptOutputPage::OnBrowse);
    connect(openFolder_, &QPushButton::clicked, this, &COptOutputPage::OnOpenFolder);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(specificFolder_, 1);
    folderRow->addWidget(browse_);
    folderRow->addWidget(openFolder_);
    grid->addWidget(folderLabel, 1, 0);
    grid->addLayout(folderRow, 1, 1);
    static_cast<QVBoxLayout*>(layout())->addLayout(grid);
}

void COptOutputPage::BuildOutputOptions() {
    AddCheck(1020, tr("C&reate an output folder for each source file"),
             &ConvertSettings::CreateFolderForEachSource);
    keepTree_ = AddCheck(1019, tr("&Keep original directory tree"), &ConvertSettings::CreateDirs);
    treeExample_ = new QLabel(
        tr("For example: source file is \"C:\\Video\\Friends\\Happy.mp4\" and output folder is "
           "\"D:\\Output\". If the option is checked, the output folder will be "
           "\"D:\\Output\\C\\Video\\Friends\\\"."),
        this);
    treeExample_->setObjectName(QStringLiteral("1093"));
    treeExample_->setWordWrap(true);
    treeExample_->setContentsMargins(20, 0, 0, 0);
    layout()->addWidget(treeExample_);

    targetExists_ = new QComboBox(this);
    targetExists_->setObjectName(QStringLiteral("1102"));
    targetExists_->addItem(tr("Rename automatically (add number at end of file name)"),
                           kTargetExistsRename);
    targetExists_->addItem(tr("Overwrite"), kTargetExistsOverwrite);
    targetExists_->addItem(tr("Skip (not convert)"), kTargetExistsSkip);
    auto* existsLabel = new QLabel(tr("If target file &exists "), this);
    existsLabel->setBuddy(targetExists_);
    auto* existsRow = new QHBoxLayout;
    existsRow->addWidget(existsLabel);
    existsRow->addWidget(targetExists_);
    existsRow->addStretch(1);
    static_cast<QVBoxLayout*>(layout())->addLayout(existsRow);

    AddCheck(1100, tr("O&utput files to My Documents if creating file failure"),
             &ConvertSettings::OutputFiles2MyDocuments);
    AddCheck(1098, tr("&Browse output folder when conversion completes"),
             &ConvertSettings::BrowseOutputFolder);
}

void COptOutputPage::Open() {
    for (const CheckBinding& check : checks_)
        check.box->setChecked(settings_.*check.member != 0);
    audioStream_->setValue(settings_.RequestAudioIndex);
    LoadHistories();
    extensions_->setEnabled(settings_.EnableExtFilter != 0);

    if (settings_.EnableConvertLength && settings_.EnableIgnoreTheLast)
        settings_.EnableIgnoreTheLast = 0;
    for (LengthFields* fields : {&skip_, &convert_, &ignore_}) {
        const int ms = std::max(settings_.*fields->length, 0);
        const int parts[] = {ms / kMsPerHour, ms % kMsPerHour / kMsPerMinute, ms / 1000 % 60,
                             ms % 1000};
        for (int part = 0; part < 4; ++part)
            fields->parts[part]->setValue(parts[part]);
        fields->box->setChecked(settings_.*fields->enabled != 0);
        EnableLength(*fields, settings_.*fields->enabled != 0);
    }

    SelectByData(outputFolder_, &ConvertSettings::DestOutputFolderOpt, settings_);
    OnOutputFolderChosen();
    SelectByData(targetExists_, &ConvertSettings::TargetExistsOpt, settings_);
}

void COptOutputPage::LoadHistories() {
    QStringList entries;
    if (!store_.LoadRecentList(QLatin1String(kRecentFilterExts), &entries)) {
        for (const char* filter : kDefaultFilters)
            entries.append(QLatin1String(filter));
    }
    extensions_->addItems(entries);
    extensions_->setEditText(settings_.FilterExts);

    store_.LoadRecentList(QLatin1String(kRecentOutputFolders), &entries);
    specificFolder_->addItems(entries);
    specificFolder_->setEditText(settings_.DestSpecifiedFolder);
}

void COptOutputPage::EnableLength(LengthFields& fields, bool on) {
    for (QSpinBox* part : fields.parts)
        part->setEnabled(on);
}

void COptOutputPage::OnLengthClicked(LengthFields& clicked, LengthFields& other) {
    // "Only convert" and "Ignore the last" are never on together.
    if (&clicked != &other && clicked.box->isChecked() && other.box->isChecked()) {
        other.box->setChecked(false);
        EnableLength(other, false);
    }
    EnableLength(clicked, clicked.box->isChecked());
    clicked.parts[0]->setFocus();
}

void COptOutputPage::OnExtensionFilterClicked() {
    extensions_->setEnabled(extensionFilter_->isChecked());
    if (extensionFilter_->isChecked())
        extensions_->setFocus();
}

void COptOutputPage::OnOutputFolderChosen() {
    const bool specific = outputFolder_->currentData().toInt() == kOutputToSpecifiedFolder;
    for (QWidget* control : {static_cast<QWidget*>(specificFolder_), static_cast<QWidget*>(browse_),
                             static_cast<QWidget*>(openFolder_), static_cast<QWidget*>(keepTree_),
                             static_cast<QWidget*>(treeExample_)})
        control->setEnabled(specific);
}

void COptOutputPage::OnNormalizeHelp() {
    ShowInformation(
        this, tr("Please check the option if files were encoded with different parameters such "
                 "as file format, video codec, video size, video frame rate, video bit rate, audio "
                 "codec, audio sample rate, audio bit rate, audio channels.\n\nYou can check-off "
                 "the option if files were encoded in exactly the same parameters or recorded by "
                 "same device for example DC, DV, cell phone, voice recorder, etc. This will make "
                 "\"Convert to One\" faster."));
}

void COptOutputPage::OnBrowse() {
    const QString folder = QFileDialog::getExistingDirectory(
        this, tr("Please choose an output folder:"), specificFolder_->currentText());
    if (folder.isEmpty())
        return;
    specificFolder_->setEditText(folder.endsWith(u'/') ? folder : folder + u'/');
}

void COptOutputPage::OnOpenFolder() {
    const QString folder = specificFolder_->currentText();
    if (QFileInfo(folder).isDir()) {
        shell_.Open(folder);
        return;
    }
    ShowWarning(this, tr("The folder \"%1\" is not available yet.\n\nNote: the program will "
                         "create the folder automatically when converting files.")
                          .arg(folder));
}

void COptOutputPage::ReadControls() {
    for (const CheckBinding& check : checks_)
        settings_.*check.member = check.box->isChecked() ? 1 : 0;
    for (LengthFields* fields : {&skip_, &convert_, &ignore_})
        settings_.*fields->enabled = fields->box->isChecked() ? 1 : 0;
    settings_.RequestAudioIndex = audioStream_->value();
    settings_.FilterExts = extensions_->currentText();
    settings_.DestSpecifiedFolder = specificFolder_->currentText();
    settings_.DestOutputFolderOpt = outputFolder_->currentData().toInt();
    settings_.TargetExistsOpt = targetExists_->currentData().toInt();
}

bool COptOutputPage::HasEmptyField() {
    std::vector<QSpinBox*> fields;
    for (LengthFields* length : {&skip_, &convert_, &ignore_})
        fields.insert(fields.end(), length->parts.begin(), length->parts.end());
    // A greyed field cannot be mended, and its length is not read.
    for (QSpinBox* field : fields) {
        if (field->isEnabled() && field->cleanText().isEmpty()) {
            ShowWarning(this, tr("Please enter a positive integer."));
            field->setFocus();
            return true;
        }
    }
    if (audioStream_->cleanText().isEmpty()) {
        ShowWarning(this, tr("Please enter an integer."));
        audioStream_->setFocus();
        return true;
    }
    return false;
}

namespace {

// Lengths beyond what the stored number holds are held at its largest value.
int JoinedLength(const std::array<QSpinBox*, 4>& parts) {
    const qint64 ms = qint64(parts[0]->value()) * kMsPerHour +
                      qint64(parts[1]->value()) * kMsPerMinute + qint64(parts[2]->value()) * 1000 +
                      parts[3]->value();
    return int(std::min<qint64>(ms, std::numeric_limits<int>::max()));
}

QString NormalisedExtensions(QString text) {
    text.remove(u' ');
    text.remove(u'\t');
    text.replace(u';', u',');
    return text;
}

} // namespace

bool COptOutputPage::Leave() {
    if (HasEmptyField())
        return false;
    ReadControls();
    if (settings_.DestOutputFolderOpt == kOutputToSpecifiedFolder &&
        settings_.DestSpecifiedFolder.isEmpty()) {
        ShowWarning(this, tr("Please choose an output folder."));
        specificFolder_->setFocus();
        return false;
    }
    settings_.FilterExts = NormalisedExtensions(settings_.FilterExts);
    if (settings_.EnableExtFilter && settings_.FilterExts.isEmpty()) {
        ShowWarning(this, tr("Please enter file extensions you need to filter."));
        extensions_->setFocus();
        return false;
    }
    if (settings_.EnableConvertLength) {
        settings_.EnableIgnoreTheLast = 0;
        settings_.ConvertLength = JoinedLength(convert_.parts);
        if (settings_.ConvertLength == 0) {
            ShowWarning(this, tr("Conversion length must be greater than 0 millisecond."));
            convert_.parts[0]->setFocus();
            return false;
        }
    }
    if (settings_.EnableSkipLength)
        settings_.SkipLength = JoinedLength(skip_.parts);
    if (settings_.EnableIgnoreTheLast)
        settings_.IgnoreLength = JoinedLength(ignore_.parts);
    settings_.RequestAudioIndex = std::max(settings_.RequestAudioIndex, 1);
    return true;
}

void COptOutputPage::Apply() {
    QStringList entries;
    const auto addToHistory = [&](QComboBox* combo, const char* name) {
        entries.clear();
        for (int i = 0; i < combo->count(); ++i)
            entries.append(combo->itemText(i));
        const QString text = combo->currentText();
        store_.AddRecentEntry(QLatin1String(name), text, &entries);
        combo->clear();
        combo->addItems(entries);
        combo->setEditText(text);
    };
    if (settings_.DestOutputFolderOpt == kOutputToSpecifiedFolder)
        addToHistory(specificFolder_, kRecentOutputFolders);
    if (settings_.EnableExtFilter)
        addToHistory(extensions_, kRecentFilterExts);
}
