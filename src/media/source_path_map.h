#pragma once

#include <QHash>
#include <QString>

struct SourceItem;

// The sources in the list by key, so that a source is never added twice and the
// test stays constant-time for lists of thousands of files. A key names the
// source as the file system does: two paths that reach one file give one key,
// two files give two keys.
class SourcePathMap {
public:
    SourcePathMap() { items_.reserve(3000); }

    // The absolute path, upper-cased only where the file system ignores case.
    static QString FileKey(const QString& path);
    // "DVD:" followed by the DVD folder and the title set, under the same rule.
    static QString DvdTitleKey(const QString& dvdFolder, int titleSet);

    bool Contains(const QString& key) const { return items_.contains(key); }
    void Insert(const QString& key, SourceItem* item) { items_.insert(key, item); }
    void Remove(const QString& key) { items_.remove(key); }
    void Clear() { items_.clear(); }

private:
    QHash<QString, SourceItem*> items_;
};
