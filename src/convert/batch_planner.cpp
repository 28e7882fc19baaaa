#include "convert/batch_planner.h"

#include "media/source_list_model.h"
#include "platform/file_system.h"

#include <algorithm>

namespace {

CommandCheck Refused(const char* message, ConversionFrontEnd::Icon icon) {
    return {false, QString::fromUtf8(message), icon};
}

} // namespace

CommandCheck CheckCommand(const BatchCommand& command, int rowCount, int selectedCount) {
    using Icon = ConversionFrontEnd::Icon;
    if (command.selectedOnly && selectedCount == 0)
        return Refused("You should select a file at least.", Icon::Information);
    if (!command.selectedOnly && rowCount == 0)
        return Refused("There aren't files in list.", Icon::Information);
    const OutputFormat* selected = command.selected;
    if (!selected || selected->category == FormatCategory::Command)
        return {false, QString(), Icon::Information};
    if (!command.convertToOne)
        return {};
    if (selected->category == FormatCategory::CustomGroup)
        return Refused("Customized Output Format is not supported for \"Convert to One\".",
                       Icon::Warning);
    if (selected->category == FormatCategory::ImageSequence)
        return Refused("Image Sequence Format is not supported for \"Convert to One\".\n\n",
                       Icon::Warning);
    if (selected->usesTheoraTool) {
        return Refused("OGG/OGM/OGV (optimized) is not supported for \"Convert to One\".\n\nYou "
                       "may convert all files to another format, and then convert the outputted "
                       "file to the OGG/OGM/OGV (optimized).",
                       Icon::Information);
    }
    return {};
}

QString BatchFormatName(const OutputFormat& selected) {
    if (selected.category == FormatCategory::CustomGroup && selected.customFormat)
        return selected.customFormat->name;
    return selected.displayName.isEmpty() ? selected.extension.toUpper() : selected.displayName;
}

CommandCheck ResolveGroupFormats(const OutputFormat& groupEntry, const FormatCatalog& catalog,
                                 std::vector<OutputFormat*>* formats) {
    *formats = groupEntry.customFormat ? catalog.ResolveCustomGroup(*groupEntry.customFormat)
                                       : std::vector<OutputFormat*>();
    if (!formats->empty())
        return {};
    return {false,
            QStringLiteral("There're not any output formats associated with custom format "
                           "\"%1\". Please choose one or more output formats for the format "
                           "before converting.")
                .arg(BatchFormatName(groupEntry)),
            ConversionFrontEnd::Icon::Warning};
}

std::vector<ConversionJob> PlanJobs(const SourceListModel& model,
                                    const std::vector<ConsideredRow>& rows, bool customGroup,
                                    int firstId) {
    std::vector<ConversionJob> jobs;
    for (const ConsideredRow& considered : rows) {
        const SourceItem* item = model.Item(considered.row);
        if (!item || (item->needsStaging && !item->staged))
            continue;
        if (customGroup && !considered.ownFormat)
            continue;
        ConversionJob job;
        job.id = firstId + static_cast<int>(jobs.size());
        job.row = QPersistentModelIndex(model.index(considered.row, 0));
        job.format = considered.ownFormat;
        jobs.push_back(job);
    }
    return jobs;
}

bool JoinsOntoASource(const QString& target, const SourceListModel& model,
                      const std::vector<ConversionJob>& jobs) {
    return std::any_of(jobs.begin(), jobs.end(), [&](const ConversionJob& job) {
        const SourceItem* item = model.Item(job.row.row());
        return item && (platform::IsSameFile(target, item->path) ||
                        platform::IsSameFile(target, item->InputPath()));
    });
}
