# The Debian packages Quillmore builds and runs with, those its tests add, and
# those only the benchmarks need (install them by hand for a bench build).
BUILD_PACKAGES=(g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev ffmpeg libcdio-paranoia-dev
  libavformat-dev libavcodec-dev libavutil-dev)
TEST_PACKAGES=(googletest libgtest-dev libbenchmark-dev clang-format-14 dvdauthor sndfile-programs xvfb xdotool desktop-file-utils lintian dpkg-dev)
BENCH_PACKAGES=(libsndfile1-dev)
