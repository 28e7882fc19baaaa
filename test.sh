#!/usr/bin/env bash
# Sets everything up, builds the test build (with AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-test/ and runs every test, then builds the
# tests with ThreadSanitizer in build-tsan/ and runs them again there. ctest
# options given (such as -L unit) apply to both runs.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
scripts/install-deps.sh "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DQUILLMORE_TESTS=ON -DQUILLMORE_SANITIZE=ON >/dev/null
cmake --build build-test
(cd build-test && ctest --output-on-failure -j "$(nproc)" "$@")

# The event loop and the threads the core starts (stagers, probes, spawning at
# a priority) must share nothing unguarded. The window, its package and the
# formatting were checked above.
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DQUILLMORE_TESTS=ON -DQUILLMORE_TSAN=ON -DQUILLMORE_UI=OFF >/dev/null
cmake --build build-tsan
(cd build-tsan && TSAN_OPTIONS="halt_on_error=1 suppressions=$PWD/../tests/support/tsan.supp" \
    ctest --output-on-failure -j "$(nproc)" -E format_check "$@")
