#include "platform/file_names.h"

namespace platform {

// Linux file systems tell "a.mp4" and "A.MP4" apart: they are two files.
bool FileNamesIgnoreCase() {
    return false;
}

} // namespace platform
