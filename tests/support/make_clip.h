#pragma once

#include <QString>
#include <QStringList>

// Makes a media fixture with the engine itself: runs the engine link of the
// program folder with engineArgs (inputs and output options) and dir/name as the
// output. False, with the engine's complaint in *error, when no file came out.
bool MakeClip(const QString& dir, const QString& name, const QStringList& engineArgs,
              QString* error);

// The engine link of the program folder the tests run from.
QString TestEnginePath();
