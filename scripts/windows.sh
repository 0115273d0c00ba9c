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

wanted=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev nlohmann-json3-dev googletest wine64 locales cmake make)
missing=()
for package in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ $status == "install ok installed" ]] || missing+=("$package")
done
if ((${#missing[@]})); then
  if [[ $(id -u) -eq 0 ]]; then
    echo "windows: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    # Another apt or dpkg run may hold the lock; wait for it instead of failing.
    apt-get -o DPkg::Lock::Timeout=600 update -qq
    apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  else
    echo "windows: missing Debian packages; run:" >&2
    echo "  sudo apt-get install --no-install-recommends ${missing[*]}" >&2
    exit 1
  fi
fi

# Release: without debug information the programs build and link faster
# on a busy machine; CMAKE_ARGS may ask for another build type.
cmake -S "$root" -B "$build_dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  "$@" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
