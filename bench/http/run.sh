#!/usr/bin/env bash
# Download throughput of HttpConnection against curl, in the same run: a
# 100 MB file served by a loopback server (bench/http/http_bench serve) is
# written to a file by each client in turn, three times; the best run of
# each counts. Then the time to fetch a 5 KB document in-process.
# Usage: bench/http/run.sh   (builds what it needs in build-bench, Release)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=$root/build-bench
"$root/scripts/setup.sh" "$build_dir" -DCMAKE_BUILD_TYPE=Release -DTESSAVO_GUI=OFF >/dev/null
bench=$build_dir/bench/http/http_bench
command -v curl >/dev/null || { echo "bench: curl is missing" >&2; exit 1; }

work=$(mktemp -d)
server=
cleanup() {
  [[ -n $server ]] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

size=$((100 * 1000 * 1000))
head -c "$size" /dev/urandom >"$work/big.bin"
"$bench" serve "$work/big.bin" >"$work/port" &
server=$!
for _ in $(seq 100); do
  [[ -s $work/port ]] && break
  sleep 0.1
done
port=$(cat "$work/port")
url=http://127.0.0.1:$port/big.bin

best_ours=999999
best_curl=999999
for run in 1 2 3; do
  t=$(curl -s -o "$work/curl.out" -w '%{time_total}' "$url")
  best_curl=$(awk -v a="$best_curl" -v b="$t" 'BEGIN { print (b < a ? b : a) }')
  t=$("$bench" fetch "$url" "$work/ours.out")
  best_ours=$(awk -v a="$best_ours" -v b="$t" 'BEGIN { print (b < a ? b : a) }')
  cmp -s "$work/big.bin" "$work/curl.out" || { echo "bench: curl's copy differs" >&2; exit 1; }
  cmp -s "$work/big.bin" "$work/ours.out" || { echo "bench: HttpConnection's copy differs" >&2; exit 1; }
  rm -f "$work/curl.out" "$work/ours.out"
done

awk -v size="$size" -v ours="$best_ours" -v curl="$best_curl" 'BEGIN {
  printf "http: 100 MB into a file over loopback (best of 3)\n"
  printf "  HttpConnection  %7.1f MB/s\n", size / ours / 1e6
  printf "  curl -o         %7.1f MB/s\n", size / curl / 1e6
  printf "  ratio           %7.2f  (goal >= 0.70)\n", curl / ours
}'

read -r median best p90 < <("$bench" small "$work/small.html" 500)
echo "http: 5 KB document in-process, one connection each (500 fetches):"
echo "  median ${median} us, best ${best} us, 90th percentile ${p90} us  (goal: under 1000 us)"
