#include "media/search_folder.h"

#include <QDir>
#include <QFileInfo>

bool PassesExtensionFilter(const QString& path, const QStringList& extensionFilter) {
    if (extensionFilter.isEmpty())
        return true;
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot >= 0 && extensionFilter.contains(name.mid(dot + 1).toLower());
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
            if (PassesExtensionFilter(file.absoluteFilePath(), extensionFilter))
                paths.append(file.absoluteFilePath());
        }
    }
}
