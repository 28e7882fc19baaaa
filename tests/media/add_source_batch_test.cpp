// The adding batch on real files: probes on a pool of threads, rows in the
// order of the paths.
#include "engine/tool_paths.h"
#include "media/add_source_batch.h"
#include "media/source_list_model.h"
#include "support/make_clip.h"
#include "support/qstring_printer.h"
#include "support/shell_link.h"

#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class AddSourceBatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        QString error;
        ASSERT_TRUE(MakeClip(dir_.path(), "tone.wav",
                             {"-f", "lavfi", "-i", "sine=sample_rate=22050", "-t", "1"}, &error))
            << error.toStdString();
    }
    QString Path(const QString& name) const { return dir_.filePath(name); }
    // count names: the prefix, a number of three digits, the extension.
    static QStringList Numbered(const QString& prefix, int count, const QString& extension) {
        QStringList names;
        for (int i = 0; i < count; ++i)
            names.append(prefix + QStringLiteral("%1.").arg(i, 3, 10, QChar('0')) + extension);
        return names;
    }
    // Copies of the clip under the names; their paths.
    QStringList Copies(const QStringList& names) {
        QStringList paths;
        for (const QString& name : names) {
            EXPECT_TRUE(QFile::copy(Path("tone.wav"), Path(name)));
            paths.append(Path(name));
        }
        return paths;
    }
    // Unreadable files under the names; their paths.
    QStringList Unreadable(const QStringList& names) {
        QStringList paths;
        for (const QString& name : names) {
            EXPECT_TRUE(WriteFile(Path(name), "not a medium\n"));
            paths.append(Path(name));
        }
        return paths;
    }
    void Run(AddSourceBatch& batch, const QStringList& paths) {
        QEventLoop loop;
        QObject::connect(&batch, &AddSourceBatch::Finished, &loop, &QEventLoop::quit);
        batch.Start(paths);
        loop.exec();
        EXPECT_FALSE(batch.IsRunning());
    }
    QStringList RowPaths() const {
        QStringList paths;
        for (int row = 0; row < list_.rowCount(); ++row)
            paths.append(list_.Item(row)->path);
        return paths;
    }

    QTemporaryDir dir_;
    ToolPaths tools_ = ToolPaths::Locate();
    MediaProbe probe_ = MediaProbe::Choose(tools_);
    SourceListModel list_;
};

TEST_F(AddSourceBatchTest, AppendsRowsInTheOrderOfThePathsWhateverThePoolFinishesFirst) {
    const QStringList good = Copies({"c.wav", "a.wav", "Track01.wav", "b.wav", "A.wav"});
    const QStringList bad = Unreadable({"bad.mp4"});
    ASSERT_EQ(QProcess::execute("mkfifo", {Path("pipe.wav")}), 0);
    for (const int threads : {1, 4}) {
        SCOPED_TRACE(threads);
        list_.RemoveAllRows();
        AddSourceBatch first(list_, probe_, 1);
        first.SetThreadCount(threads);
        Run(first, {good[0], good[1]});

        // Duplicates of rows already there, and within the batch, are refused
        // silently; failures are counted; a pipe does not hold the batch up.
        const QStringList paths = {
            good[2], bad[0], good[0], Path("pipe.wav"), good[3], good[2], Path("./sub/../b.wav"),
            good[4]};
        AddSourceBatch batch(list_, probe_, 1);
        batch.SetThreadCount(threads);
        QSignalSpy progress(&batch, &AddSourceBatch::Progress);
        QSignalSpy finished(&batch, &AddSourceBatch::Finished);
        Run(batch, paths);

        EXPECT_EQ(RowPaths(), (QStringList{good[0], good[1], good[2], good[3], good[4]}));
        ASSERT_EQ(progress.size(), paths.size());
        for (int i = 0; i < progress.size(); ++i) {
            EXPECT_EQ(progress[i][0].toInt(), i + 1);
            EXPECT_EQ(progress[i][1].toInt(), paths.size());
        }
        EXPECT_EQ(progress[3][2].toString(), "[4/8] Adding file pipe.wav...");
        EXPECT_EQ(finished.size(), 1);
        EXPECT_FALSE(batch.WasCancelled());
        ASSERT_EQ(batch.FailedCount(), 2);
        EXPECT_EQ(batch.FailedFiles()[0].path, bad[0]);
        EXPECT_EQ(batch.FailedFiles()[1].path, Path("pipe.wav"));
        EXPECT_TRUE(batch.FailedFiles()[1].reason.contains("not a regular file"));

        // A batch with nothing to probe still ends.
        AddSourceBatch again(list_, probe_, 1);
        Run(again, {good[0], good[0]});
        EXPECT_EQ(list_.rowCount(), 5);
        EXPECT_EQ(again.FailedCount(), 0);
    }
}

TEST_F(AddSourceBatchTest, TheFailureMessageListsThirtyPathsAndTheHintThatFits) {
    const QStringList bad = Unreadable(Numbered("bad", 40, "mp4"));
    QString listed;
    for (int i = 0; i < 30; ++i)
        listed += bad[i] + "\n";
    const QString head = "Failed to load the following files.\n\n";
    const QString support = "\nTo get help, please forward us one or more files above via "
                            "https://quillmore.org/quillmore/support/upload and send a message to "
                            "<support@quillmore.org>.";
    {
        AddSourceBatch batch(list_, probe_, 1);
        Run(batch, bad);
        EXPECT_EQ(batch.FailureMessage(), head + listed + "<more files>...\n" + support);
    }
    const QStringList tracks = Copies({"Track01.cda"});
    {
        AddSourceBatch batch(list_, probe_, 1);
        Run(batch, {bad[0], tracks[0]});
        EXPECT_EQ(batch.FailureMessage(),
                  head + bad[0] + "\n" + tracks[0] + "\n" +
                      "\nIMPORTANT: please DO NOT add CDA file from hard drive, but from CD "
                      "drive directly.");
    }
    {
        ToolPaths missing = tools_;
        missing.enginePath = Path("no-engine/mervane");
        AddSourceBatch batch(list_, MediaProbe(missing, MediaProbe::Method::Engine), 1);
        Run(batch, {tracks[0], Path("tone.wav")});
        EXPECT_EQ(batch.FailureMessage(), head + tracks[0] + "\n" + Path("tone.wav") + "\n" +
                                              "\nSome files of the program are missing or "
                                              "corrupted. Please reinstall the program.");
    }
    {
        AddSourceBatch batch(list_, probe_, 1);
        Run(batch, {Path("tone.wav")});
        EXPECT_EQ(batch.FailureMessage(), "");
        EXPECT_EQ(list_.rowCount(), 1);
    }
}

TEST_F(AddSourceBatchTest, CancelStopsAfterTheCurrentFile) {
    const QStringList paths = Copies(Numbered("", 200, "wav"));

    AddSourceBatch batch(list_, probe_, 1);
    QObject::connect(&batch, &AddSourceBatch::Progress, &batch, [&](int number) {
        if (number == 5)
            batch.Cancel();
    });
    QSignalSpy progress(&batch, &AddSourceBatch::Progress);
    Run(batch, paths);
    EXPECT_TRUE(batch.WasCancelled());
    EXPECT_EQ(RowPaths(), paths.first(5));
    EXPECT_EQ(progress.size(), 5);
    EXPECT_EQ(batch.FailedCount(), 0);

    // A batch that goes away while its probes run drops them.
    SourceListModel other;
    auto abandoned = std::make_unique<AddSourceBatch>(other, probe_, 1);
    abandoned->Start(paths);
    abandoned.reset();
    EXPECT_EQ(other.rowCount(), 0);
}

} // namespace
