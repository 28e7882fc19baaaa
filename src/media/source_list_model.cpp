#include "media/source_list_model.h"

#include "media/column_texts.h"

#include <QFile>
#include <algorithm>
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
    const Row& row = rows_[index.row()];
    if (role == Qt::DisplayRole)
        return row.texts[index.column()];
    if (role == SortValueRole)
        return SortValue(*row.item, index.column());
    if (role == JobStateRole)
        return static_cast<int>(row.state);
    return {};
}

QVariant SourceListModel::SortValue(const SourceItem& item, int column) {
    const int chosen = item.chosenAudioStream;
    const bool hasChosen = chosen >= 0 && chosen < item.AudioStreamCount();
    switch (column) {
    case ColumnDuration:
        return qint64{item.duration} * 1000;
    case ColumnWidth:
        return item.width;
    case ColumnHeight:
        return item.height;
    case ColumnFrameRate:
        return std::max(item.frameRate, 0.0);
    case ColumnVideoBitRate:
        return qint64{item.videoBitRate} * 1000;
    case ColumnAudioFrequency:
        return hasChosen ? qint64{item.audioSampleRates[chosen]} : 0;
    case ColumnAudioBitRate:
        return hasChosen ? qint64{item.audioBitRates[chosen]} * 1000 : 0;
    default:
        return {};
    }
}

Qt::ItemFlags SourceListModel::flags(const QModelIndex& index) const {
    if (!index.isValid() || !IsRow(index.row()))
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

bool SourceListModel::moveRows(const QModelIndex& sourceParent, int sourceRow, int count,
                               const QModelIndex& destinationParent, int destinationChild) {
    if (sourceParent.isValid() || destinationParent.isValid() || count <= 0 || sourceRow < 0 ||
        sourceRow + count > rowCount() || destinationChild < 0 || destinationChild > rowCount())
        return false;
    // Onto itself: nothing moves, and Qt refuses to announce it.
    if (destinationChild >= sourceRow && destinationChild <= sourceRow + count)
        return false;
    if (!beginMoveRows(sourceParent, sourceRow, sourceRow + count - 1, destinationParent,
                       destinationChild))
        return false;
    const auto first = rows_.begin() + sourceRow;
    const auto last = first + count;
    if (destinationChild < sourceRow)
        std::rotate(rows_.begin() + destinationChild, first, last);
    else
        std::rotate(first, last, rows_.begin() + destinationChild);
    endMoveRows();
    return true;
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
    item->chosenAudioStream = RequestedAudioStream(*item, requestAudioIndex);

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

int SourceListModel::RequestedAudioStream(const SourceItem& item, int requestAudioIndex) {
    return requestAudioIndex < 2 || requestAudioIndex > item.AudioStreamCount()
               ? 0
               : requestAudioIndex - 1;
}

void SourceListModel::ApplyRequestedAudioStream(int requestAudioIndex) {
    for (int row = 0; row < rowCount(); ++row) {
        SourceItem& item = *rows_[row].item;
        const int stream = RequestedAudioStream(item, requestAudioIndex);
        if (stream == item.chosenAudioStream)
            continue;
        item.chosenAudioStream = stream;
        RefreshAudioColumns(row);
    }
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
