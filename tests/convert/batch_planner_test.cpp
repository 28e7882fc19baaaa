// Planning a batch as pure calls: no engine, no process, nothing written.
#include "convert/batch_planner.h"
#include "convert/custom_group_entry.h"
#include "media/source_list_model.h"

#include "support/qstring_printer.h"

#include <gtest/gtest.h>

namespace {

using Icon = ConversionFrontEnd::Icon;

TEST(BatchPlannerTest, CommandsAreRefusedBeforeAnythingIsDone) {
    const FormatCatalog catalog;
    OutputFormat* jpg = catalog.FindById(710);
    OutputFormat* mp4 = catalog.FindById(110);
    OutputFormat* ogg = catalog.FindById(135);
    const CustomFormat group{"Group", {710}};
    OutputFormat groupEntry = CustomGroupEntry(group, 0);
    OutputFormat command;
    command.category = FormatCategory::Command;

    const struct {
        BatchCommand command;
        int rows;
        int selected;
        bool goesAhead;
        QString messageStart;
        Icon icon;
    } cases[] = {
        {{mp4, true, false}, 3, 0, false, "You should select a file at least.", Icon::Information},
        {{mp4, false, false}, 0, 0, false, "There aren't files in list.", Icon::Information},
        {{nullptr, false, false}, 3, 0, false, "", Icon::Information},
        {{&command, false, true}, 3, 0, false, "", Icon::Information},
        {{&groupEntry, false, true}, 3, 0, false, "Customized Output Format", Icon::Warning},
        {{jpg, false, true}, 3, 0, false, "Image Sequence Format is not", Icon::Warning},
        {{ogg, true, true}, 3, 1, false, "OGG/OGM/OGV (optimized)", Icon::Information},
        {{jpg, true, false}, 3, 1, true, "", Icon::Information},
        {{&groupEntry, false, false}, 3, 0, true, "", Icon::Information},
        {{mp4, false, true}, 3, 0, true, "", Icon::Information},
    };
    for (const auto& c : cases) {
        const CommandCheck check = CheckCommand(c.command, c.rows, c.selected);
        SCOPED_TRACE(c.messageStart.toStdString());
        EXPECT_EQ(check.goesAhead, c.goesAhead);
        EXPECT_EQ(check.message.left(c.messageStart.size()), c.messageStart);
        EXPECT_EQ(check.message.isEmpty(), c.messageStart.isEmpty());
        EXPECT_EQ(check.icon, c.icon);
    }
}

TEST(BatchPlannerTest, GroupsAndNamesOfTheBatchFormat) {
    const FormatCatalog catalog;
    const CustomFormat group{"Sound", {1160, 99999, 1090}};
    const OutputFormat entry = CustomGroupEntry(group, 0);
    std::vector<OutputFormat*> formats;
    EXPECT_TRUE(ResolveGroupFormats(entry, catalog, &formats).goesAhead);
    EXPECT_EQ(formats,
              (std::vector<OutputFormat*>{catalog.FindById(1160), catalog.FindById(1090)}));
    EXPECT_EQ(BatchFormatName(entry), "Sound");
    EXPECT_EQ(BatchFormatName(*catalog.FindById(710)), "JPG (image sequence)");
    OutputFormat unnamed;
    unnamed.extension = "ac3";
    EXPECT_EQ(BatchFormatName(unnamed), "AC3");

    const CustomFormat empty{"Nothing", {99999}};
    const CommandCheck refused = ResolveGroupFormats(CustomGroupEntry(empty, 1), catalog, &formats);
    EXPECT_FALSE(refused.goesAhead);
    EXPECT_TRUE(refused.message.contains("custom format \"Nothing\""));
    EXPECT_EQ(refused.icon, Icon::Warning);
    EXPECT_TRUE(formats.empty());
}

TEST(BatchPlannerTest, JobsComeFromTheStagedRowsAndForAGroupFromItsCopyRows) {
    const FormatCatalog catalog;
    OutputFormat* mp3 = catalog.FindById(1160);
    SourceListModel model;
    const auto add = [&](const QString& path, bool needsStaging, bool staged) {
        auto item = std::make_unique<SourceItem>();
        item->path = path;
        item->needsStaging = needsStaging;
        item->staged = staged;
        item->stagedFile = staged ? path + ".wav" : QString();
        return model.AppendRow(std::move(item), path);
    };
    add("/a.mp4", false, false);
    add("/b.aif", true, false); // failed to stage
    add("/c.aif", true, true);

    const std::vector<ConsideredRow> rows = {{0, nullptr}, {1, nullptr}, {2, nullptr}};
    const std::vector<ConversionJob> jobs = PlanJobs(model, rows, false, 7);
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].id, 7);
    EXPECT_EQ(jobs[0].row.row(), 0);
    EXPECT_EQ(jobs[1].id, 8);
    EXPECT_EQ(jobs[1].row.row(), 2);
    EXPECT_EQ(jobs[1].state, JobState::Waiting);
    EXPECT_EQ(jobs[1].format, nullptr);

    // A group's own rows are no jobs; its copy rows are, each in its own format.
    const std::vector<ConversionJob> group = PlanJobs(model, {{0, nullptr}, {2, mp3}}, true, 1);
    ASSERT_EQ(group.size(), 1u);
    EXPECT_EQ(group[0].row.row(), 2);
    EXPECT_EQ(group[0].format, mp3);

    // A join may not be written over what the jobs read, staged files included.
    EXPECT_TRUE(JoinsOntoASource("/a.mp4", model, jobs));
    EXPECT_TRUE(JoinsOntoASource("/c.aif.wav", model, jobs));
    EXPECT_FALSE(JoinsOntoASource("/b.aif", model, jobs));
}

} // namespace
