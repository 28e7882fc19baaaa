#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class CommandLine;

// Runs a converter to its end on the calling thread, hidden, with its standard
// input at its end, and hands every non-empty console line (standard output and
// errors as one text, without line ends), in order, to onLine. False, with *error
// set when given, when the child cannot be started. A run followed on the event
// loop is an EngineRun.
bool LaunchEngine(const CommandLine& command, const QString& workingDir,
                  const std::function<void(const QByteArray& line)>& onLine,
                  QString* error = nullptr);
