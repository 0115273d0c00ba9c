#!/usr/bin/env bash
# Sets up, builds and runs every test. Usage: scripts/test.sh [BUILD_DIR [CMAKE_ARGS...]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$root/build}
"$root/scripts/setup.sh" "$@"
cd "$build_dir"
# Every test has its own time-out (tests/CMakeLists.txt); --timeout bounds any
# test registered without one.
timeout=(--timeout 120)
# The GUI tests need a display; xvfb-run gives them one when none is set.
if [[ -z ${DISPLAY:-} ]] && command -v xvfb-run >/dev/null; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure "${timeout[@]}" -j "$(nproc)"
fi
exec ctest --output-on-failure "${timeout[@]}" -j "$(nproc)"
