#include "media/source_list_model.h"

#include "media/column_texts.h"

#include <QFile>
#include <utility>

namespace {

const char* const kHeadings[SourceListModel::ColumnCount] = {
    "File",      "Duration", "Width",     "Height", "V.Frame",
    "V.BitRate", "A.Freq.",  "A.BitRate", "A.Ch.",  "Status"};

// A copy row points at its parent's staged file; only the parent's row may
// delete it.
void DeleteStagedFile(const SourceItem& item) {
    if (item.needsStaging && !item.stagedFile.isEmpty())
        QFile::remove(item.stagedFile);
}

QString PositiveNumber(int value, const char* unit = "") {
    return value > 0 ? QString::number(value) + QLatin1String(unit) : QString();
}

} // namespace

SourceListModel::~SourceListModel() {
    for (Row& row : rows_)
        ReleaseSource(row, paths_);
}

int SourceListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int SourceListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SourceListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !IsRow(index.row()))
        return {};
    if (role == JobStateRole)
        return static_cast<int>(rows_[index.row()].state);
    if (role != Qt::DisplayRole)
        return {};
    return rows_[index.row()].texts[index.column()];
}

QVariant SourceListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= ColumnCount)
        return {};
    return QString::fromLatin1(kHeadings[section]);
}

void SourceListModel::InsertRow(int position, std::unique_ptr<SourceItem> item,
                                const QString& fileText, const QString& key) {
    Row row{std::move(item), key, {}};
    row.texts[ColumnFile] = fileText;
    InsertRowWithTexts(position, std::move(row));
}

void SourceListModel::InsertCopyRow(int position, std::unique_ptr<SourceItem> item,
                                    const QString& fileText) {
    Row row{std::move(item), QString(), {}};
    row.texts[ColumnFile] = fileText;
    row.copy = true;
    InsertRowWithTexts(position, std::move(row));
}

int SourceListModel::AppendRow(std::unique_ptr<SourceItem> item, const QString& fileText,
                               const QString& key) {
    const int position = rowCount();
    InsertRow(position, std::move(item), fileText, key);
    return position;
}

void SourceListModel::InsertRowWithTexts(int position, Row row) {
    Q_ASSERT(row.item);
    Q_ASSERT(position >= 0 && position <= rowCount());
    Q_ASSERT(row.key.isEmpty() || !paths_.Contains(row.key));
    beginInsertRows(QModelIndex(), position, position);
    if (!row.key.isEmpty())
        paths_.Insert(row.key, row.item.get());
    rows_.insert(rows_.begin() + position, std::move(row));
    endInsertRows();
}

void SourceListModel::ReleaseSource(Row& row, SourcePathMap& paths) {
    if (!row.key.isEmpty())
        paths.Remove(row.key);
    if (!row.copy)
        DeleteStagedFile(*row.item);
}

void SourceListModel::RemoveRow(int row) {
    if (!IsRow(row))
        return;
    beginRemoveRows(QModelIndex(), row, row);
    ReleaseSource(rows_[row], paths_);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

void SourceListModel::RemoveAllRows() {
    beginResetModel();
    for (Row& row : rows_)
        ReleaseSource(row, paths_);
    rows_.clear();
    paths_.Clear();
    endResetModel();
}

void SourceListModel::SwapRows(int first, int second) {
    if (!IsRow(first) || !IsRow(second) || first == second)
        return;
    std::swap(rows_[first], rows_[second]);
    EmitRowChanged(first);
    EmitRowChanged(second);
}

SourceItem* SourceListModel::Item(int row) const {
    return IsRow(row) ? rows_[row].item.get() : nullptr;
}

void SourceListModel::SetItem(int row, std::unique_ptr<SourceItem> item) {
    if (!IsRow(row) || !item)
        return;
    if (!rows_[row].key.isEmpty())
        paths_.Insert(rows_[row].key, item.get());
    rows_[row].item = std::move(item);
}

QString SourceListModel::CellText(int row, int column) const {
    if (!IsRow(row) || column < 0 || column >= ColumnCount)
        return {};
    return rows_[row].texts[column];
}

void SourceListModel::SetCellText(int row, int column, const QString& text) {
    if (!IsRow(row) || column < 0 || column >= ColumnCount)
        return;
    rows_[row].texts[column] = text;
    const QModelIndex cell = index(row, column);
    emit dataChanged(cell, cell, {Qt::DisplayRole});
}

JobState SourceListModel::RowJobState(int row) const {
    return IsRow(row) ? rows_[row].state : JobState::None;
}

void SourceListModel::SetJobState(int row, JobState state) {
    if (!IsRow(row) || rows_[row].state == state)
        return;
    rows_[row].state = state;
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1), {JobStateRole});
}

void SourceListModel::EmitRowChanged(int row) {
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1), {Qt::DisplayRole});
}

int SourceListModel::AppendSourceRow(std::unique_ptr<SourceItem> item, int requestAudioIndex,
                                     const QString& key) {
    const int streams = item->AudioStreamCount();
    item->chosenAudioStream =
        requestAudioIndex < 2 || requestAudioIndex > streams ? 0 : requestAudioIndex - 1;

    Texts texts;
    texts[ColumnFile] = item->path.mid(item->path.lastIndexOf('/') + 1);
    if (streams > 1)
        texts[ColumnFile] += QStringLiteral(" (%1 audios)").arg(streams);
    if (item->duration > 0)
        texts[ColumnDuration] = DurationText(item->duration);
    texts[ColumnWidth] = PositiveNumber(item->width);
    texts[ColumnHeight] = PositiveNumber(item->height);
    if (item->frameRate > 0)
        texts[ColumnFrameRate] = QString::asprintf("%.2f", item->frameRate);
    texts[ColumnVideoBitRate] = PositiveNumber(item->videoBitRate, " kbps");
    WriteAudioTexts(*item, texts);

    const int position = rowCount();
    InsertRowWithTexts(position, Row{std::move(item), key, std::move(texts)});
    return position;
}

void SourceListModel::RefreshAudioColumns(int row) {
    const SourceItem* item = Item(row);
    if (!item)
        return;
    WriteAudioTexts(*item, rows_[row].texts);
    emit dataChanged(index(row, ColumnAudioFrequency), index(row, ColumnAudioChannels),
                     {Qt::DisplayRole});
}

void SourceListModel::WriteAudioTexts(const SourceItem& item, Texts& texts) {
    texts[ColumnAudioFrequency].clear();
    texts[ColumnAudioBitRate].clear();
    texts[ColumnAudioChannels].clear();
    const int streams = item.AudioStreamCount();
    const int chosen = item.chosenAudioStream;
    if (chosen < 0 || chosen >= streams)
        return;
    if (item.audioSampleRates[chosen] != 0)
        texts[ColumnAudioFrequency] = QStringLiteral("%1 Hz").arg(item.audioSampleRates[chosen]);
    if (streams > 1)
        texts[ColumnAudioFrequency] += QStringLiteral("*%1").arg(streams);
    if (item.audioBitRates[chosen] != 0)
        texts[ColumnAudioBitRate] = QStringLiteral("%1 kbps").arg(item.audioBitRates[chosen]);
    if (item.audioChannels[chosen] != 0)
        texts[ColumnAudioChannels] = ChannelLayoutName(item.audioChannels[chosen]);
}
