#pragma once

#include <QString>
#include <QStringList>

// Whether a file found in a folder search or a drop is taken: every file when the
// filter list is empty, else those whose extension (after the last dot of the
// name, lower-cased) is in the list. A name without an extension is not taken.
bool PassesExtensionFilter(const QString& path, const QStringList& extensionFilter);

// Appends the files of the folder's tree that pass the filter: the folder's own
// files first, then each subfolder's tree in turn. Linked folders are not
// entered, so a link back up the tree cannot loop.
void SearchFolder(QStringList& paths, const QString& folder, const QStringList& extensionFilter);
