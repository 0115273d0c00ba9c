#!/usr/bin/env bash
# The HTML5 checking of tessavo-check against the HTML5 checker's own batch
# run, in the same run: 200 HTML5 pages (the real ones under /usr/share/doc
# with <!DOCTYPE html> or no doctype, then generated ones) checked by
# tessavo-check with one worker (-j 1) and with two (-j 2), against
# `java -jar vnu.jar --format json` over the same files. Every time includes
# its Java start: tessavo-check starts its checker at the first page. Each
# runs ROUNDS times (3), in turn; the best time of each counts. Also the
# peak memory of each (the largest process: the checker's Java), and the
# window's first check and warm re-check of the same pages (under Xvfb when
# there is no display). The machine's load is printed before and after:
# other work on the machine skews every figure.
# Usage: bench/html5/run.sh [BUILD_DIR]   Goals: -j 1 <= 1.0, -j 2 <= 0.60
# Without BUILD_DIR it sets up and builds build-bench (Release).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
if [[ $# -ge 1 ]]; then
  build_dir=$(cd "$1" && pwd)
else
  build_dir=$root/build-bench
  gui=OFF
  if [[ -n ${DISPLAY:-} ]] || command -v xvfb-run >/dev/null; then gui=ON; fi
  "$root/scripts/setup.sh" "$build_dir" -DCMAKE_BUILD_TYPE=Release -DTESSAVO_GUI=$gui >/dev/null
fi
checker=$build_dir/bin/tessavo-check
jar=$build_dir/bin/vnu.jar
window=$build_dir/bin/bench_window_recheck
rounds=${ROUNDS:-3}

work=$build_dir/bench-html5
rm -rf "$work"
mkdir -p "$work/temp" "$work/config"
chmod 700 "$work/temp"
python3 "$root/bench/html5/make_pages.py" "$work/docs" 200
export XDG_RUNTIME_DIR=$work/temp XDG_CONFIG_HOME=$work/config

# Runs a command, its standard output into a file and its standard error
# into the same name with ".err" (tessavo-check's summary goes there); prints
# its seconds and the peak resident memory (MiB) of the largest process it or
# its children had.
measure() {
  local output=$1
  shift
  python3 - "$output" "$@" <<'PY'
import resource, subprocess, sys, time
start = time.monotonic()
with open(sys.argv[1], "wb") as out, open(sys.argv[1] + ".err", "wb") as err:
    subprocess.run(sys.argv[2:], stdout=out, stderr=err)
seconds = time.monotonic() - start
peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss / 1024
print("%.3f %.0f" % (seconds, peak))
PY
}

declare -A best peak
keep() {
  local seconds=${2% *} memory=${2#* }
  if [[ -z ${best[$1]:-} ]] || awk "BEGIN { exit !($seconds < ${best[$1]}) }"; then
    best[$1]=$seconds
  fi
  if [[ -z ${peak[$1]:-} ]] || ((memory > ${peak[$1]})); then peak[$1]=$memory; fi
}

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
for ((round = 1; round <= rounds; round++)); do
  keep vnu "$(measure "$work/vnu.json" java -jar "$jar" --format json --stdout --exit-zero-always \
    "$work"/docs/*.html)"
  keep j1 "$(measure "$work/checker-1.json" "$checker" --html5-checker "$jar" -j 1 \
    --format json "$work/docs")"
  keep j2 "$(measure "$work/checker-2.json" "$checker" --html5-checker "$jar" -j 2 \
    --format json "$work/docs")"
done
window_line=
if [[ -x $window ]]; then
  command=("$window" "$work/docs" "$jar" 2)
  if [[ -z ${DISPLAY:-} ]]; then command=(xvfb-run -a -s "-screen 0 1280x1024x24" "${command[@]}"); fi
  window_line=$("${command[@]}" 2>/dev/null | grep '^window:' || true)
fi
echo "load after:  $(cut -d' ' -f1-3 /proc/loadavg)"

python3 - "$work" <<'PY'
import json, sys
work = sys.argv[1]
ours = json.load(open(work + "/checker-2.json"))
peer = json.load(open(work + "/vnu.json"))
html5 = sum(1 for t in ours["targets"] if t["checker"] == "html5")
print("pages: %d checked by the HTML5 checker, %d not checked; %d messages (vnu.jar alone: %d)"
      % (html5, ours["summary"]["couldNotCheck"],
         sum(len(t["messages"]) for t in ours["targets"]), len(peer["messages"])))
PY
cmp -s "$work/checker-1.json" "$work/checker-2.json" || echo "WARNING: -j 1 and -j 2 differ"
ratio() { awk "BEGIN { printf \"%.2f\", $1 / $2 }"; }
printf 'java -jar vnu.jar --format json: %s s, peak %s MiB\n' "${best[vnu]}" "${peak[vnu]}"
printf 'tessavo-check -j 1: %s s (%sx), peak %s MiB\n' "${best[j1]}" \
  "$(ratio "${best[j1]}" "${best[vnu]}")" "${peak[j1]}"
printf 'tessavo-check -j 2: %s s (%sx), peak %s MiB\n' "${best[j2]}" \
  "$(ratio "${best[j2]}" "${best[vnu]}")" "${peak[j2]}"
[[ -n $window_line ]] && echo "$window_line (2 jobs)"
exit 0
