#include "media/resolve_shortcut.h"

#include "support/qstring_printer.h"
#include "support/shell_link.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ResolveShortcutTest : public ::testing::Test {
protected:
    // The target read from a shortcut holding these bytes; "" when refused.
    QString Resolve(const QByteArray& bytes) {
        const QString path = dir_.filePath("link.lnk");
        EXPECT_TRUE(WriteFile(path, bytes));
        QString target;
        return ResolveShortcut(path, &target) ? target : QString();
    }

    QTemporaryDir dir_;
};

TEST_F(ResolveShortcutTest, GivesTheLocalPathOfWellFormedLinks) {
    const struct {
        const char* what;
        ShellLink link;
        QString expected;
    } cases[] = {
        {"8-bit path", {"/media/clips/e.avi"}, "/media/clips/e.avi"},
        {"UTF-16 path", {"/media/clips/Überfahrt.avi", true}, "/media/clips/Überfahrt.avi"},
        {"after an item list", {"/media/e.avi", false, QByteArray(300, 'x')}, "/media/e.avi"},
        {"with a path suffix", {"/media/", false, {}, "clips/e.avi"}, "/media/clips/e.avi"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Resolve(c.link.Bytes()), c.expected);
    }
}

TEST_F(ResolveShortcutTest, RefusesEveryTruncationOfALink) {
    for (const ShellLink& link :
         {ShellLink{"/media/e.avi", false, QByteArray(40, 'x')}, ShellLink{"/media/e.avi", true}}) {
        const QByteArray whole = link.Bytes();
        ASSERT_EQ(Resolve(whole), "/media/e.avi");
        for (qsizetype size = 0; size < whole.size(); ++size)
            EXPECT_EQ(Resolve(whole.first(size)), "") << "cut at " << size;
    }
}

TEST_F(ResolveShortcutTest, RefusesDamagedLinks) {
    const ShellLink link{"/media/e.avi"};
    const qsizetype info = 0x4C; // no item list: the information block follows the header
    const auto damaged = [&](qsizetype at, quint32 value) {
        QByteArray bytes = link.Bytes();
        ShellLink::Put32(bytes, at, value);
        return bytes;
    };
    QByteArray unterminated = link.Bytes();
    unterminated.chop(2); // the suffix's end and the path's NUL
    ShellLink::Put32(unterminated, info, unterminated.size() - info);
    QByteArray otherClass = link.Bytes();
    otherClass[4] = 0x02;

    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"empty file", {}},
        {"another header size", damaged(0, 0x50)},
        {"another class", otherClass},
        {"no link information", damaged(20, 0x0)},
        {"an item list running past the end", damaged(20, 0x3)},
        {"information larger than the file", damaged(info, 0xFFFFFFF0)},
        {"information too small for its header", damaged(info, 8)},
        {"no local path", damaged(info + 8, 0x2)},
        {"base path offset past the end", damaged(info + 16, 0x7FFFFFFF)},
        {"suffix offset past the end", damaged(info + 24, 0xFFFFFFFF)},
        {"path without its end", unterminated},
        {"text, not a link", "[InternetShortcut]\nURL=file:///media/e.avi\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Resolve(c.bytes), "");
    }
    QString target;
    EXPECT_FALSE(ResolveShortcut(dir_.filePath("missing.lnk"), &target));
    EXPECT_FALSE(ResolveShortcut(dir_.path(), &target));
}

} // namespace
