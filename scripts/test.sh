#!/usr/bin/env bash
# Sets up, builds and runs every test. Usage: scripts/test.sh [BUILD_DIR [CMAKE_ARGS...]]
# Without arguments it also builds the Windows programs and runs their tests
# under wine (scripts/windows.sh, scripts/windows_tests.sh); with a build
# folder given (a sanitizer build, for example) it runs that build's tests
# alone.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$root/build}
with_windows=$((!$#))
"$root/scripts/setup.sh" "$@"
cd "$build_dir"
# Every test has its own time-out (tests/CMakeLists.txt); --timeout bounds any
# test registered without one.
ctest_command=(ctest --output-on-failure --timeout 120 -j "$(nproc)")
# The GUI tests need a display; xvfb-run gives them one when none is set.
if [[ -z ${DISPLAY:-} ]] && command -v xvfb-run >/dev/null; then
  ctest_command=(xvfb-run -a -s "-screen 0 1280x1024x24" "${ctest_command[@]}")
fi
"${ctest_command[@]}"
if ((with_windows)); then
  echo "== windows: the mingw-w64 build, its tests under wine with code page 932"
  "$root/scripts/windows.sh" "$root/build-windows"
  "$root/scripts/windows_tests.sh" "$root/build-windows"
fi
