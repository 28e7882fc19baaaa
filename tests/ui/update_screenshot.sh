#!/usr/bin/env bash
# Remakes the screenshots in docs/ (the README's and the help page's) from the
# pictures the window and dialog tests take of what they show. Needs the test
# build (./test.sh).
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --build build-test --target window_conversion_tests progress_window_tests ui_dialog_tests
(cd build-test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure \
    -R 'WindowConversionTest|ProgressDlgTest|OptionsSheetTest|CustomFormatDlgTest')
for picture in main-window progress options-general options-video custom-formats; do
    cp "build-test/tests/ui/$picture.png" "docs/$picture.png"
done
