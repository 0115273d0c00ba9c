#!/usr/bin/env bash
# Builds every fuzz target with clang and runs each for a bounded time.
# Usage: fuzz/run.sh [SECONDS_PER_TARGET]   (default 30)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
build_dir=$root/build-fuzz
CC=clang CXX=clang++ "$root/scripts/setup.sh" "$build_dir" \
  -DTESSAVO_FUZZ=ON -DTESSAVO_GUI=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
status=0
for fuzzer in "$build_dir"/fuzzers/*_fuzzer; do
  name=$(basename "$fuzzer")
  corpus=$build_dir/corpus/$name
  mkdir -p "$corpus"
  seeds=()
  [[ -d $root/fuzz/seeds/$name ]] && seeds=("$root/fuzz/seeds/$name")
  # A target may also start from folders of test data, named one per line
  # (relative to the root) in fuzz/seeds/<name>.folders, rather than copies.
  if [[ -f $root/fuzz/seeds/$name.folders ]]; then
    while read -r folder; do
      [[ -n $folder ]] && seeds+=("$root/$folder")
    done <"$root/fuzz/seeds/$name.folders"
  fi
  echo "fuzz: $name for ${seconds}s"
  if ! "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=0 "$corpus" "${seeds[@]}" >"$build_dir/$name.log" 2>&1; then
    echo "fuzz: $name FAILED; last lines of $build_dir/$name.log:" >&2
    tail -n 40 "$build_dir/$name.log" >&2
    status=1
  fi
done
exit $status
