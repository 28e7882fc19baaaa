#pragma once

#include "media/add_source_file.h"
#include "media/media_probe.h"
#include "media/source_list_model.h"

#include <QStringList>

// Everything a probe puts into the list for one file, as text: its outcome, the
// ten column texts and the item's probed fields. Two probes that agree on a file
// give the same text; a difference shows line by line.
inline QString ProbeRow(const QString& path, const MediaProbe& probe, int requestAudioIndex = 1) {
    std::unique_ptr<SourceItem> item = NewSourceItem(path);
    const MediaProbe::Outcome outcome = probe.Probe(*item);
    if (outcome != MediaProbe::Outcome::Loaded)
        return QStringLiteral("not loaded (%1)").arg(static_cast<int>(outcome));
    const SourceItem copy = *item;
    SourceListModel list;
    const int row = list.AppendSourceRow(std::move(item), requestAudioIndex, QString());
    QStringList lines;
    for (int column = 0; column < SourceListModel::ColumnCount; ++column)
        lines.append(list.CellText(row, column));
    const auto numbers = [](const std::vector<unsigned>& values) {
        QStringList texts;
        for (unsigned value : values)
            texts.append(QString::number(value));
        return texts.join(u',');
    };
    lines << QStringLiteral("kind %1, duration %2").arg(copy.kind).arg(copy.duration)
          << QStringLiteral("video %1: %2x%3, %4 fps, aspect %5, %6 kb/s")
                 .arg(copy.videoStream)
                 .arg(copy.width)
                 .arg(copy.height)
                 .arg(copy.frameRate, 0, 'g', 17)
                 .arg(copy.displayAspect, 0, 'g', 17)
                 .arg(copy.videoBitRate)
          << QStringLiteral("audio %1: %2 Hz, %3 channels, %4 kb/s")
                 .arg(copy.audioStreamIds.join(u','), numbers(copy.audioSampleRates),
                      numbers(copy.audioChannels), numbers(copy.audioBitRates));
    return lines.join(u'\n');
}
