#!/usr/bin/env bash
# Sets everything up, builds a release build in build/ and starts Quillmore.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
scripts/install-deps.sh "${BUILD_PACKAGES[@]}"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found. Start Quillmore on a desktop, or under Xvfb:"
    echo "  xvfb-run -s \"-screen 0 1280x800x24\" build/bin/quillmore"
    [ -x build/bin/quillmore-cli ] && echo "Without a window, use build/bin/quillmore-cli --help"
    exit 0
fi
exec build/bin/quillmore "$@"
