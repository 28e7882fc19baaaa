#include "app/format_catalog.h"

#include <QSet>
#include <gtest/gtest.h>
#include <map>

namespace {

TEST(FormatCatalogTest, HoldsEveryFormatOnceGroupedByCategoryInChooserOrder) {
    const FormatCatalog catalog;
    ASSERT_EQ(catalog.size(), 79);

    // Categories come as contiguous runs: video, device profiles, image sequences, audio.
    std::vector<std::pair<FormatCategory, int>> runs;
    QSet<int> ids;
    for (const auto& format : catalog.formats()) {
        EXPECT_FALSE(ids.contains(format->id)) << format->id;
        ids.insert(format->id);
        if (runs.empty() || runs.back().first != format->category)
            runs.push_back({format->category, 0});
        ++runs.back().second;
    }
    const std::vector<std::pair<FormatCategory, int>> expected = {
        {FormatCategory::Video, 31},
        {FormatCategory::Device, 7},
        {FormatCategory::ImageSequence, 14},
        {FormatCategory::Audio, 27}};
    EXPECT_EQ(runs, expected);

    EXPECT_EQ(catalog.formats().front()->id, 10);
    EXPECT_EQ(catalog.formats()[31]->id, 516);
    EXPECT_EQ(catalog.formats()[38]->id, 700);
    EXPECT_EQ(catalog.formats().back()->id, 1220);
}

TEST(FormatCatalogTest, DefaultCodecsAreAmongTheFormatsOwnCodecs) {
    const FormatCatalog catalog;
    for (const auto& format : catalog.formats()) {
        if (format->HasVideoCodecs()) {
            const bool listed = std::any_of(
                format->videoCodecs.begin(), format->videoCodecs.end(),
                [&](const VideoCodecInfo* codec) { return format->VideoCodec == codec->name; });
            EXPECT_TRUE(listed) << format->id << " " << format->VideoCodec.toStdString();
        }
        if (format->HasAudioCodecs()) {
            const bool listed = std::any_of(
                format->audioCodecs.begin(), format->audioCodecs.end(),
                [&](const AudioCodecInfo* codec) { return format->AudioCodec == codec->name; });
            EXPECT_TRUE(listed) << format->id << " " << format->AudioCodec.toStdString();
        }
    }
}

TEST(FormatCatalogTest, SharedExtensionsStayDistinctFormats) {
    const FormatCatalog catalog;
    std::map<QString, std::vector<int>> byExtension;
    for (const auto& format : catalog.formats())
        byExtension[format->extension].push_back(format->id);
    EXPECT_EQ(byExtension["avi"], (std::vector<int>{40, 50, 210}));
    EXPECT_EQ(byExtension["mp4"], (std::vector<int>{80, 82, 110, 516, 517, 535, 615}));
    EXPECT_EQ(byExtension["m4v"], (std::vector<int>{85, 545, 550, 570}));
    EXPECT_EQ(byExtension["m4a"], (std::vector<int>{1020, 1050, 1100}));
    EXPECT_EQ(byExtension["ogg"], (std::vector<int>{130, 135, 1180}));
    EXPECT_EQ(byExtension["gif"], (std::vector<int>{75, 705}));
}

TEST(FormatCatalogTest, SpotValuesOfIdentityParametersAndCodecTables) {
    const FormatCatalog catalog;
    const OutputFormat* jpg = catalog.FindById(710);
    ASSERT_NE(jpg, nullptr);
    EXPECT_EQ(jpg->muxer, "image2");
    EXPECT_EQ(jpg->VideoCodec, "mjpeg");
    EXPECT_EQ(jpg->VideoVBRQuality, 2);
    EXPECT_FALSE(jpg->HasAudioCodecs());
    EXPECT_EQ(jpg->ChooserText(), " to JPG (image sequence) (*.jpg)");

    const OutputFormat* vcd = catalog.FindById(180);
    ASSERT_NE(vcd, nullptr);
    EXPECT_EQ(vcd->SettingsPrefix(), "VCD");
    EXPECT_EQ(vcd->VideoWidth, 352);
    EXPECT_EQ(vcd->VideoHeight, 240);
    EXPECT_DOUBLE_EQ(vcd->VideoFrameRate, 29.97);
    EXPECT_EQ(vcd->AudioBitRate, 224000);

    const OutputFormat* tiff = catalog.FindById(790);
    EXPECT_EQ(tiff->muxer, "image2 -pix_fmt rgb24");
    EXPECT_EQ(catalog.FindById(1160)->ChooserText(), " to MP3");
    EXPECT_EQ(jpg->ListText(), " JPG (image sequence) (*.jpg)");
    EXPECT_EQ(catalog.FindById(1160)->ListText(), " MP3");
    EXPECT_EQ(catalog.FindById(80)->SettingsPrefix(), "H264");
    EXPECT_EQ(catalog.FindById(1020)->fastStart, 1);
    EXPECT_EQ(catalog.FindById(1030)->fastStart, 0);

    // The DV codec's size list is fixed: its first pair marks it.
    const VideoCodecInfo* dv = catalog.FindById(60)->videoCodecs.front();
    EXPECT_EQ(dv->sizes[0].width, -1);
    EXPECT_EQ(dv->sizes[1].width, 720);
    EXPECT_EQ(dv->sizes[3].width, 0); // terminator
    EXPECT_EQ(dv->bitRates, nullptr);

    // Two "aac" entries differ only in their channels: the device profiles allow stereo.
    const AudioCodecInfo* deviceAac = catalog.FindById(516)->audioCodecs.front();
    EXPECT_STREQ(deviceAac->name, "aac");
    EXPECT_EQ(deviceAac->channelMask, 3u);
    EXPECT_EQ(catalog.FindById(80)->audioCodecs.front()->channelMask, 63u);

    const AudioCodecInfo* g726 = &kAudioCodecs[28];
    EXPECT_STREQ(g726->name, "g726");
    EXPECT_EQ(g726->bitRates[0], 2);
    EXPECT_EQ(g726->bitRates[4], -1);
    EXPECT_DOUBLE_EQ(kVideoCodecs[0].frameRates[2], -1.0);
}

TEST(FormatCatalogTest, TheFormatsMadeInTheirOwnWayAreNamedByTheirFlags) {
    const FormatCatalog catalog;
    std::vector<int> theora;
    std::vector<std::pair<int, FixedTarget>> targets;
    for (const auto& format : catalog.formats()) {
        if (format->usesTheoraTool)
            theora.push_back(format->id);
        if (format->fixedTarget != FixedTarget::None)
            targets.emplace_back(format->id, format->fixedTarget);
    }
    EXPECT_EQ(theora, (std::vector<int>{135, 145, 155}));
    EXPECT_EQ(targets,
              (std::vector<std::pair<int, FixedTarget>>{
                  {60, FixedTarget::Dv}, {65, FixedTarget::Dvd}, {180, FixedTarget::Vcd}}));
}

TEST(FormatCatalogTest, FindsByIdAndResolvesGroupsDroppingUnknownIds) {
    const FormatCatalog catalog;
    EXPECT_EQ(catalog.FindById(12345), nullptr);
    const CustomFormat group{"Mixed", {755, 0, 1160, 755, 99999}};
    const std::vector<OutputFormat*> resolved = catalog.ResolveCustomGroup(group);
    ASSERT_EQ(resolved.size(), 3u);
    EXPECT_EQ(resolved[0]->id, 755);
    EXPECT_EQ(resolved[1]->id, 1160);
    EXPECT_EQ(resolved[2]->id, 755);
}

TEST(FormatCatalogTest, BlankRecordIsWhatChooserOnlyEntriesStartFrom) {
    const OutputFormat blank;
    EXPECT_EQ(blank.id, -1);
    EXPECT_EQ(blank.category, FormatCategory::Command);
    EXPECT_EQ(blank.AudioEnable, 1);
    EXPECT_EQ(blank.VideoEnable, 0);
    EXPECT_EQ(blank.AudioVolume, 100);
    EXPECT_DOUBLE_EQ(blank.VideoFrameRate, -1.0);
    EXPECT_FALSE(blank.HasVideoCodecs());
    EXPECT_FALSE(blank.HasAudioCodecs());
}

} // namespace
