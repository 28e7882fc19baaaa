#include "platform/cd_audio.h"

#include <cdio/cdio.h>

namespace platform {

bool StartCdAudio() {
    return cdio_init();
}

} // namespace platform
