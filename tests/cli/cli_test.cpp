// quillmore-cli as a person runs it: a separate process with its own home, the
// real engine and files made at test time.
#include "support/make_clip.h"
#include "support/qstring_printer.h"
#include "support/source_fixtures.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <vector>

namespace {

struct Result {
    int exitCode = -1;
    QString out;
    QString err;
};

class CliTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        clips_ = new QTemporaryDir;
        const std::pair<QString, QStringList> clips[] = {
            // The four worked examples' sources.
            {"clip.mp4",
             {"-f", "lavfi", "-i", "color=c=blue:size=1280x720:rate=25", "-t", "10", "-c:v",
              "mpeg4"}},
            {"trip.avi",
             {"-f", "lavfi", "-i", "testsrc=size=640x480:rate=30000/1001", "-f", "lavfi", "-i",
              "sine=sample_rate=44100", "-ac", "2", "-t", "1", "-c:v", "mpeg4", "-c:a", "mp3"}},
            {"song.wav", {"-f", "lavfi", "-i", "sine=sample_rate=48000", "-ac", "2", "-t", "1"}},
            {"small.mp4",
             {"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25", "-t", "1", "-c:v", "mpeg4"}},
        };
        for (const auto& [name, args] : clips) {
            QString error;
            ASSERT_TRUE(MakeClip(clips_->path(), name, args, &error)) << error.toStdString();
        }
    }
    static void TearDownTestSuite() {
        delete clips_;
        clips_ = nullptr;
    }

    static QString Clip(const QString& name) { return clips_->filePath(name); }
    QString Path(const QString& name) const { return dir_.filePath(name); }
    static QString Program() { return QCoreApplication::applicationDirPath() + "/quillmore-cli"; }

    // Runs the companion in a home of its own, so it reads only the settings
    // written there.
    Result Run(const QStringList& arguments) {
        QProcess cli;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", home_.path());
        environment.remove("XDG_CONFIG_HOME");
        cli.setProcessEnvironment(environment);
        cli.start(Program(), arguments);
        EXPECT_TRUE(cli.waitForFinished(120000));
        return {cli.exitCode(), QString::fromUtf8(cli.readAllStandardOutput()),
                QString::fromUtf8(cli.readAllStandardError())};
    }

    QStringList IntoOut() const {
        return {"--set", "DestOutputFolderOpt=399", "--set", "DestSpecifiedFolder=" + Path("out")};
    }

    static QTemporaryDir* clips_;
    QTemporaryDir home_;
    QTemporaryDir dir_;
};

QTemporaryDir* CliTest::clips_ = nullptr;

TEST_F(CliTest, DryRunPrintsTheCommandsOfTheWorkedExamples) {
    const QString engine = "\"" + QCoreApplication::applicationDirPath() + "/mervane\"";
    const QString out = Path("out");
    const struct {
        QStringList arguments;
        QString command;
    } cases[] = {
        {{"--format", "710", Clip("clip.mp4")},
         engine + " -i \"" + Clip("clip.mp4") +
             "\" -dn -sn -f image2 -c:v mjpeg -s 1280x720 -aspect 1280:720 -q:v 2 -r 25.000 -an "
             "-y \"" +
             out + "/clip_%03d.jpg\""},
        {{"--format", "80", Clip("trip.avi")},
         engine + " -i \"" + Clip("trip.avi") +
             "\" -dn -sn -movflags faststart -c:v libx264 -preset medium -s 640x480 -aspect "
             "640:480 -crf 26 -r 29.970 -c:a aac -strict -2 -cutoff 21000 -ar 44100 -ac 2 -b:a "
             "128000 -y \"" +
             out + "/trip.mp4\""},
        {{"--format", "1160", Clip("song.wav")},
         engine + " -i \"" + Clip("song.wav") +
             "\" -dn -sn -c:v mjpeg -q:v 2 -c:a libmp3lame -id3v2_version 3 -ar 48000 -ac 2 -b:a "
             "192000 -y \"" +
             out + "/song.mp3\""},
    };
    for (const auto& c : cases) {
        const Result result = Run(QStringList{"convert", "--dry-run"} + IntoOut() + c.arguments);
        EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
        EXPECT_EQ(result.out, c.command + "\n");
    }

    // Joined from the sources themselves: the list file is a fresh temporary name.
    const Result joined =
        Run(QStringList{"convert", "--dry-run", "--format", "40", "--set", "NormalizeFile=0",
                        "--to-one", Path("joined.avi"), Clip("trip.avi"), Clip("trip.avi")} +
            IntoOut());
    EXPECT_EQ(joined.exitCode, 0) << joined.err.toStdString();
    const QRegularExpression expected(
        "^" + QRegularExpression::escape(engine + " -f concat -safe 0 -i \"") + "[^\"]+\\.txt" +
        QRegularExpression::escape("\" -dn -sn -c:v msmpeg4v2 -s 640x480 -aspect 640:480 -q:v 5 "
                                   "-r 29.970 -c:a libmp3lame -ar 44100 -ac 2 -b:a 128000 -y \"" +
                                   Path("joined.avi") + "\"\n") +
        "$");
    EXPECT_TRUE(expected.match(joined.out).hasMatch()) << joined.out.toStdString();
    // Nothing was started, nothing written.
    EXPECT_FALSE(QFile::exists(Path("joined.avi")));
    EXPECT_TRUE(QDir(out).entryList(QDir::Files).isEmpty());

    // A source that gets no command is told as a run would end it, and fails the run.
    ASSERT_TRUE(QDir().mkpath(out));
    QFile taken(out + "/song.mp3");
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.close();
    const Result skipped =
        Run(QStringList{"convert", "--dry-run", "--format", "1160", "--set", "TargetExistsOpt=33",
                        Clip("song.wav"), Clip("trip.avi")} +
            IntoOut());
    EXPECT_EQ(skipped.exitCode, 1);
    const QStringList lines = skipped.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << skipped.out.toStdString();
    EXPECT_TRUE(lines[0].endsWith("/trip.mp3\"")) << lines[0].toStdString();
    EXPECT_EQ(lines[1], "Target exists and skipped\t" + Clip("song.wav"));
}

TEST_F(CliTest, ConvertReportsEachSourceAndExitsByTheWorstOutcome) {
    QFile::copy(Clip("small.mp4"), Path("a.mp4"));
    QFile bad(Path("bad.mp4"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a video");
    bad.close();

    const QStringList beside = {"--set", "DestOutputFolderOpt=199"};
    const Result good = Run(QStringList{"convert", "--format", "110", Path("a.mp4")} + beside);
    EXPECT_EQ(good.exitCode, 0) << good.err.toStdString();
    EXPECT_TRUE(good.out.endsWith("a_1.mp4\t" + Path("a.mp4") + "\t" + Path("a_1.mp4") + "\n"))
        << good.out.toStdString();
    EXPECT_TRUE(good.out.contains("a.mp4: Initialize...")); // plain lines: not a terminal
    EXPECT_TRUE(QFile::exists(Path("a_1.mp4")));

    // Skip with the output there already: refused for that source.
    const Result skipped = Run(QStringList{"convert", "--format", "110", "--set",
                                           "TargetExistsOpt=33", Path("a.mp4"), Path("bad.mp4")} +
                               beside);
    EXPECT_EQ(skipped.exitCode, 1);
    EXPECT_TRUE(skipped.err.contains("cannot load \"" + Path("bad.mp4") + "\": "));
    EXPECT_TRUE(skipped.err.contains("Failed to load the following files.\n\n" + Path("bad.mp4") +
                                     "\n\nTo get help"))
        << skipped.err.toStdString();
    EXPECT_TRUE(skipped.out.endsWith("Target exists and skipped\t" + Path("a.mp4") + "\n"))
        << skipped.out.toStdString();

    // The whole folder, searched as the main window does.
    const Result folder = Run({"probe", dir_.path()});
    EXPECT_EQ(folder.exitCode, 1);
    EXPECT_EQ(folder.out.count('\n'), 2); // a.mp4 and a_1.mp4; bad.mp4 on standard error
    EXPECT_TRUE(folder.out.contains("a.mp4\t00:01\t160\t120\t25.00\t"));
}

// The engine runs in the program folder; a relative output folder typed for the
// companion still means one below the folder it was started in.
TEST_F(CliTest, RelativeOutputFolderIsTheOneBelowTheCurrentFolder) {
    ASSERT_TRUE(QDir().mkpath(Path("work")));
    const QString started = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(Path("work")));
    const Result result = Run({"convert", "--format", "110", "--set", "DestOutputFolderOpt=399",
                               "--set", "DestSpecifiedFolder=rel/out", Clip("small.mp4")});
    QDir::setCurrent(started);
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_GT(QFileInfo(Path("work/rel/out/small.mp4")).size(), 0);
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(Program()).path() + "/rel"));
}

TEST_F(CliTest, ProbeTakesDvdFoldersCdTracksAndDwvwFiles) {
    QString error;
    ASSERT_TRUE(MakeDvdFolder(dir_.path(), {1.5, 0.3, 1.5}, &error)) << error.toStdString();
    ASSERT_TRUE(QDir(dir_.path()).mkdir("cd"));
    ASSERT_TRUE(MakeCdImage(Path("cd"), {DistinctPcm(75 * 4, 1)}, &error)) << error.toStdString();
    // libsndfile writes DWVW of one channel only.
    ASSERT_TRUE(MakeClip(dir_.path(), "mono.wav",
                         {"-f", "lavfi", "-i", "sine=sample_rate=48000", "-t", "1"}, &error))
        << error.toStdString();
    ASSERT_TRUE(RunTool("sndfile-convert", {"-dwvw16", Path("mono.wav"), Path("song.aifc")},
                        Path("song.aifc"), &error))
        << error.toStdString();

    const Result probe = Run({"probe", Path("dvd"), Path("cd/Track01.cda"), Path("song.aifc")});
    EXPECT_EQ(probe.exitCode, 0) << probe.err.toStdString();
    const QStringList rows = probe.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 4) << probe.out.toStdString();
    // The title set under 1 MiB between them is a menu, not a title.
    EXPECT_TRUE(rows[0].startsWith("DVD Title 1\t\t352\t240\t29.97\t"));
    EXPECT_TRUE(rows[1].startsWith("DVD Title 2\t\t352\t240\t"));
    EXPECT_EQ(rows[2], "Track01.cda\t00:04\t\t\t\t\t44100 Hz\t1411 kbps\tStereo\t");
    EXPECT_TRUE(rows[3].startsWith("song.aifc\t00:01\t\t\t\t\t48000 Hz\t"));
    EXPECT_TRUE(rows[3].endsWith("\tMono\t"));

    // From inside the DVD's video folder the same titles, once.
    const Result again = Run({"probe", Path("dvd"), Path("dvd/VIDEO_TS")});
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_EQ(again.out.count('\n'), 2);
}

TEST_F(CliTest, CustomGroupsAreChosenByTheirChooserIds) {
    {
        // The store as the main window leaves it: two groups, the second one chosen.
        QSettings store(home_.filePath(".config/Quillmore 3/Quillmore.conf"), QSettings::IniFormat);
        store.setValue("CustomOutFormats/COF1Name", "Stills");
        store.setValue("CustomOutFormats/COF1FIDs", "755,");
        store.setValue("CustomOutFormats/COF2Name", "Sound");
        store.setValue("CustomOutFormats/COF2FIDs", "1160,");
        store.setValue("Options/OutputFormat", 21002);
    }
    const QStringList dryRun = QStringList{"convert", "--dry-run"} + IntoOut();
    const Result stored = Run(dryRun + QStringList{Clip("song.wav")});
    EXPECT_EQ(stored.exitCode, 0) << stored.err.toStdString();
    EXPECT_TRUE(stored.out.endsWith("/song.mp3\"\n")) << stored.out.toStdString();

    const Result first = Run(dryRun + QStringList{"--format", "21001", Clip("small.mp4")});
    EXPECT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_TRUE(first.out.endsWith("/small_%02d.png\"\n")) << first.out.toStdString();

    EXPECT_EQ(Run(dryRun + QStringList{"--format", "21000", Clip("small.mp4")}).exitCode, 2);
    EXPECT_EQ(Run(dryRun + QStringList{"--format", "21003", Clip("small.mp4")}).exitCode, 2);
}

TEST_F(CliTest, UsageErrorsAndTheFormatList) {
    const Result formats = Run({"formats"});
    EXPECT_EQ(formats.exitCode, 0);
    const QStringList lines = formats.out.split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), 79);
    EXPECT_EQ(lines.value(0), "10\t1\t3g2\t to 3G2");

    const QStringList usage[] = {
        {},
        {"transmogrify"},
        {"convert"},
        {"convert", "--bogus", Clip("small.mp4")},
        {"convert", "--set", "NoSuchSetting=1", Clip("small.mp4")},
        {"convert", "--set", "ConversionThreads=many", Clip("small.mp4")},
        {"convert", "--format", "12345", Clip("small.mp4")},
        {"convert", "--format", "-1", Clip("small.mp4")},
        {"convert", "--format"},
        {"convert", "--to-one", "", Clip("small.mp4")},
        {"convert", "--"},
        {"probe"},
    };
    for (const QStringList& arguments : usage) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const Result result = Run(arguments);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_TRUE(result.out.isEmpty());
        EXPECT_FALSE(result.err.isEmpty());
    }
    const Result help = Run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("--dry-run"));
}

TEST_F(CliTest, InterruptCancelsLikeTheCancelButton) {
    QFile::copy(Clip("clip.mp4"), Path("long.mp4"));
    QFile::copy(Clip("clip.mp4"), Path("long2.mp4"));
    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home_.path());
    cli.setProcessEnvironment(environment);
    // 250 pictures of 1280x720: the first run is still writing them when the
    // interrupt comes, once its first picture is there.
    cli.start(Program(), {"convert", "--format", "710", "--set", "ConversionThreads=1", "--set",
                          "DestOutputFolderOpt=199", Path("long.mp4"), Path("long2.mp4")});
    ASSERT_TRUE(cli.waitForStarted());
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(Path("long_002.jpg")) && waited.elapsed() < 30000)
        QThread::msleep(2);
    ASSERT_TRUE(QFile::exists(Path("long_002.jpg")));
    QProcess::execute("kill", {"-INT", QString::number(cli.processId())});
    ASSERT_TRUE(cli.waitForFinished(30000));
    const QByteArray seen = cli.readAllStandardOutput();
    EXPECT_EQ(cli.exitCode(), 130);
    EXPECT_TRUE(seen.contains("Cancelled\t" + Path("long.mp4").toUtf8())) << seen.toStdString();
    EXPECT_TRUE(seen.endsWith("\t" + Path("long2.mp4").toUtf8() + "\n"));
    // Every picture of the cancelled run is gone, not only its first.
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), (QStringList{"long.mp4", "long2.mp4"}));
}

// Names are shown, never obeyed: control characters come out escaped, so a
// name cannot move the terminal nor break a column, and after "--" a name that
// looks like an option is a name.
TEST_F(CliTest, HostileNamesAreShownEscapedAndDashDashEndsTheOptions) {
    const QString odd = Path("-tab\there\x1b[31mred\nline.mp4");
    ASSERT_TRUE(QFile::copy(Clip("small.mp4"), odd));
    const Result probe = Run({"probe", "--", odd});
    EXPECT_EQ(probe.exitCode, 0) << probe.err.toStdString();
    const QString shown = Path("-tab\\there\\x1b[31mred\\nline.mp4");
    EXPECT_TRUE(probe.out.startsWith(QFileInfo(shown).fileName() + "\t"))
        << probe.out.toStdString();
    EXPECT_EQ(probe.out.count('\n'), 1);
    EXPECT_EQ(probe.out.count('\t'), 9); // ten columns
    EXPECT_FALSE(probe.out.contains(QChar(0x1b)));

    const Result converted =
        Run(QStringList{"convert", "--format", "110"} + IntoOut() + QStringList{"--", odd});
    EXPECT_EQ(converted.exitCode, 0) << converted.err.toStdString();
    EXPECT_TRUE(
        converted.out.endsWith(shown + "\t" + Path("out/") + QFileInfo(shown).fileName() + "\n"))
        << converted.out.toStdString();
    EXPECT_FALSE(converted.out.contains(QChar(0x1b)));
}

// Without the engine beside it, the companion says which file is missing.
TEST_F(CliTest, AMissingEngineIsNamed) {
    const QString alone = Path("quillmore-cli");
    ASSERT_TRUE(QFile::copy(Program(), alone));
    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home_.path());
    cli.setProcessEnvironment(environment);
    cli.start(alone, {"probe", Clip("small.mp4")});
    ASSERT_TRUE(cli.waitForFinished(60000));
    const QString err = QString::fromUtf8(cli.readAllStandardError());
    EXPECT_TRUE(err.contains("the engine \"" + Path("mervane") + "\" is missing"))
        << err.toStdString();
}

// A joined file named on the command line follows the collision setting, and an
// existing one is never lost to a join that does not happen.
TEST_F(CliTest, ToOneTargetFollowsTheCollisionSetting) {
    QFile old(Path("joined.avi"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    const QStringList join = {"convert",
                              "--format",
                              "40",
                              "--set",
                              "NormalizeFile=0",
                              "--to-one",
                              Path("joined.avi"),
                              Clip("trip.avi"),
                              Clip("trip.avi")};

    const Result skipped = Run(join + QStringList{"--set", "TargetExistsOpt=33"});
    EXPECT_EQ(skipped.exitCode, 1);
    EXPECT_TRUE(skipped.err.contains("Target exists and skipped")) << skipped.err.toStdString();
    const Result renamed = Run(join + QStringList{"--set", "TargetExistsOpt=11"});
    EXPECT_EQ(renamed.exitCode, 0) << renamed.err.toStdString();
    EXPECT_GT(QFileInfo(Path("joined_1.avi")).size(), 1000);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old");
    old.close();

    const Result replaced = Run(join + QStringList{"--set", "TargetExistsOpt=22"});
    EXPECT_EQ(replaced.exitCode, 0) << replaced.err.toStdString();
    EXPECT_GT(QFileInfo(Path("joined.avi")).size(), 1000);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"joined.avi", "joined_1.avi"}));
}

// Two runs into one folder at once: each claims a name of its own, and both
// outputs are whole.
TEST_F(CliTest, TwoProcessesIntoOneFolderNeverShareAnOutput) {
    QProcess first, second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home_.path());
    const QStringList arguments =
        QStringList{"convert", "--format", "110", Clip("small.mp4")} + IntoOut();
    for (QProcess* cli : {&first, &second}) {
        cli->setProcessEnvironment(environment);
        cli->start(Program(), arguments);
    }
    for (QProcess* cli : {&first, &second}) {
        ASSERT_TRUE(cli->waitForFinished(60000));
        EXPECT_EQ(cli->exitCode(), 0) << cli->readAllStandardError().toStdString();
    }
    EXPECT_EQ(QDir(Path("out")).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"small.mp4", "small_1.mp4"}));
    for (const QString name : {"small.mp4", "small_1.mp4"})
        EXPECT_GT(QFileInfo(Path("out/" + name)).size(), 1000) << name.toStdString();
}

// The processes whose parent is pid.
std::vector<qint64> ChildrenOf(qint64 pid) {
    std::vector<qint64> children;
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
        QFile stat("/proc/" + entry + "/stat");
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ...": the name may hold blanks, the rest never does.
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[1].toLongLong() == pid)
            children.push_back(entry.toLongLong());
    }
    return children;
}

// A killed engine leaves a plausible, truncated file: the run is a failure all the
// same, its reason says how the engine ended, and no output is named.
TEST_F(CliTest, KilledEngineFailsTheRunAndNamesTheSignal) {
    QFile::copy(Clip("clip.mp4"), Path("long.mp4"));
    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home_.path());
    cli.setProcessEnvironment(environment);
    cli.start(Program(),
              {"convert", "--format", "710", "--set", "DestOutputFolderOpt=199", Path("long.mp4")});
    ASSERT_TRUE(cli.waitForStarted());
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(Path("long_002.jpg")) && waited.elapsed() < 30000)
        QThread::msleep(2);
    const std::vector<qint64> engines = ChildrenOf(cli.processId());
    ASSERT_EQ(engines.size(), 1u);
    QProcess::execute("kill", {"-KILL", QString::number(engines.front())});
    ASSERT_TRUE(cli.waitForFinished(30000));
    const QString seen = QString::fromUtf8(cli.readAllStandardOutput());
    EXPECT_EQ(cli.exitCode(), 1);
    EXPECT_TRUE(seen.endsWith("Conversion failure (the engine was killed by signal 9)\t" +
                              Path("long.mp4") + "\n"))
        << seen.toStdString();
    EXPECT_FALSE(seen.contains("long_001.jpg"));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"long.mp4"});
}

// Gone, or a zombie nobody has reaped yet: it runs no more.
bool ProcessEnded(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray text = stat.readAll();
    return text.mid(text.lastIndexOf(')') + 2, 1) == "Z";
}

// However the companion is asked to end, or killed outright, its engine ends
// with it; asked politely, it cancels in order and leaves no temporary file.
TEST_F(CliTest, EndRequestsCancelCleanlyAndNoEngineOutlivesTheProgram) {
    QFile::copy(Clip("clip.mp4"), Path("long.mp4"));
    QFile::copy(Clip("clip.mp4"), Path("long2.mp4"));
    const struct {
        const char* signal;
        int exitCode; // -1: killed, no exit code of its own
    } cases[] = {{"-TERM", 143}, {"-HUP", 129}, {"-KILL", -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.signal);
        const QString temporary = Path(QStringLiteral("tmp%1").arg(c.signal));
        ASSERT_TRUE(QDir().mkpath(temporary));
        QProcess cli;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", home_.path());
        environment.insert("TMPDIR", temporary);
        cli.setProcessEnvironment(environment);
        // Normalised first: intermediate files and a list file are on disk.
        cli.start(Program(),
                  QStringList{"convert", "--format", "40", "--set", "NormalizeFile=1", "--to-one",
                              Path("joined.avi"), Path("long.mp4"), Path("long2.mp4")} +
                      IntoOut());
        ASSERT_TRUE(cli.waitForStarted());
        QElapsedTimer waited;
        waited.start();
        std::vector<qint64> engines;
        while ((engines.empty() || QDir(Path("out")).entryList({"*.ts"}, QDir::Files).isEmpty()) &&
               waited.elapsed() < 30000) {
            QThread::msleep(5);
            engines = ChildrenOf(cli.processId());
        }
        ASSERT_FALSE(engines.empty());
        QProcess::execute("kill", {c.signal, QString::number(cli.processId())});
        ASSERT_TRUE(cli.waitForFinished(30000));
        waited.restart();
        while (!ProcessEnded(engines.front()) && waited.elapsed() < 10000)
            QThread::msleep(5);
        EXPECT_TRUE(ProcessEnded(engines.front()));
        if (c.exitCode < 0) {
            EXPECT_EQ(cli.exitStatus(), QProcess::CrashExit);
            continue;
        }
        EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(cli.exitCode(), c.exitCode);
        EXPECT_TRUE(QDir(Path("out")).entryList(QDir::Files | QDir::Hidden).isEmpty());
        EXPECT_TRUE(QDir(temporary).entryList(QDir::Files | QDir::Hidden).isEmpty());
        EXPECT_FALSE(QFile::exists(Path("joined.avi")));
    }
}

// Whether the process catches SIGINT yet: its handler is in place.
bool CatchesInterrupt(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return line.mid(7).trimmed().toULongLong(nullptr, 16) & 0x2;
    }
    return false;
}

TEST_F(CliTest, InterruptWhileAddingStopsTheBatch) {
    // Enough sources that the adding still runs when the interrupt comes.
    constexpr int kSources = 400;
    for (int i = 0; i < kSources; ++i)
        ASSERT_TRUE(QFile::copy(Clip("small.mp4"), Path(QStringLiteral("%1.mp4").arg(i))));

    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home_.path());
    cli.setProcessEnvironment(environment);
    cli.start(Program(), {"convert", "--format", "710", dir_.path()});
    ASSERT_TRUE(cli.waitForStarted());
    QElapsedTimer waited;
    waited.start();
    while (!CatchesInterrupt(cli.processId()) && waited.elapsed() < 30000)
        QThread::msleep(1);
    QProcess::execute("kill", {"-INT", QString::number(cli.processId())});
    ASSERT_TRUE(cli.waitForFinished(30000));

    EXPECT_EQ(cli.exitCode(), 130);
    // Nothing was converted, nothing failed to load.
    EXPECT_TRUE(cli.readAllStandardOutput().isEmpty());
    EXPECT_TRUE(cli.readAllStandardError().isEmpty());
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), kSources);
}

} // namespace
