#!/usr/bin/env bash
# Builds the Windows programs with mingw-w64: the libraries below ui/,
# tessavo-check.exe, the stand-in validator and the test programs, into
# build-windows/ (or BUILD_DIR). Installs the Debian packages it needs
# first (only the missing ones; as root, else it says what to install).
# Usage: scripts/windows.sh [BUILD_DIR [CMAKE_ARGS...]]
# scripts/windows_tests.sh runs the tests under wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$root/build-windows}
shift || true

# shellcheck source=install_missing.sh
source "$root/scripts/install_missing.sh"
install_missing windows g++-mingw-w64-x86-64-posix libz-mingw-w64-dev nlohmann-json3-dev \
  googletest wine64 locales cmake make

# Release: without debug information the programs build and link faster
# on a busy machine; CMAKE_ARGS may ask for another build type.
cmake -S "$root" -B "$build_dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  "$@" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
