// quillmore-cli: the command-line companion. It reads the settings of the
// desktop program (and never writes them), adds sources as the main window does
// and runs the same conversion controller, with the terminal as its front end.

#include "app/format_catalog.h"
#include "app/settings_store.h"
#include "cli/cli_front_end.h"
#include "convert/conversion_controller.h"
#include "convert/custom_group_entry.h"
#include "engine/tool_paths.h"
#include "media/add_source_batch.h"
#include "media/dvd_titles.h"
#include "media/media_probe.h"
#include "media/search_folder.h"
#include "media/source_list_model.h"
#include "platform/interrupt_notifier.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>

namespace {

// Ended by a signal's request (Ctrl+C, a closed terminal, a kill): 128 + its number.
enum ExitCode { kSucceeded = 0, kFailed = 1, kUsageError = 2, kEndedBySignal = 128 };

const char kHelp[] =
    "Usage:\n"
    "  quillmore-cli formats\n"
    "  quillmore-cli probe PATH...\n"
    "  quillmore-cli convert [--format ID] [--to-one FILE] [--set NAME=VALUE]... [--dry-run] [--] "
    "PATH...\n"
    "  quillmore-cli --help\n"
    "\n"
    "formats   One line per output format, in the chooser's order: id, category number,\n"
    "          extension and the chooser's text, separated by tabs.\n"
    "probe     Adds the paths as the main window does (folders are searched, with the\n"
    "          extension filter when it is on; a DVD folder, or the folder holding its\n"
    "          VIDEO_TS folder, gives one source per title) and prints one line per\n"
    "          source with its ten column texts, separated by tabs. Files that cannot be\n"
    "          loaded are named on standard error.\n"
    "convert   Adds the paths, then converts every source as \"Convert\" does, with the\n"
    "          settings of Quillmore. While it runs it shows each job's status and the\n"
    "          overall percent; at the end it prints each source's final status and path,\n"
    "          and the full path of its output when it wrote one, separated by tabs.\n"
    "          Ctrl+C (SIGINT), SIGTERM and SIGHUP cancel as the progress window's\n"
    "          Cancel does. \"--\" ends the options.\n"
    "  --format ID         the output format (see \"formats\"; 21001 for the first custom\n"
    "                      group, 21002 for the second, ...); the stored choice by default\n"
    "  --to-one FILE       join every source into FILE, as \"Convert to One\" does\n"
    "  --set NAME=VALUE    use VALUE for the setting NAME in this run only: a name of the\n"
    "                      options (DestSpecifiedFolder, TargetExistsOpt, RotateFlip,\n"
    "                      ConversionThreads, ...) or of a format's parameter\n"
    "                      (H264VideoBitRate, ...); may be repeated\n"
    "  --dry-run           plan every job and print the command each run would start,\n"
    "                      one per line, without starting any; then each source that\n"
    "                      gets no command, with its final status and path\n"
    "\n"
    "Exit codes: 0 every job succeeded; 1 a job failed, was skipped or was refused, or a\n"
    "source could not be loaded; 2 usage error; 130, 143, 129 cancelled by SIGINT,\n"
    "SIGTERM, SIGHUP.\n";

QTextStream& Out() {
    static QTextStream out(stdout);
    return out;
}

QTextStream& Err() {
    static QTextStream err(stderr);
    return err;
}

int UsageError(const QString& message) {
    Err() << "quillmore-cli: " << message << "\nTry \"quillmore-cli --help\".\n";
    return kUsageError;
}

// Everything the desktop program would have loaded at its start.
struct Session {
    FormatCatalog catalog;
    ConvertSettings settings;
    std::vector<CustomFormat> customGroups;
    ToolPaths tools = ToolPaths::Locate();
    MediaProbe probe = MediaProbe::Choose(tools);

    Session() {
        SettingsStore store;
        store.LoadSettings(settings, catalog);
        store.LoadCustomFormats(customGroups);
        // Every failure that follows would only say the program is damaged.
        if (!QFileInfo(tools.enginePath).isFile()) {
            Err() << "quillmore-cli: the engine \"" << Printable(tools.enginePath)
                  << "\" is missing\n";
            Err().flush();
        }
    }
};

int ListFormats() {
    const FormatCatalog catalog;
    for (const auto& format : catalog.formats()) {
        Out() << format->id << '\t' << static_cast<int>(format->category) << '\t'
              << format->extension << '\t' << format->ChooserText() << '\n';
    }
    return kSucceeded;
}

// Adds the paths through the batch of the main window, folders searched as its
// folder command does and DVD folders as its DVD command does. Returns the number of files that
// could not be loaded; they are named on standard error, each with its reason, then in the failure
// message the window would show. With interrupt given, Ctrl+C stops the adding
// after the current file.
int AddPaths(SourceListModel& model, const QStringList& arguments, const Session& session,
             const platform::InterruptNotifier* interrupt = nullptr) {
    QStringList paths;
    int failedDvds = 0;
    QString dvdFolder;
    for (const QString& argument : arguments) {
        if (FindDvdFolder(argument, &dvdFolder)) {
            QString warning;
            if (!AddDvdFolder(model, argument, session.tools, session.settings.RequestAudioIndex,
                              &warning)) {
                Err() << warning.trimmed() << '\n';
                ++failedDvds;
            }
        } else if (QFileInfo(argument).isDir()) {
            SearchFolder(paths, argument, session.settings.extensionFilter);
        } else {
            paths.append(argument);
        }
    }
    AddSourceBatch batch(model, session.probe, session.settings.RequestAudioIndex);
    QEventLoop loop;
    QObject::connect(&batch, &AddSourceBatch::Finished, &loop, &QEventLoop::quit);
    if (interrupt) {
        QObject::connect(interrupt, &platform::InterruptNotifier::Interrupted, &batch,
                         &AddSourceBatch::Cancel);
    }
    batch.Start(paths);
    loop.exec();
    for (const AddSourceBatch::FailedFile& file : batch.FailedFiles())
        Err() << "quillmore-cli: cannot load \"" << Printable(file.path) << "\": " << file.reason
              << '\n';
    if (batch.FailedCount() > 0)
        Err() << batch.FailureMessage() << '\n';
    Err().flush();
    return failedDvds + batch.FailedCount();
}

int Probe(QStringList arguments) {
    if (!arguments.isEmpty() && arguments.first() == QLatin1String("--"))
        arguments.removeFirst();
    if (arguments.isEmpty())
        return UsageError(QStringLiteral("probe needs at least one path"));
    Session session;
    SourceListModel model;
    const int failed = AddPaths(model, arguments, session);
    for (int row = 0; row < model.rowCount(); ++row) {
        QStringList texts;
        for (int column = 0; column < SourceListModel::ColumnCount; ++column)
            texts.append(Printable(model.CellText(row, column)));
        Out() << texts.join(u'\t') << '\n';
    }
    return failed > 0 ? kFailed : kSucceeded;
}

struct ConvertOptions {
    int formatId = -1; // the stored choice when not given
    QString joinedTarget;
    QStringList settings; // NAME=VALUE
    bool dryRun = false;
    QStringList paths;
};

bool ParseConvertOptions(const QStringList& arguments, ConvertOptions* options, QString* message) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--")) {
            options->paths += arguments.mid(i + 1); // names that start with "-" too
            break;
        }
        const bool takesValue = argument == QLatin1String("--format") ||
                                argument == QLatin1String("--to-one") ||
                                argument == QLatin1String("--set");
        if (takesValue && i + 1 >= arguments.size()) {
            *message = argument + QStringLiteral(" needs a value");
            return false;
        }
        if (argument == QLatin1String("--format")) {
            bool isNumber = false;
            options->formatId = arguments[++i].toInt(&isNumber);
            if (!isNumber || options->formatId < 0) {
                *message =
                    QStringLiteral("--format takes a format id, not \"%1\"").arg(arguments[i]);
                return false;
            }
        } else if (argument == QLatin1String("--to-one")) {
            options->joinedTarget = arguments[++i];
            if (options->joinedTarget.isEmpty()) {
                *message = QStringLiteral("--to-one needs a file name");
                return false;
            }
        } else if (argument == QLatin1String("--set")) {
            options->settings.append(arguments[++i]);
        } else if (argument == QLatin1String("--dry-run")) {
            options->dryRun = true;
        } else if (argument.startsWith(u'-') && argument.size() > 1) {
            *message = QStringLiteral("unknown option \"%1\"").arg(argument);
            return false;
        } else {
            options->paths.append(argument);
        }
    }
    if (options->paths.isEmpty()) {
        *message = QStringLiteral("convert needs at least one path");
        return false;
    }
    return true;
}

// The chooser entry of a format id: a catalogue format, or a custom group.
OutputFormat* ChooserEntry(int id, Session& session, OutputFormat* groupEntry) {
    if (OutputFormat* format = session.catalog.FindById(id))
        return format;
    const int group = id - kFirstCustomGroupId;
    if (group < 0 || group >= static_cast<int>(session.customGroups.size()))
        return nullptr;
    *groupEntry = CustomGroupEntry(session.customGroups[group], group);
    return groupEntry;
}

// Each row's final status and path, then the full path of what it wrote when it
// wrote something. After a dry run only the rows that got no command are told,
// with the status a run would have ended them with.
void ReportRows(const SourceListModel& model, bool dryRun) {
    for (int row = 0; row < model.rowCount(); ++row) {
        const JobState state = model.RowJobState(row);
        if (dryRun && (state == JobState::None || state == JobState::Succeeded))
            continue;
        Out() << Printable(model.CellText(row, SourceListModel::ColumnStatus)) << '\t'
              << Printable(model.Item(row)->path);
        const QString& output = model.Item(row)->outputPath;
        if (state == JobState::Succeeded && !dryRun && !output.isEmpty())
            Out() << '\t' << Printable(output);
        Out() << '\n';
    }
}

// Success needs every job to have succeeded and one at least to have run; a
// row without a job (a custom group's own) counts for nothing.
int ExitCode(const SourceListModel& model, bool nothingElseFailed, int interruptedBy) {
    if (interruptedBy != 0)
        return kEndedBySignal + interruptedBy;
    bool anySucceeded = false;
    for (int row = 0; row < model.rowCount(); ++row) {
        const JobState state = model.RowJobState(row);
        if (state == JobState::Succeeded)
            anySucceeded = true;
        else if (state != JobState::None)
            return kFailed;
    }
    return nothingElseFailed && anySucceeded ? kSucceeded : kFailed;
}

int Convert(const QStringList& arguments) {
    ConvertOptions options;
    QString message;
    if (!ParseConvertOptions(arguments, &options, &message))
        return UsageError(message);

    Session session;
    for (const QString& setting : options.settings) {
        const qsizetype equals = setting.indexOf(u'=');
        if (equals <= 0)
            return UsageError(QStringLiteral("--set takes NAME=VALUE, not \"%1\"").arg(setting));
        if (!SettingsStore::SetValueByName(setting.left(equals), setting.mid(equals + 1),
                                           session.settings, session.catalog, &message))
            return UsageError(message);
    }
    session.settings.RebuildExtensionFilter();
    OutputFormat groupEntry;
    const int formatId = options.formatId >= 0 ? options.formatId : session.settings.SelectedFormat;
    OutputFormat* format = ChooserEntry(formatId, session, &groupEntry);
    if (!format)
        return UsageError(QStringLiteral("no output format has the id %1").arg(formatId));

    SourceListModel model;
    CliFrontEnd frontEnd(model, options.dryRun ? CliFrontEnd::Display::CommandsOnly
                                : platform::StandardOutputIsTerminal()
                                    ? CliFrontEnd::Display::LiveLine
                                    : CliFrontEnd::Display::PlainLines);
    frontEnd.SetJoinedTarget(options.joinedTarget);
    ConversionController controller(model, session.catalog, session.settings, session.tools,
                                    frontEnd);
    controller.SetDryRun(options.dryRun);
    frontEnd.Follow(controller);

    int interruptedBy = 0; // the signal that asked to end, 0 when none
    platform::InterruptNotifier interrupt;
    QObject::connect(&interrupt, &platform::InterruptNotifier::Interrupted, [&](int signalNumber) {
        if (interruptedBy == 0)
            interruptedBy = signalNumber;
        controller.Cancel();
    });

    const int failedToLoad = AddPaths(model, options.paths, session, &interrupt);
    if (interruptedBy != 0)
        return kEndedBySignal + interruptedBy;

    QEventLoop loop;
    QObject::connect(&controller, &ConversionController::BatchEnded, &loop, &QEventLoop::quit);
    controller.Start(format, false, !options.joinedTarget.isEmpty());
    if (controller.IsBusy())
        loop.exec();

    ReportRows(model, options.dryRun);
    return ExitCode(model, failedToLoad == 0 && !frontEnd.MessageShown(), interruptedBy);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.isEmpty())
        return UsageError(QStringLiteral("no command given"));
    const QString command = arguments.takeFirst();
    if (command == QLatin1String("--help") || command == QLatin1String("-h") ||
        arguments.contains(QLatin1String("--help"))) {
        Out() << kHelp;
        return kSucceeded;
    }
    if (command == QLatin1String("formats"))
        return arguments.isEmpty() ? ListFormats()
                                   : UsageError(QStringLiteral("formats takes no arguments"));
    if (command == QLatin1String("probe"))
        return Probe(arguments);
    if (command == QLatin1String("convert"))
        return Convert(arguments);
    return UsageError(QStringLiteral("unknown command \"%1\"").arg(command));
}
