#include "media/resolve_shortcut.h"

#include "media/media_probe.h"

#include <QByteArray>
#include <QFile>
#include <cstdint>
#include <optional>

namespace {

// A shortcut holds a header, an item list of at most 64 KiB and a short link
// information block: anything much larger is no shortcut.
constexpr qint64 kMaxShortcutSize = 1 << 20;

constexpr uint32_t kHeaderSize = 0x4C;
constexpr char kLinkClassId[] = "\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46";
constexpr uint32_t kHasLinkTargetIdList = 0x1;
constexpr uint32_t kHasLinkInfo = 0x2;
constexpr uint32_t kVolumeIdAndLocalBasePath = 0x1;
// A link information header this long or longer has the Unicode offsets.
constexpr uint32_t kUnicodeLinkInfoHeaderSize = 0x24;

// Little-endian reads that refuse to leave the bytes they were given.
class ByteReader {
public:
    explicit ByteReader(QByteArrayView bytes) : bytes_(bytes) {}

    std::optional<uint32_t> U32(qsizetype at) const { return Unsigned(at, 4); }
    std::optional<uint32_t> U16(qsizetype at) const { return Unsigned(at, 2); }

    // A NUL-terminated string of 8-bit characters starting at `at`.
    std::optional<QString> Text8(qsizetype at) const {
        if (at < 0 || at >= bytes_.size())
            return std::nullopt;
        const qsizetype end = bytes_.indexOf('\0', at);
        if (end < 0)
            return std::nullopt;
        return QString::fromLocal8Bit(bytes_.sliced(at, end - at));
    }
    // A string of UTF-16 units ended by a zero unit, starting at `at`.
    std::optional<QString> Text16(qsizetype at) const {
        QString text;
        for (qsizetype i = at;; i += 2) {
            const std::optional<uint32_t> unit = U16(i);
            if (!unit)
                return std::nullopt;
            if (*unit == 0)
                return text;
            text.append(QChar(static_cast<char16_t>(*unit)));
        }
    }
    QByteArrayView Slice(qsizetype at, qsizetype size) const {
        return at >= 0 && size >= 0 && at <= bytes_.size() && size <= bytes_.size() - at
                   ? bytes_.sliced(at, size)
                   : QByteArrayView();
    }

private:
    std::optional<uint32_t> Unsigned(qsizetype at, int size) const {
        if (at < 0 || at > bytes_.size() - size)
            return std::nullopt;
        uint32_t value = 0;
        for (int i = size - 1; i >= 0; --i)
            value = value << 8 | static_cast<uint8_t>(bytes_[at + i]);
        return value;
    }

    QByteArrayView bytes_;
};

// The local path of a link information block; nullopt when it has none.
std::optional<QString> LocalPath(const ByteReader& info) {
    const auto headerSize = info.U32(4);
    const auto flags = info.U32(8);
    const auto basePathOffset = info.U32(16);
    const auto suffixOffset = info.U32(24);
    if (!headerSize || !flags || !basePathOffset || !suffixOffset ||
        !(*flags & kVolumeIdAndLocalBasePath))
        return std::nullopt;
    std::optional<QString> basePath, suffix;
    if (*headerSize >= kUnicodeLinkInfoHeaderSize) {
        const auto basePathOffsetUnicode = info.U32(28);
        const auto suffixOffsetUnicode = info.U32(32);
        if (!basePathOffsetUnicode || !suffixOffsetUnicode)
            return std::nullopt;
        if (*basePathOffsetUnicode != 0)
            basePath = info.Text16(*basePathOffsetUnicode);
        if (*suffixOffsetUnicode != 0)
            suffix = info.Text16(*suffixOffsetUnicode);
    }
    if (!basePath)
        basePath = info.Text8(*basePathOffset);
    if (!suffix)
        suffix = *suffixOffset != 0 ? info.Text8(*suffixOffset) : QString();
    if (!basePath || !suffix || basePath->isEmpty())
        return std::nullopt;
    return *basePath + *suffix;
}

} // namespace

bool ResolveShortcut(const QString& shortcutPath, QString* target) {
    // Opening a pipe named like a shortcut would wait for a writer.
    if (!IsRegularSourceFile(shortcutPath))
        return false;
    QFile file(shortcutPath);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxShortcutSize)
        return false;
    const QByteArray bytes = file.read(kMaxShortcutSize);
    const ByteReader link(bytes);
    const auto headerSize = link.U32(0);
    const auto flags = link.U32(20);
    if (headerSize != kHeaderSize || !flags ||
        link.Slice(4, 16) != QByteArrayView(kLinkClassId, 16) || !(*flags & kHasLinkInfo))
        return false;
    qsizetype at = kHeaderSize;
    if (*flags & kHasLinkTargetIdList) {
        const auto idListSize = link.U16(at);
        if (!idListSize)
            return false;
        at += 2 + *idListSize;
    }
    const auto infoSize = link.U32(at);
    // The block's own fields run to at least its header's first seven numbers.
    if (!infoSize || *infoSize < 28)
        return false;
    const QByteArrayView infoBytes = link.Slice(at, *infoSize);
    if (infoBytes.isEmpty())
        return false;
    const std::optional<QString> path = LocalPath(ByteReader(infoBytes));
    if (!path)
        return false;
    *target = *path;
    return true;
}
