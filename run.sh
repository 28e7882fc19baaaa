#!/usr/bin/env bash
# Sets everything up, builds a release build in build/ and starts Quillmore.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
scripts/install-deps.sh "${BUILD_PACKAGES[@]}"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build
if [ ! -x build/bin/quillmore ]; then
    echo "Built Quillmore in build/. The main window is not part of this build yet;"
    echo "convert with the command-line companion: build/bin/quillmore-cli --help"
    exit 0
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found. Start Quillmore on a desktop, or under Xvfb: xvfb-run build/bin/quillmore"
    [ -x build/bin/quillmore-cli ] && echo "Without a window, use build/bin/quillmore-cli --help"
    exit 0
fi
exec build/bin/quillmore "$@"
