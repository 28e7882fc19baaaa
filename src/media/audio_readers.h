#pragma once

#include "engine/source_media.h"
#include "media/audio_reader.h"

#include <QString>
#include <memory>

// The one place that knows which built-in reader reads which source.

// The kind of source a file extension (lower case, without the dot) stands for
// when a built-in reader may read it; KindFile for everything else.
SourceKind ReaderKindForExtension(const QString& extension);

// A new reader for a source of the kind; null for a kind no built-in reader reads.
std::unique_ptr<AudioReader> MakeAudioReader(int kind);

// Reads a file's audio properties with the reader of the kind, in the place of an
// engine probe: duration, and one audio stream with the sample rate, bit rate and
// channels the staged file will have. On success the media becomes that kind and
// needs staging; false, with the media untouched, when the reader refuses the file.
bool ProbeWithAudioReader(SourceMedia& media, SourceKind kind);
