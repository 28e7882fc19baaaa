#pragma once

#include <QString>
#include <atomic>

struct SourceMedia;

// The engine's report on an input, made inside this program by the engine's own
// libraries (libavformat) instead of by a run of the engine: the same opening of
// the input, the same report text, read by the same MediaReportParser.

// The libraries' version as the engine prints it after "version"; empty when the
// program was built without them.
QString InProcessProbeVersion();

// Reads the report on the input into the media, the input opened as "-f
// forcedFormat -i input" would open it (forcedFormat as ForcedInputFormat gives
// it, empty when none). True when the report shows a video or an audio stream.
// Safe on any thread. The probe gives up after 10 seconds, or as soon as
// *cancelled (when given) turns true. On false, *reason (when given) says why.
bool ProbeInProcess(SourceMedia& media, const QString& input, const QString& forcedFormat,
                    const std::atomic<bool>* cancelled = nullptr, QString* reason = nullptr);
