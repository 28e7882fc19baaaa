#pragma once

#include <QString>
#include <QStringList>

// A command line built piece by piece. It keeps two forms of the same command:
// the argument vector the child is started with, never split again, and the
// text shown to people, in logs and in tests, with paths and filters in double
// quotes. Only fixed texts of the program are split at blanks; a value from a
// file name, a setting or a report always stays one argument, whatever it holds.
class CommandLine {
public:
    // Fixed text of the program: blanks separate arguments.
    CommandLine& Append(const QString& fixedText);
    // A value shown in double quotes (a path, a filter chain); part of the
    // argument it touches, never split.
    CommandLine& AppendQuoted(const QString& value);
    // A value shown as it is (a number, an aspect from the settings); part of the
    // argument it touches, never split.
    CommandLine& AppendValue(const QString& value);

    const QString& text() const { return text_; }
    // The program first, then its arguments.
    QStringList arguments() const;

private:
    void AppendAtom(const QString& value);

    QString text_;
    QStringList arguments_;
    QString pending_;
    bool hasPending_ = false;
};
