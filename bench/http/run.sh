#!/usr/bin/env bash
# Download throughput of HttpConnection against curl, in the same run: a
# 100 MB file served by a loopback server (bench/http/http_bench serve) is
# written to a file by each client in turn, over http and over https with the
# same test certificate, five times each; the best run of each counts. Then
# the time to fetch a 5 KB document in-process.
# Usage: bench/http/run.sh [RUNS]  (builds what it needs in build-bench, Release)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
runs=${1:-5}
build_dir=$root/build-bench
"$root/scripts/setup.sh" "$build_dir" -DCMAKE_BUILD_TYPE=Release -DTESSAVO_GUI=OFF >/dev/null
bench=$build_dir/bench/http/http_bench
command -v curl >/dev/null || { echo "bench: curl is missing" >&2; exit 1; }
command -v openssl >/dev/null || { echo "bench: openssl is missing" >&2; exit 1; }

# A private folder of an unpredictable name (mktemp -d makes it 0700).
work=$(mktemp -d)
servers=()
cleanup() {
  for pid in "${servers[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"

# A test CA and a certificate for 127.0.0.1 signed by it.
(
  cd "$work"
  openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout ca.key \
    -out ca.pem -days 2 -subj '/CN=Bench CA' \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=keyCertSign
  openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout server.key \
    -out server.csr -subj /CN=127.0.0.1
  printf 'subjectAltName=IP:127.0.0.1\n' >san.ext
  openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 \
    -extfile san.ext -out server.pem
) >/dev/null 2>&1

size=$((100 * 1000 * 1000))
head -c "$size" /dev/urandom >"$work/big.bin"

# Starts a server; its port is written to the file named by $1.
start_server() {
  local port_file=$1
  shift
  "$bench" serve "$work/big.bin" "$@" >"$port_file" &
  servers+=($!)
  for _ in $(seq 100); do
    [[ -s $port_file ]] && return
    sleep 0.1
  done
  echo "bench: the server did not start" >&2
  exit 1
}
start_server "$work/port.http"
start_server "$work/port.https" "$work/server.pem" "$work/server.key"
http_url=http://127.0.0.1:$(cat "$work/port.http")/big.bin
https_url=https://127.0.0.1:$(cat "$work/port.https")/big.bin

# The best time of `runs` downloads of each client, alternating, as
# "ours curl".
measure() {
  local url=$1 best_ours=999999 best_curl=999999 t
  for _ in $(seq "$runs"); do
    t=$(curl -s --cacert "$work/ca.pem" -o "$work/curl.out" -w '%{time_total}' "$url")
    best_curl=$(awk -v a="$best_curl" -v b="$t" 'BEGIN { print (b < a ? b : a) }')
    t=$(SSL_CERT_FILE=$work/ca.pem "$bench" fetch "$url" "$work/ours.out")
    best_ours=$(awk -v a="$best_ours" -v b="$t" 'BEGIN { print (b < a ? b : a) }')
    cmp -s "$work/big.bin" "$work/curl.out" || { echo "bench: curl's copy differs" >&2; exit 1; }
    cmp -s "$work/big.bin" "$work/ours.out" || { echo "bench: HttpConnection's copy differs" >&2; exit 1; }
    rm -f "$work/curl.out" "$work/ours.out"
  done
  echo "$best_ours $best_curl"
}

report() {
  local label=$1 goal=$2 ours=$3 curl=$4
  awk -v label="$label" -v goal="$goal" -v size="$size" -v ours="$ours" -v curl="$curl" 'BEGIN {
    printf "%s: 100 MB into a file over loopback (best of each)\n", label
    printf "  HttpConnection  %7.1f MB/s\n", size / ours / 1e6
    printf "  curl -o         %7.1f MB/s\n", size / curl / 1e6
    printf "  ratio           %7.2f  (goal >= %s)\n", curl / ours, goal
  }'
}

read -r http_ours http_curl < <(measure "$http_url")
read -r https_ours https_curl < <(measure "$https_url")
report http 1.0 "$http_ours" "$http_curl"
report https 0.9 "$https_ours" "$https_curl"

read -r median best p90 < <("$bench" small "$work/small.html" 500)
echo "http: 5 KB document in-process, one connection each (500 fetches):"
echo "  median ${median} us, best ${best} us, 90th percentile ${p90} us  (goal: under 1000 us)"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
