#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class CommandLine;
class QObject;
struct SourceMedia;

// Every run of a converter starts here, hidden, with its standard input at its
// end and its standard output and errors read as one console text.

// Runs the command to its end on the calling thread and hands every non-empty
// console line (without its line end), in order, to onLine. False, with *error
// set when given, when the child cannot be started.
bool LaunchEngine(const CommandLine& command, const QString& workingDir,
                  const std::function<void(const QByteArray& line)>& onLine,
                  QString* error = nullptr);

// Starts the command at the given priority class and returns at once. The child
// goes into item.process, and a reader thread posts WM_ENGINE_PROGRESS events and
// one WM_ENGINE_FINISHED event to the receiver. False, with *error set, item.process
// empty and nothing posted, when the child cannot be started.
bool LaunchEngine(const CommandLine& command, const QString& workingDir, SourceMedia& item,
                  int priorityClass, QObject* receiver, QString* error);
