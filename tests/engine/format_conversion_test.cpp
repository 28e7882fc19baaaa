#include "app/format_catalog.h"
#include "engine/engine_command_builder.h"
#include "engine/launch_engine.h"
#include "engine/output_line.h"
#include "engine/theora_command_builder.h"
#include "engine/tool_paths.h"
#include "support/make_clip.h"
#include "support/probe_row.h"
#include "support/probed_video.h"
#include "support/qstring_printer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

struct ConsoleRun {
    QByteArrayList lines;
    bool started = false;
};

ConsoleRun RunCommand(const CommandLine& command) {
    ConsoleRun run;
    run.started =
        LaunchEngine(command, QString(), [&](const QByteArray& line) { run.lines.append(line); });
    return run;
}

CommandLine EngineCommand(const QString& fixedText) {
    CommandLine command;
    command.AppendQuoted(ToolPaths::Locate().enginePath).Append(fixedText);
    return command;
}

// The engine's report on a file, told the raw formats it cannot recognise.
CommandLine Probe(const QString& path) {
    const QString forced = ForcedInputFormat(QFileInfo(path).suffix().toLower());
    CommandLine probe = EngineCommand(" -hide_banner");
    if (!forced.isEmpty())
        probe.Append(" -f " + forced);
    probe.Append(" -i ").AppendQuoted(path);
    return probe;
}

bool ReadsBack(const QString& path) {
    return QFileInfo(path).size() > 0 &&
           RunCommand(Probe(path)).lines.join('\n').contains("Stream #");
}

// The engine leaves what it wrote before it gave up: its own verdict counts too.
bool Failed(const ConsoleRun& run) {
    return !run.started || run.lines.contains("Conversion failed!");
}

bool Converts(const CommandLine& command, const QString& output) {
    return !Failed(RunCommand(command)) && ReadsBack(output);
}

// Every format of the catalogue with its default parameters, converting a clip
// with sound that the engine makes first, then reading each output back.
class FormatConversionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new QTemporaryDir;
        clip_ = dir_->filePath("clip source.mp4");
        QString error;
        ASSERT_TRUE(MakeClip(dir_->path(), "clip source.mp4",
                             {"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=2", "-f",
                              "lavfi", "-i", "sine=frequency=440:duration=2:sample_rate=44100",
                              "-ac", "2", "-shortest", "-c:v", "mpeg4", "-c:a", "aac"},
                             &error))
            << error.toStdString();
    }
    static void TearDownTestSuite() { delete dir_; }

    static SourceMedia Clip() { return ProbedVideo(clip_, 160, 120, 2); }

    // Encoder names the installed engine offers.
    static QSet<QByteArray> Encoders() {
        QSet<QByteArray> names;
        for (const QByteArray& line : RunCommand(EngineCommand(" -hide_banner -encoders")).lines) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() >= 2 && fields[0].size() == 6)
                names.insert(fields[1]);
        }
        return names;
    }

    static QTemporaryDir* dir_;
    static QString clip_;
};

QTemporaryDir* FormatConversionTest::dir_ = nullptr;
QString FormatConversionTest::clip_;

struct Outcome {
    QString command;
    QString output;
    bool failed = false;
    bool written = false;
    bool readBack = false;
    bool theoraInOgg = false;
    int statusLines = 0;
    QByteArray lastLine;
    // The output's row as the probe inside the program and the engine give it.
    QString inProcessRow;
    QString engineRow;
};

TEST_F(FormatConversionTest, EveryFormatConvertsAClipWithSoundUnlessItsEncoderIsMissing) {
    const QSet<QByteArray> encoders = Encoders();
    ASSERT_TRUE(encoders.contains("libx264"));
    const auto engineLacks = [&](const QString& codec) {
        if (codec.isEmpty())
            return false;
        const QByteArray name =
            codec == "h264bp" || codec == "h264mp" ? QByteArray("libx264") : codec.toLatin1();
        return !encoders.contains(name);
    };

    FormatCatalog catalog;
    const ToolPaths tools = ToolPaths::Locate();
    const auto& formats = catalog.formats();
    std::vector<Outcome> outcomes(formats.size());
    std::atomic<size_t> next{0};
    const auto worker = [&] {
        for (size_t i = next++; i < formats.size(); i = next++) {
            OutputFormat& format = *formats[i];
            Outcome& outcome = outcomes[i];
            SourceMedia item = Clip();
            ConvertSettings settings;
            const QString folder = dir_->filePath(QString::number(format.id));
            QDir().mkpath(folder);
            item.outputPath = folder + "/clip." + format.extension;
            const CommandLine command =
                format.usesTheoraTool
                    ? BuildTheoraCommand(item, format, settings, tools.theoraToolPath)
                    : BuildEngineCommand(item, format, settings, tools.enginePath);
            outcome.command = command.text();
            outcome.output = item.outputPath;
            const ConsoleRun run = RunCommand(command);
            for (const QByteArray& line : run.lines) {
                qint64 position = 0;
                if (ReadOutputLine(line, &position) == OutputLineKind::Progress &&
                    line.startsWith("{\""))
                    ++outcome.statusLines;
                else
                    outcome.lastLine = line;
            }
            outcome.failed = Failed(run);
            outcome.written = QFileInfo(item.outputPath).size() > 0;
            if (!outcome.written)
                continue;
            const ConsoleRun report = RunCommand(Probe(item.outputPath));
            for (const QByteArray& line : report.lines) {
                outcome.readBack = outcome.readBack || line.contains("Stream #");
                outcome.theoraInOgg = outcome.theoraInOgg || line.contains("Video: theora");
            }
            outcome.theoraInOgg =
                outcome.theoraInOgg && report.lines.join('\n').contains("Input #0, ogg");
            outcome.inProcessRow =
                ProbeRow(outcome.output, MediaProbe(tools, MediaProbe::Method::InProcess));
            outcome.engineRow =
                ProbeRow(outcome.output, MediaProbe(tools, MediaProbe::Method::Engine));
        }
    };
    std::thread second(worker);
    worker();
    second.join();

    int failuresExpected = 0;
    for (size_t i = 0; i < formats.size(); ++i) {
        const OutputFormat& format = *formats[i];
        const Outcome& outcome = outcomes[i];
        SCOPED_TRACE(QStringLiteral("format %1: %2\nlast line: %3")
                         .arg(format.id)
                         .arg(outcome.command, QString::fromLocal8Bit(outcome.lastLine))
                         .toStdString());
        const bool lacking =
            (format.HasVideoCodecs() && format.VideoEnable == 1 &&
             engineLacks(format.VideoCodec)) ||
            (format.HasAudioCodecs() && format.AudioEnable == 1 && engineLacks(format.AudioCodec));
        if (lacking) {
            ++failuresExpected;
            EXPECT_FALSE(outcome.written);
            continue;
        }
        EXPECT_FALSE(outcome.failed);
        EXPECT_TRUE(outcome.written);
        EXPECT_TRUE(outcome.readBack);
        EXPECT_EQ(outcome.inProcessRow, outcome.engineRow);
        if (format.usesTheoraTool) {
            EXPECT_TRUE(outcome.theoraInOgg);
            EXPECT_GT(outcome.statusLines, 0);
        }
    }
    // Debian's engine lacks the AMR encoders of the 3GP, 3G2 and AMR defaults.
    EXPECT_LE(failuresExpected, 3);
}

TEST_F(FormatConversionTest, MendedOptionsWorkWithTheInstalledEngine) {
    const ToolPaths tools = ToolPaths::Locate();
    FormatCatalog catalog;

    // Deinterlacing, a volume, resync, crop, rotation and padding at once.
    {
        OutputFormat format = *catalog.FindById(80);
        format.VideoWidth = 320;
        format.VideoHeight = 320;
        format.AddPadding = 1;
        format.AudioVolume = 50;
        ConvertSettings settings;
        settings.VideoDeinterlace = 1;
        settings.FixAudioUnsync = 1;
        settings.CropPictures = 1;
        settings.CropLeft = 10;
        settings.RotateFlip = 1;
        SourceMedia item = Clip();
        item.outputPath = dir_->filePath("filters.mp4");
        const CommandLine command = BuildEngineCommand(item, format, settings, tools.enginePath);
        ASSERT_TRUE(command.text().contains("yadif"));
        ASSERT_TRUE(command.text().contains("-af \"volume=0.50,aresample=async=1\""));
        EXPECT_TRUE(Converts(command, item.outputPath)) << command.text().toStdString();
    }

    // VP8 and VP9 in quality mode.
    for (const char* codec : {"libvpx", "libvpx-vp9"}) {
        OutputFormat format = *catalog.FindById(195);
        format.VideoCodec = codec;
        format.VideoVBREnabled = 1;
        ConvertSettings settings;
        SourceMedia item = Clip();
        item.outputPath = dir_->filePath(QStringLiteral("quality %1.webm").arg(codec));
        const CommandLine command = BuildEngineCommand(item, format, settings, tools.enginePath);
        EXPECT_TRUE(Converts(command, item.outputPath)) << command.text().toStdString();
    }

    // The PAL sizes of DV, DVD and VCD, the formats' NTSC frame rate left as it is.
    for (const auto& [id, height] : {std::pair{60, 576}, std::pair{65, 576}, std::pair{180, 288}}) {
        OutputFormat format = *catalog.FindById(id);
        format.VideoHeight = height;
        ConvertSettings settings;
        SourceMedia item = Clip();
        item.outputPath = dir_->filePath(QStringLiteral("pal %1.%2").arg(id).arg(format.extension));
        const CommandLine command = BuildEngineCommand(item, format, settings, tools.enginePath);
        EXPECT_TRUE(Converts(command, item.outputPath)) << command.text().toStdString();
    }

    // A 4:4:4 picture into the baseline profile of a device.
    {
        const QString source = dir_->filePath("full chroma.mkv");
        QString error;
        ASSERT_TRUE(MakeClip(dir_->path(), "full chroma.mkv",
                             {"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=1",
                              "-c:v", "ffv1", "-pix_fmt", "yuv444p"},
                             &error))
            << error.toStdString();
        SourceMedia item = Clip();
        item.path = source;
        item.extension = "mkv";
        item.audioStreamIds.clear();
        item.audioChannels.clear();
        item.audioSampleRates.clear();
        item.outputPath = dir_->filePath("baseline.mp4");
        OutputFormat format = *catalog.FindById(516);
        ConvertSettings settings;
        const CommandLine command = BuildEngineCommand(item, format, settings, tools.enginePath);
        EXPECT_TRUE(Converts(command, item.outputPath)) << command.text().toStdString();
    }

    // A joined list naming its files by absolute paths.
    {
        const QString list = dir_->filePath("list.txt");
        QFile file(list);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(("file '" + clip_ + "'\nfile '" + clip_ + "'\n").toUtf8());
        file.close();
        SourceMedia item = Clip();
        item.kind = KindJoinedList;
        item.path = list;
        item.extension = "txt";
        item.outputPath = dir_->filePath("joined.avi");
        OutputFormat format = *catalog.FindById(40);
        ConvertSettings settings;
        const CommandLine command = BuildEngineCommand(item, format, settings, tools.enginePath);
        EXPECT_TRUE(Converts(command, item.outputPath)) << command.text().toStdString();
    }
}

// A percent sign in a name or folder is the engine's placeholder unless escaped:
// every picture must carry the name as it is, numbered from 1 with no gap, and
// nothing else may land in the folder.
TEST_F(FormatConversionTest, PictureSequencesKeepPercentSignsOfTheirNames) {
    const ToolPaths tools = ToolPaths::Locate();
    FormatCatalog catalog;
    for (const QString base : {"100%", "pct%d", "%03d%s%%"}) {
        SCOPED_TRACE(base.toStdString());
        const QString folder = dir_->filePath("50% of " + QString(base).replace(u'%', u'p'));
        ASSERT_TRUE(QDir().mkpath(folder));
        const QString source = dir_->filePath(base + ".mp4");
        ASSERT_TRUE(QFile::exists(source) || QFile::copy(clip_, source));
        SourceMedia item = Clip();
        item.path = source;
        item.outputPath = folder + "/" + base + ".jpg";
        OutputFormat format = *catalog.FindById(710);
        ConvertSettings settings;
        const CommandLine command = BuildEngineCommand(item, format, settings, tools.enginePath);
        ASSERT_FALSE(Failed(RunCommand(command))) << command.text().toStdString();

        EXPECT_EQ(item.outputPath, folder + "/" + base + "_01.jpg");
        const QStringList written = QDir(folder).entryList(QDir::Files, QDir::Name);
        ASSERT_GE(written.size(), 40);
        for (qsizetype i = 0; i < written.size(); ++i)
            EXPECT_EQ(written[i],
                      QStringLiteral("%1_%2.jpg").arg(base).arg(i + 1, 2, 10, QChar('0')));
    }
}

} // namespace
