#!/usr/bin/env bash
# Remakes docs/main-window.png from the picture the end-to-end window test takes
# of the main window with its converted sources. Needs the test build (./test.sh).
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --build build-test --target window_conversion_tests
(cd build-test && QT_QPA_PLATFORM=offscreen ctest -R WindowConversionTest --output-on-failure)
cp build-test/tests/ui/main-window.png docs/main-window.png
