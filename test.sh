#!/usr/bin/env bash
# Sets everything up, builds the test build (with AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-test/ and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
scripts/install-deps.sh "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DQUILLMORE_TESTS=ON -DQUILLMORE_SANITIZE=ON >/dev/null
cmake --build build-test
export QT_QPA_PLATFORM=offscreen
cd build-test
ctest --output-on-failure -j "$(nproc)" "$@"
