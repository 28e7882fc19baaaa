#pragma once

namespace platform {

// Starts the CD audio layer once, before any track is read: the drivers of the
// CD library. False when none of them can start.
bool StartCdAudio();

} // namespace platform
