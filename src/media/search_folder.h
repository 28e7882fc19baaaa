#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Whether a file found in a folder search or a drop is taken: every file when the
// filter list is empty, else those whose extension (after the last dot of the
// name, lower-cased) is in the list. A name without an extension is not taken.
bool PassesExtensionFilter(const QString& path, const QStringList& extensionFilter);

// The file rule of folder searches and drops: what the file found adds, or
// nothing. With the filter off every file is taken as it is (a shortcut too);
// with it on, a file that passes it, or else the target of a ".lnk" shortcut
// when that target passes (a shortcut to a shortcut is followed a few times).
std::optional<QString> ApplyFileRule(const QString& path, const QStringList& extensionFilter);

// Appends the files of the folder's tree that the file rule takes: the folder's
// own files first, then each subfolder's tree in turn. Linked folders are not
// entered, so a link back up the tree cannot loop.
void SearchFolder(QStringList& paths, const QString& folder, const QStringList& extensionFilter);

// The paths a drop of these files and folders adds, in their order: a folder's
// search, or a file under the file rule.
QStringList CollectDroppedPaths(const QStringList& dropped, const QStringList& extensionFilter);
