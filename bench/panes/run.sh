#!/usr/bin/env bash
# The panes with 100,000 error lines and 10,000 targets, against a plain
# wxListBox in the same run. Usage: bench/panes/run.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=${1:-$root/build}
[[ -f $build_dir/CMakeCache.txt ]] || cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build_dir" -j 2 --target bench_panes >/dev/null
program=$build_dir/bench/panes/bench_panes
if [[ -z ${DISPLAY:-} ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$program"
fi
exec "$program"
