#!/usr/bin/env bash
# Builds the Debian package of the build and has lintian judge it: no errors.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >/dev/null
package=$(ls "$work"/quillmore_*.deb)
dpkg-deb -f "$package" Depends | grep -q ffmpeg
lintian --fail-on error "$package"
