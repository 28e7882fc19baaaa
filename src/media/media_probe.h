#pragma once

#include "engine/tool_paths.h"

#include <QString>
#include <atomic>

struct SourceItem;
struct SourceMedia;

// Whether the path names something a probe may open: a regular file (or a link
// to one). A pipe, a socket or a device could keep a reader waiting for ever, and
// a folder holds no media. False, with *reason set when given, otherwise.
bool IsRegularSourceFile(const QString& path, QString* reason = nullptr);

// Runs the engine on the input ("-i" and nothing to write), after "-f" and
// forcedFormat when that is not empty, and reads its report into the media.
// True when the report shows a video or an audio stream; false as well when the
// engine cannot be started or the input is no regular file, with *reason set
// when given.
bool ProbeWithEngine(SourceMedia& media, const QString& input, const QString& forcedFormat,
                     const ToolPaths& tools, QString* reason = nullptr);

// How a source that passes no built-in reader is read: the same libraries the
// engine is built on, inside this program, or a run of the engine itself.
// Both give the same report, so both give the same row.
class MediaProbe {
public:
    enum class Method { InProcess, Engine };
    enum class Outcome {
        Loaded,
        Failed,
        CdAudioFailed, // a ".cda" track file that could not be read
    };

    MediaProbe(const ToolPaths& tools, Method method) : tools_(tools), method_(method) {}

    // Chosen once at start: the in-process probe when the program was built with
    // the engine's libraries and they are the version of the engine in the
    // program folder; otherwise the engine.
    static MediaProbe Choose(const ToolPaths& tools);

    Method method() const { return method_; }
    const ToolPaths& tools() const { return tools_; }

    // Reads the properties of the item (its path and extension set) and gives
    // it its kind. Safe on any thread, with one item per thread; an in-process
    // probe ends early once *cancelled (when given) turns true. On failure
    // *reason, when given, says why.
    Outcome Probe(SourceItem& item, const std::atomic<bool>* cancelled = nullptr,
                  QString* reason = nullptr) const;

private:
    ToolPaths tools_;
    Method method_;
};
