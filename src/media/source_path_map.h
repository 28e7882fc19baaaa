#pragma once

#include <QHash>
#include <QString>

struct SourceItem;

// The sources in the list by key, so that a source is never added twice and the
// test stays constant-time for lists of thousands of files. A file's key is
// platform::FileKey: every name of one file (links included) gives one key, two
// files give two keys. A DVD title's key names its folder and title set.
class SourcePathMap {
public:
    SourcePathMap() { items_.reserve(3000); }

    // "DVD:" followed by the DVD folder's PathKey and the title set.
    static QString DvdTitleKey(const QString& dvdFolder, int titleSet);

    bool Contains(const QString& key) const { return items_.contains(key); }
    void Insert(const QString& key, SourceItem* item) { items_.insert(key, item); }
    void Remove(const QString& key) { items_.remove(key); }
    void Clear() { items_.clear(); }

private:
    QHash<QString, SourceItem*> items_;
};
