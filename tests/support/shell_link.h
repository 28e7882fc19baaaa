#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>

// Windows shortcut files written the way the shell writes them, for tests: the
// header, an optional item list and a link information block naming a local
// target path.
struct ShellLink {
    QString target;
    bool unicode = false;          // the longer information header with UTF-16 paths
    QByteArray itemList{};         // written when not empty
    QByteArray commonPathSuffix{}; // 8-bit, appended to the target

    static void Put32(QByteArray& bytes, qsizetype at, quint32 value) {
        qToLittleEndian<quint32>(value, bytes.data() + at);
    }

    QByteArray Bytes() const {
        QByteArray bytes(0x4C, '\0');
        Put32(bytes, 0, 0x4C);
        bytes.replace(4, 16,
                      QByteArray::fromHex("0114020000000000c000000000000046")); // the link class
        Put32(bytes, 20, 0x2 | (itemList.isEmpty() ? 0 : 0x1) | (unicode ? 0x80 : 0));
        if (!itemList.isEmpty()) {
            QByteArray size(2, '\0');
            qToLittleEndian<quint16>(static_cast<quint16>(itemList.size()), size.data());
            bytes += size + itemList;
        }
        bytes += Info();
        return bytes;
    }

    QByteArray Info() const {
        const quint32 headerSize = unicode ? 0x24 : 0x1C;
        const QByteArray volumeId = QByteArray(16, '\0'); // a size and nothing behind
        const QByteArray basePath = target.toLocal8Bit() + '\0';
        const QByteArray suffix = commonPathSuffix + '\0';
        QByteArray info(headerSize, '\0');
        const quint32 volumeAt = headerSize;
        const quint32 basePathAt = volumeAt + volumeId.size();
        const quint32 suffixAt = basePathAt + basePath.size();
        info += volumeId + basePath + suffix;
        Put32(info, 4, headerSize);
        Put32(info, 8, 0x1); // a volume and a local base path
        Put32(info, 12, volumeAt);
        Put32(info, 16, basePathAt);
        Put32(info, 24, suffixAt);
        if (unicode) {
            const quint32 unicodeAt = info.size();
            QByteArray utf16(reinterpret_cast<const char*>(target.utf16()), target.size() * 2);
            info += utf16 + QByteArray(2, '\0') + QByteArray(2, '\0');
            Put32(info, 28, unicodeAt);
            Put32(info, 32, unicodeAt + utf16.size() + 2); // an empty suffix
        }
        Put32(info, 0, info.size());
        return info;
    }
};

inline bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
