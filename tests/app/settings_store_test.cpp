#include "app/settings_store.h"

#include "platform/shell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtEndian>
#include <gtest/gtest.h>
#include <limits>

namespace {

// Records what would have been opened on the desktop.
class RecordingShell final : public platform::Shell {
public:
    bool Open(const QString& pathOrUrl) override {
        opened.append(pathOrUrl);
        return true;
    }
    QStringList opened;
};

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { RawStore().clear(); }
    void TearDown() override { RawStore().clear(); }

    static QSettings RawStore() { return QSettings("Quillmore 3", "Quillmore"); }
};

TEST_F(SettingsStoreTest, EmptyStoreKeepsEveryDefault) {
    // The test's own home: its Documents folder is not there yet.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    ASSERT_FALSE(QFileInfo::exists(documents));
    ConvertSettings settings;
    FormatCatalog catalog;
    SettingsStore().LoadSettings(settings, catalog);

    EXPECT_EQ(settings.SelectedFormat, 710);
    EXPECT_EQ(settings.ConversionThreads, 2);
    EXPECT_EQ(settings.ConversionPriority, kPriorityNormal);
    EXPECT_EQ(settings.TargetExistsOpt, kTargetExistsRename);
    EXPECT_EQ(settings.DestOutputFolderOpt, kOutputToSpecifiedFolder);
    EXPECT_EQ(settings.DestSpecifiedFolder, documents);
    EXPECT_FALSE(QFileInfo::exists(documents)); // made by the first output written there
    EXPECT_EQ(catalog.FindById(80)->VideoVBRQuality, 26);
}

TEST_F(SettingsStoreTest, SavedGroupsLoadBackAndOnlyTheNamedGroupIsWritten) {
    ConvertSettings saved;
    FormatCatalog savedCatalog;
    saved.SelectedFormat = 1160;
    saved.ConversionThreads = 4;
    saved.DestSpecifiedFolder = "/srv/out put";
    saved.FilterExts = "MP4,,avi, mkv";
    saved.EnableExtFilter = 1;
    saved.CropLeft = 6;
    savedCatalog.FindById(80)->VideoBitRate = 1500000;
    savedCatalog.FindById(80)->VideoFrameRate = 23.976;
    savedCatalog.FindById(80)->VideoAspect = "16:9";

    SettingsStore store;
    store.SaveSettings(kSettingsGeneralState, saved, savedCatalog);
    {
        ConvertSettings loaded;
        FormatCatalog catalog;
        SettingsStore().LoadSettings(loaded, catalog);
        EXPECT_EQ(loaded.SelectedFormat, 1160);
        EXPECT_EQ(loaded.ConversionThreads, 4);
        EXPECT_NE(loaded.DestSpecifiedFolder, "/srv/out put"); // an option: not in this group
        EXPECT_EQ(catalog.FindById(80)->VideoBitRate, 0);
    }

    store.SaveSettings(kSettingsOptions, saved, savedCatalog);
    ConvertSettings loaded;
    FormatCatalog catalog;
    SettingsStore().LoadSettings(loaded, catalog);
    EXPECT_EQ(loaded.DestSpecifiedFolder, "/srv/out put");
    EXPECT_EQ(loaded.FilterExts, "MP4,,avi, mkv");
    EXPECT_EQ(loaded.extensionFilter, (QStringList{"mp4", "avi", " mkv"}));
    EXPECT_EQ(loaded.CropLeft, 6);
    EXPECT_EQ(catalog.FindById(80)->VideoBitRate, 1500000);
    EXPECT_DOUBLE_EQ(catalog.FindById(80)->VideoFrameRate, 23.976);
    EXPECT_EQ(catalog.FindById(80)->VideoAspect, "16:9");

    // The frame rate is kept as 8 little-endian bytes.
    const QByteArray rate = RawStore().value("Options/H264VideoFrameRate").toByteArray();
    ASSERT_EQ(rate.size(), 8);
    EXPECT_DOUBLE_EQ(qFromLittleEndian<double>(rate.constData()), 23.976);
}

TEST_F(SettingsStoreTest, VideoOggAndAudioOggShareTheirAudioValues) {
    FormatCatalog catalog;
    catalog.FindById(130)->AudioBitRate = 64000;
    catalog.FindById(1180)->AudioBitRate = 128000;
    SettingsStore().SaveSettings(kSettingsOptions, ConvertSettings(), catalog);

    ConvertSettings settings;
    FormatCatalog loaded;
    SettingsStore().LoadSettings(settings, loaded);
    // Written last in catalogue order, the audio format's value wins for both.
    EXPECT_EQ(loaded.FindById(130)->AudioBitRate, 128000);
    EXPECT_EQ(loaded.FindById(1180)->AudioBitRate, 128000);
}

TEST_F(SettingsStoreTest, LoadingCorrectsCropThreadsAndRetiredAudioCodecs) {
    {
        QSettings raw = RawStore();
        raw.setValue("Options/CropLeft", -4);
        raw.setValue("Options/CropTop", 7);
        raw.setValue("Options/ConversionThreads", 0);
        raw.setValue("Options/MP4AudioCodec", "libvo_aacenc");
        raw.setValue("Options/H264AudioCodec", "libfaac");
        // Eight bytes, but no frame rate: an endless value.
        QByteArray endless(sizeof(double), '\0');
        qToLittleEndian(std::numeric_limits<double>::infinity(), endless.data());
        raw.setValue("Options/JPGVideoFrameRate", endless);
    }
    ConvertSettings settings;
    FormatCatalog catalog;
    SettingsStore().LoadSettings(settings, catalog);
    EXPECT_EQ(settings.CropLeft, 0);
    EXPECT_EQ(settings.CropTop, 8);
    EXPECT_EQ(settings.ConversionThreads, 1);
    EXPECT_EQ(catalog.FindById(110)->AudioCodec, "aac");
    EXPECT_EQ(catalog.FindById(80)->AudioCodec, "aac");
    EXPECT_DOUBLE_EQ(catalog.FindById(710)->VideoFrameRate,
                     FormatCatalog().FindById(710)->VideoFrameRate);

    RawStore().setValue("Options/ConversionThreads", 500);
    SettingsStore().LoadSettings(settings, catalog);
    EXPECT_EQ(settings.ConversionThreads, 32);
}

// The engine runs in the program folder: a relative output folder must reach it
// as the folder below the current one that the person meant.
TEST_F(SettingsStoreTest, RelativeOutputFoldersBecomeAbsoluteAgainstTheCurrentFolder) {
    const QString here = QDir::currentPath();
    const struct {
        QString stored;
        QString loaded;
    } cases[] = {
        {"frames", here + "/frames"},
        {"../up/frames/", here + "/../up/frames/"},
        {"/srv/frames", "/srv/frames"},
        {"", ""}, // nothing to plan in: the planner's refusal names no folder
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        RawStore().setValue("Options/DestSpecifiedFolder", c.stored);
        ConvertSettings settings;
        FormatCatalog catalog;
        SettingsStore().LoadSettings(settings, catalog);
        EXPECT_EQ(settings.DestSpecifiedFolder, c.loaded);

        QString message;
        settings.DestSpecifiedFolder = "/elsewhere";
        EXPECT_TRUE(SettingsStore::SetValueByName("DestSpecifiedFolder", c.stored, settings,
                                                  catalog, &message));
        EXPECT_EQ(settings.DestSpecifiedFolder, c.loaded);
    }
}

// A codec the format does not offer would leave its stream out of every output.
TEST_F(SettingsStoreTest, UnknownCodecNamesKeepTheCodecTheFormatHad) {
    {
        QSettings raw = RawStore();
        raw.setValue("Options/H264VideoCodec", "libx246");
        raw.setValue("Options/MKVAudioCodec", "vorbis");
        raw.setValue("Options/MKVVideoCodec", "libx265");
        raw.setValue("Options/H265AudioCodec", "");
        raw.setValue("Options/MP4AudioCodec", "libfaac"); // retired, read as its successor
    }
    ConvertSettings settings;
    FormatCatalog catalog;
    catalog.FindById(80)->VideoCodec = "h264mp";
    SettingsStore().LoadSettings(settings, catalog);
    EXPECT_EQ(catalog.FindById(80)->VideoCodec, "h264mp");
    EXPECT_EQ(catalog.FindById(90)->AudioCodec, "libvorbis");
    EXPECT_EQ(catalog.FindById(90)->VideoCodec, "libx265");
    EXPECT_EQ(catalog.FindById(82)->AudioCodec, "aac");
    EXPECT_EQ(catalog.FindById(110)->AudioCodec, "aac");
}

TEST_F(SettingsStoreTest, GarbageFileLoadsWithoutHarmKeepingDefaults) {
    const QString path = RawStore().fileName();
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QByteArray garbage = "[Options]\nConversionThreads=lots\nOutputFormat=@ByteArray(\\xff)\n"
                         "H264VideoFrameRate=@ByteArray(abc)\nH264VideoWidth=\nCropLeft=3\n"
                         "[[[\n=\n\xff\xfe\x00\x01 junk\nH264VideoCodec=@Variant(\\0\\0\\0\\x7f)\n";
    for (int i = 0; i < 256; ++i)
        garbage.append(static_cast<char>((i * 37) % 256));
    file.write(garbage);
    file.close();

    ConvertSettings settings;
    FormatCatalog catalog;
    SettingsStore().LoadSettings(settings, catalog);
    EXPECT_EQ(settings.ConversionThreads, 2);
    EXPECT_EQ(settings.SelectedFormat, 710);
    EXPECT_EQ(settings.CropLeft, 4);
    EXPECT_DOUBLE_EQ(catalog.FindById(80)->VideoFrameRate, -1.0);
    EXPECT_EQ(catalog.FindById(80)->VideoWidth, 0);
    EXPECT_EQ(catalog.FindById(80)->VideoCodec, "libx264");
}

TEST_F(SettingsStoreTest, CustomGroupsRoundTripAndStopAtTheFirstMissingName) {
    const std::vector<CustomFormat> groups = {
        {"Stills", {710, 755}}, {"Empty", {}}, {"Audio, too", {1160, 1160, 1090}}};
    SettingsStore().SaveCustomFormats(groups);
    EXPECT_EQ(RawStore().value("CustomOutFormats/COF1FIDs").toString(), "710,755,");

    std::vector<CustomFormat> loaded = {{"stale", {1}}};
    SettingsStore().LoadCustomFormats(loaded);
    // The group without formats is dropped; the one after it still loads.
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[0].name, "Stills");
    EXPECT_EQ(loaded[1].name, "Audio, too");
    EXPECT_EQ(loaded[1].formatIds, (std::vector<int>{1160, 1160, 1090}));

    RawStore().remove("CustomOutFormats/COF2Name");
    SettingsStore().LoadCustomFormats(loaded);
    ASSERT_EQ(loaded.size(), 1u);
}

TEST(ParseFormatIdsTest, ReadsNumbersAfterEveryComma) {
    EXPECT_EQ(ParseFormatIds("710,abc,755"), (std::vector<int>{710, 0, 755}));
    EXPECT_EQ(ParseFormatIds("710,755,"), (std::vector<int>{710, 755}));
    EXPECT_EQ(ParseFormatIds(" -5"), (std::vector<int>{-5}));
    EXPECT_EQ(ParseFormatIds(",710"), (std::vector<int>{0, 710}));
}

TEST_F(SettingsStoreTest, FirstRunOpensTheHelpPageOnce) {
    RecordingShell shell;
    SettingsStore().CheckFirstRun(shell);
    ASSERT_EQ(shell.opened.size(), 1);
    EXPECT_TRUE(shell.opened[0].endsWith("/tessaline.html"));
    EXPECT_EQ(RawStore().value("Options/FirstRun").toInt(), 0);

    SettingsStore().CheckFirstRun(shell);
    EXPECT_EQ(shell.opened.size(), 1);
}

TEST_F(SettingsStoreTest, RecentListsMoveTheChosenEntryToTheTopAndKeepThirty) {
    SettingsStore store;
    QStringList entries;
    EXPECT_FALSE(store.LoadRecentList(kRecentOutputFolders, &entries));

    for (const char* folder : {"/a", "/b", "/c"})
        store.AddRecentEntry(kRecentOutputFolders, folder, &entries);
    EXPECT_EQ(entries, (QStringList{"/c", "/b", "/a"}));
    store.AddRecentEntry(kRecentOutputFolders, "/c", &entries);
    store.AddRecentEntry(kRecentOutputFolders, "/a", &entries);
    store.AddRecentEntry(kRecentOutputFolders, "", &entries);
    EXPECT_EQ(entries, (QStringList{"/a", "/c", "/b"}));

    QStringList loaded;
    ASSERT_TRUE(SettingsStore().LoadRecentList(kRecentOutputFolders, &loaded));
    EXPECT_EQ(loaded, entries);

    for (int i = 0; i < 40; ++i)
        store.AddRecentEntry(kRecentFilterExts, QString("ext%1").arg(i), &entries);
    SettingsStore().LoadRecentList(kRecentFilterExts, &loaded);
    EXPECT_EQ(loaded.size(), kMaxRecentEntries);
    EXPECT_EQ(loaded.front(), "ext39");
}

TEST(SetValueByNameTest, OverridesSettingsAndFormatParametersByStoredName) {
    ConvertSettings settings;
    FormatCatalog catalog;
    QString message;
    EXPECT_TRUE(
        SettingsStore::SetValueByName("TargetExistsOpt", "22", settings, catalog, &message));
    EXPECT_EQ(settings.TargetExistsOpt, kTargetExistsOverwrite);
    EXPECT_TRUE(SettingsStore::SetValueByName("OutputFormat", "755", settings, catalog, &message));
    EXPECT_EQ(settings.SelectedFormat, 755);
    EXPECT_TRUE(SettingsStore::SetValueByName("CropTop", "7", settings, catalog, &message));
    EXPECT_EQ(settings.CropTop, 8);
    EXPECT_TRUE(
        SettingsStore::SetValueByName("H264VideoBitRate", "900000", settings, catalog, &message));
    EXPECT_EQ(catalog.FindById(80)->VideoBitRate, 900000);
    EXPECT_TRUE(
        SettingsStore::SetValueByName("JPGVideoFrameRate", "2.5", settings, catalog, &message));
    EXPECT_DOUBLE_EQ(catalog.FindById(710)->VideoFrameRate, 2.5);
    EXPECT_FALSE(
        SettingsStore::SetValueByName("JPGVideoFrameRate", "inf", settings, catalog, &message));
    EXPECT_DOUBLE_EQ(catalog.FindById(710)->VideoFrameRate, 2.5);

    EXPECT_FALSE(SettingsStore::SetValueByName("NoSuchThing", "1", settings, catalog, &message));
    EXPECT_EQ(message, "Unknown setting \"NoSuchThing\".");
    EXPECT_FALSE(
        SettingsStore::SetValueByName("ConversionThreads", "many", settings, catalog, &message));
    EXPECT_EQ(settings.ConversionThreads, 2);
    // A codec name must be one the format offers, and the message says which.
    EXPECT_FALSE(
        SettingsStore::SetValueByName("H264VideoCodec", "libx246", settings, catalog, &message));
    EXPECT_EQ(message, "\"libx246\" is not a codec of H264VideoCodec; it takes one of: libx264, "
                       "h264mp, h264bp.");
    EXPECT_EQ(catalog.FindById(80)->VideoCodec, "libx264");
    EXPECT_FALSE(SettingsStore::SetValueByName("OGGAudioCodec", "", settings, catalog, &message));
    EXPECT_TRUE(
        SettingsStore::SetValueByName("OGGAudioCodec", "flac", settings, catalog, &message));
    EXPECT_EQ(catalog.FindById(130)->AudioCodec, "flac");
    EXPECT_EQ(catalog.FindById(1180)->AudioCodec, "flac");

    // Audio-only formats have no stored video values.
    EXPECT_FALSE(SettingsStore::SetValueByName("MP3VideoWidth", "5", settings, catalog, &message));
}

} // namespace
