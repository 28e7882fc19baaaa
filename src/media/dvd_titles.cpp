#include "media/dvd_titles.h"

#include "engine/tool_paths.h"
#include "media/media_probe.h"
#include "media/source_list_model.h"
#include "platform/file_system.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <array>
#include <memory>

namespace {

constexpr int kHighestTitleSet = 99;
constexpr qint64 kSmallestFirstPart = 1048576;
constexpr int kMostParts = 9;
constexpr qint64 kFreeSpaceReserve = 104857600;
constexpr qint64 kCopyBlock = 4096;

struct Parts {
    int count = 0;
    qint64 bytes = 0;
};

Parts CountParts(const QString& dvdFolder, int titleSet) {
    Parts parts;
    qint64 size = 0;
    while (parts.count < kMostParts &&
           platform::GetFileSize(DvdPartPath(dvdFolder, titleSet, parts.count + 1), &size)) {
        ++parts.count;
        parts.bytes += size;
    }
    return parts;
}

// Appends one part to the joined file; a read that fails ends the part.
StageOutcome CopyPart(const QString& partPath, QFile& joined, qint64* copied, qint64 total,
                      QString* message, const StageProgress& progress) {
    QFile part(partPath);
    if (!part.open(QIODevice::ReadOnly)) {
        *message = QStringLiteral("Failed to open file %1").arg(QFileInfo(partPath).fileName());
        return StageOutcome::Failed;
    }
    std::array<char, kCopyBlock> block;
    qint64 bytes = 0;
    while ((bytes = part.read(block.data(), kCopyBlock)) > 0) {
        if (joined.write(block.data(), bytes) != bytes) {
            *message = joined.errorString();
            return StageOutcome::Failed;
        }
        *copied += bytes;
        if (!ReportStageProgress(static_cast<quint64>(*copied), static_cast<quint64>(total),
                                 progress)) {
            *message = QStringLiteral("Cancelled");
            return StageOutcome::Cancelled;
        }
    }
    return StageOutcome::Staged;
}

StageOutcome JoinParts(const SourceItem& item, const Parts& parts, QFile& joined, QString* message,
                       const StageProgress& progress) {
    qint64 copied = 0;
    for (int k = 1; k <= parts.count; ++k) {
        const StageOutcome outcome = CopyPart(DvdPartPath(item.dvdFolder, item.titleSet, k), joined,
                                              &copied, parts.bytes, message, progress);
        if (outcome != StageOutcome::Staged)
            return outcome;
    }
    if (!joined.flush()) {
        *message = joined.errorString();
        return StageOutcome::Failed;
    }
    return StageOutcome::Staged;
}

} // namespace

QString DvdPartPath(const QString& dvdFolder, int titleSet, int part) {
    return QStringLiteral("%1VTS_%2_%3.VOB")
        .arg(dvdFolder)
        .arg(titleSet, 2, 10, QChar(u'0'))
        .arg(part);
}

QString DvdTitleNamingPath(const SourceItem& item) {
    return QStringLiteral("%1DVD_Title_%2.vob").arg(item.dvdFolder).arg(item.titleNumber);
}

bool FindDvdFolder(const QString& chosen, QString* dvdFolder) {
    QString folder = QDir(chosen).absolutePath();
    if (!folder.endsWith(u'/'))
        folder += u'/';
    for (const QString& candidate : {folder + QStringLiteral("VIDEO_TS/"), folder}) {
        if (QFileInfo(DvdPartPath(candidate, 1, 1)).isFile()) {
            *dvdFolder = candidate;
            return true;
        }
    }
    return false;
}

std::vector<int> ScanTitleSets(const QString& dvdFolder) {
    std::vector<int> titleSets;
    qint64 size = 0;
    for (int titleSet = 1; titleSet <= kHighestTitleSet; ++titleSet) {
        if (!platform::GetFileSize(DvdPartPath(dvdFolder, titleSet, 1), &size))
            break;
        if (size >= kSmallestFirstPart)
            titleSets.push_back(titleSet);
    }
    return titleSets;
}

int AddDvdTitle(SourceListModel& list, const QString& dvdFolder, int titleNumber, int titleSet,
                const ToolPaths& tools, int requestAudioIndex) {
    const QString key = SourcePathMap::DvdTitleKey(dvdFolder, titleSet);
    if (list.paths().Contains(key))
        return 0;
    auto item = std::make_unique<SourceItem>();
    item->kind = KindDvdTitle;
    item->titleSet = titleSet;
    item->titleNumber = titleNumber;
    item->dvdFolder = dvdFolder;
    item->needsStaging = true;
    if (!ProbeWithEngine(*item, DvdPartPath(dvdFolder, titleSet, 1), {}, tools))
        return -1;
    // The probe sees the first part only: its duration is not the title's.
    item->duration = 0;
    item->path = QStringLiteral("DVD Title %1").arg(titleNumber);
    return list.AppendSourceRow(std::move(item), requestAudioIndex, key);
}

bool AddDvdFolder(SourceListModel& list, const QString& chosen, const ToolPaths& tools,
                  int requestAudioIndex, QString* warning) {
    QString dvdFolder;
    if (!FindDvdFolder(chosen, &dvdFolder)) {
        *warning = QStringLiteral("Quillmore doesn't find any DVD video files at %1.").arg(chosen);
        return false;
    }
    QString failed;
    int titleNumber = 1;
    for (int titleSet : ScanTitleSets(dvdFolder)) {
        if (AddDvdTitle(list, dvdFolder, titleNumber, titleSet, tools, requestAudioIndex) < 0)
            failed += QStringLiteral("DVD Title %1\n").arg(titleNumber);
        ++titleNumber;
    }
    if (failed.isEmpty())
        return true;
    *warning = QStringLiteral("Failed to load the following DVD Titles.\n\n") + failed;
    return false;
}

QString FormatByteSize(qint64 bytes) {
    const double n = static_cast<double>(bytes);
    if (bytes < 1000)
        return QStringLiteral("%1 B").arg(bytes);
    if (bytes < 1024000)
        return QString::asprintf("%.1f KB", n / 1024);
    if (bytes < 1048576000)
        return QString::asprintf("%.2f MB", n / (1 << 20));
    if (bytes < 1073741824000)
        return QString::asprintf("%.2f GB", n / (1 << 30));
    return QString::asprintf("%.2f TB", n / (qint64{1} << 40));
}

bool EnoughFreeSpace(qint64 partsSize, qint64 freeBytes, const QString& mountPoint,
                     QString* message) {
    const qint64 needed = partsSize + kFreeSpaceReserve;
    if (needed <= freeBytes)
        return true;
    *message = QStringLiteral("%1 free space is required for converting. There isn't enough "
                              "free space on drive %2.")
                   .arg(FormatByteSize(needed), mountPoint);
    return false;
}

StageOutcome StageDvdTitle(const SourceItem& item, QString* stagedFile, QString* message,
                           const StageProgress& progress) {
    stagedFile->clear();
    const Parts parts = CountParts(item.dvdFolder, item.titleSet);
    if (parts.count == 0 || parts.bytes == 0) {
        *message = QStringLiteral("Failed to load from DVD");
        return StageOutcome::Failed;
    }
    const QString name = platform::TemporaryFileName({}, {}, QStringLiteral(".vob"));
    // Nothing is written when the joined file cannot fit; an unknown free space
    // lets the copy try.
    const QStorageInfo storage(QFileInfo(name).absolutePath());
    if (storage.isValid() && storage.isReady() &&
        !EnoughFreeSpace(parts.bytes, storage.bytesAvailable(), storage.rootPath(), message))
        return StageOutcome::Failed;

    QFile joined(name);
    if (!joined.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        *message = QStringLiteral("Failed to create temporary file");
        return StageOutcome::Failed;
    }
    const StageOutcome outcome = JoinParts(item, parts, joined, message, progress);
    joined.close();
    if (outcome != StageOutcome::Staged) {
        joined.remove();
        return outcome;
    }
    progress(100);
    *stagedFile = name;
    return outcome;
}
