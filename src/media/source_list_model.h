#pragma once

#include "media/job_state.h"
#include "media/source_item.h"
#include "media/source_path_map.h"

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <memory>
#include <vector>

// The source list: one row per source, each owning its SourceItem and the texts
// of its ten columns. It also keeps the keys of its sources, so a row's key goes
// when the row goes. It knows no widget; a view shows it and the conversion run
// writes the Status column and the job state through it.
class SourceListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column {
        ColumnFile,
        ColumnDuration,
        ColumnWidth,
        ColumnHeight,
        ColumnFrameRate,
        ColumnVideoBitRate,
        ColumnAudioFrequency,
        ColumnAudioBitRate,
        ColumnAudioChannels,
        ColumnStatus,
        ColumnCount
    };
    enum Role {
        // The number a column sorts by, where it has one: milliseconds, pixels,
        // frames per second, bits per second or hertz. Text columns have none.
        SortValueRole = Qt::UserRole,
    };

    // A row's JobState, as an int, in every column.
    static constexpr int JobStateRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;
    ~SourceListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Moves rows with everything they hold (items, keys, texts); views keep their
    // selections on the moved rows.
    bool moveRows(const QModelIndex& sourceParent, int sourceRow, int count,
                  const QModelIndex& destinationParent, int destinationChild) override;

    // Adds a row for the item (never null) at position (0 to rowCount()) with the
    // File text; the other columns start empty. A non-empty key enters the path
    // map; it must not be there yet. Rows made for a run (format copies) have no key.
    void InsertRow(int position, std::unique_ptr<SourceItem> item, const QString& fileText,
                   const QString& key = QString());
    // A row for a copy of another row's source, converted to a format of its own:
    // it shares that row's staged file and never deletes it.
    void InsertCopyRow(int position, std::unique_ptr<SourceItem> item, const QString& fileText);
    int AppendRow(std::unique_ptr<SourceItem> item, const QString& fileText,
                  const QString& key = QString());

    // The source leaves the list: its key leaves the map and, unless the row is
    // a copy row, its staged file is deleted. The item is destroyed.
    void RemoveRow(int row);
    void RemoveAllRows();

    // The item of a row; nullptr for a row that does not exist.
    SourceItem* Item(int row) const;
    // Gives a row another item; the row keeps its key and texts.
    void SetItem(int row, std::unique_ptr<SourceItem> item);

    QString CellText(int row, int column) const;
    void SetCellText(int row, int column, const QString& text);
    JobState RowJobState(int row) const;
    void SetJobState(int row, JobState state);

    const SourcePathMap& paths() const { return paths_; }

    // Appends a row for a probed source with every column but Status written,
    // chooses its audio stream from the setting RequestAudioIndex (1-based). A
    // non-empty key enters the path map.
    // Returns the new row's index.
    int AppendSourceRow(std::unique_ptr<SourceItem> item, int requestAudioIndex,
                        const QString& key);
    // Rewrites the three audio columns of a row from its item's chosen stream.
    void RefreshAudioColumns(int row);
    // Gives every row the audio stream the setting RequestAudioIndex (1-based) asks
    // for and rewrites the audio columns of the rows whose stream changed.
    void ApplyRequestedAudioStream(int requestAudioIndex);

private:
    using Texts = std::array<QString, ColumnCount>;
    struct Row {
        std::unique_ptr<SourceItem> item;
        QString key;
        Texts texts;
        JobState state = JobState::None;
        bool copy = false;
    };

    bool IsRow(int row) const { return row >= 0 && row < static_cast<int>(rows_.size()); }
    void InsertRowWithTexts(int position, Row row);
    static void WriteAudioTexts(const SourceItem& item, Texts& texts);
    // The stream asked for when the source has it, else its first.
    static int RequestedAudioStream(const SourceItem& item, int requestAudioIndex);
    static QVariant SortValue(const SourceItem& item, int column);
    static void ReleaseSource(Row& row, SourcePathMap& paths);
    void EmitRowChanged(int row);

    std::vector<Row> rows_;
    SourcePathMap paths_;
};
