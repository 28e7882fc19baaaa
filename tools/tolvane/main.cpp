// The Theora tool: writes Ogg Theora/Vorbis files through the engine that lies
// beside it, taking the command-line options of the classic Ogg Theora encoder.

#include "engine/line_splitter.h"
#include "engine/output_line.h"
#include "engine/tool_paths.h"
#include "theora_tool_options.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <algorithm>
#include <cstdio>

namespace {

void PrintLine(const QByteArray& text) {
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    TheoraToolOptions options;
    QString error;
    if (!ParseTheoraToolOptions(app.arguments().mid(1), &options, &error)) {
        PrintLine("tolvane: " + error.toLocal8Bit());
        return 2;
    }

    const QStringList command =
        TheoraEngineCommand(options, ToolPaths::Locate().enginePath).arguments();
    QProcess engine;
    engine.setProcessChannelMode(QProcess::MergedChannels);
    engine.setWorkingDirectory(QDir::currentPath());
    engine.start(command.first(), command.mid(1));
    engine.closeWriteChannel();
    if (!engine.waitForStarted(-1)) {
        PrintLine("tolvane: " + engine.errorString().toLocal8Bit());
        return 1;
    }

    // Positions are reported in the source's time, as the start was skipped.
    const double start = std::max(options.start, 0.0);
    double duration = 0.0;
    QByteArray lastText;
    LineSplitter splitter;
    const auto onLine = [&](QByteArrayView line) {
        qint64 position = 0;
        switch (ReadOutputLine(line, &position)) {
        case OutputLineKind::Progress:
            if (options.frontend)
                PrintLine(FrontendStatusLine(start + position / 1000.0, duration));
            break;
        case OutputLineKind::Text:
            if (duration == 0.0)
                ReadReportDuration(line, &duration);
            lastText = line.toByteArray();
            break;
        case OutputLineKind::Ignored:
            break;
        }
    };
    while (engine.state() != QProcess::NotRunning || engine.bytesAvailable() > 0) {
        engine.waitForReadyRead(1000);
        splitter.Feed(engine.readAll(), onLine);
    }
    splitter.Feed("\n", onLine); // the engine's last words may lack a line end

    if (engine.exitStatus() != QProcess::NormalExit || engine.exitCode() != 0) {
        PrintLine(lastText.isEmpty() ? QByteArray("tolvane: the engine failed") : lastText);
        return 1;
    }
    if (options.frontend)
        PrintLine("{\"result\": \"ok\"}");
    return 0;
}
