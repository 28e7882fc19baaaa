#include "media/search_folder.h"

#include "media/resolve_shortcut.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Enough for any honest chain of shortcuts; a loop of them ends here.
constexpr int kMaxShortcutHops = 8;

QString Extension(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1);
}

} // namespace

bool PassesExtensionFilter(const QString& path, const QStringList& extensionFilter) {
    if (extensionFilter.isEmpty())
        return true;
    const QString extension = Extension(path);
    return !extension.isNull() && extensionFilter.contains(extension.toLower());
}

std::optional<QString> ApplyFileRule(const QString& path, const QStringList& extensionFilter) {
    QString candidate = path;
    for (int hop = 0; hop <= kMaxShortcutHops; ++hop) {
        if (PassesExtensionFilter(candidate, extensionFilter))
            return candidate;
        if (Extension(candidate).compare(QLatin1String("lnk"), Qt::CaseInsensitive) != 0 ||
            !ResolveShortcut(candidate, &candidate))
            return std::nullopt;
    }
    return std::nullopt;
}

void SearchFolder(QStringList& paths, const QString& folder, const QStringList& extensionFilter) {
    // Folders in pre-order first, then the files of each: no recursion into the
    // file listing.
    QStringList folders{QDir(folder).absolutePath()};
    for (qsizetype i = 0; i < folders.size(); ++i) {
        const QFileInfoList subfolders =
            QDir(folders[i])
                .entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks,
                               QDir::Unsorted);
        qsizetype insertAt = i + 1;
        for (const QFileInfo& subfolder : subfolders)
            folders.insert(insertAt++, subfolder.absoluteFilePath());
    }
    for (const QString& each : folders) {
        const QFileInfoList files =
            QDir(each).entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted);
        for (const QFileInfo& file : files) {
            if (const auto taken = ApplyFileRule(file.absoluteFilePath(), extensionFilter))
                paths.append(*taken);
        }
    }
}

QStringList CollectDroppedPaths(const QStringList& dropped, const QStringList& extensionFilter) {
    QStringList paths;
    for (const QString& each : dropped) {
        if (QFileInfo(each).isDir())
            SearchFolder(paths, each, extensionFilter);
        else if (const auto taken = ApplyFileRule(each, extensionFilter))
            paths.append(*taken);
    }
    return paths;
}
