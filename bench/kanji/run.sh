#!/usr/bin/env bash
# Measures the Japanese code converter against nkf on the same files in the
# same run: a generated Japanese HTML corpus of about 50 MB in EUC-JP,
# Shift_JIS and ISO-2022-JP, each converted file to file into EUC-JP with
# CR LF line ends (the check run's conversion; nkf -e -Lw). Prints MB/s
# (MB = 2^20 bytes, input size over wall time, best of three runs) for both
# and their ratio, and checks that both wrote the same bytes.
# Usage: bench/kanji/run.sh [MEGABYTES]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
megabytes=${1:-50}
runs=3
build_dir=$root/build-bench

command -v nkf >/dev/null || { echo "bench/kanji: nkf is not installed" >&2; exit 1; }
cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DTESSAVO_GUI=OFF >/dev/null
cmake --build "$build_dir" -j "$(nproc)" --target kanji_bench >/dev/null
bench=$build_dir/bench/kanji/kanji_bench

work=$(mktemp -d "${TMPDIR:-/tmp}/kanji_bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
echo "bench/kanji: writing a ${megabytes} MB corpus per encoding in $work"
"$bench" corpus "$work" "$megabytes"

# Wall time of one command in nanoseconds.
elapsed() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null
  end=$(date +%s%N)
  echo $((end - start))
}

tessavo() { "$bench" convert "$1" "$2"; }
nkf_convert() { nkf -e -Lw "$1" >"$2"; }

status=0
printf '%-12s %8s %14s %10s %7s  %s\n' encoding MB 'Tessavo MB/s' 'nkf MB/s' ratio output
for encoding in euc sjis jis; do
  input=$work/corpus.$encoding
  best_tessavo=0
  best_nkf=0
  # Alternate the two programs so that both see the same load on the machine.
  for ((run = 0; run < runs; run++)); do
    t=$(elapsed tessavo "$input" "$work/tessavo.out")
    n=$(elapsed nkf_convert "$input" "$work/nkf.out")
    ((best_tessavo == 0 || t < best_tessavo)) && best_tessavo=$t
    ((best_nkf == 0 || n < best_nkf)) && best_nkf=$n
  done
  same=identical
  cmp -s "$work/tessavo.out" "$work/nkf.out" || { same=DIFFERENT; status=1; }
  size=$(stat -c %s "$input")
  case $encoding in
    euc) name=EUC-JP ;;
    sjis) name=Shift_JIS ;;
    jis) name=ISO-2022-JP ;;
  esac
  awk -v name="$name" -v size="$size" -v t="$best_tessavo" -v n="$best_nkf" -v same="$same" \
    'BEGIN {
       mb = size / 1048576; ts = mb / (t / 1e9); ns = mb / (n / 1e9)
       printf "%-12s %8.1f %14.1f %10.1f %7.2f  %s\n", name, mb, ts, ns, ts / ns, same
     }'
done
echo "goal: ratio >= 2.0 on each encoding"
exit $status
