#!/usr/bin/env bash
# A document with millions of errors: tessavo-check --max-errors 0 in each
# format against onsgmls alone writing its error file for the same
# document. Prints each format's time as a ratio to the validator's and the
# checker's peak memory, which must not grow with the number of messages.
# The default, 12 million errors in a 200 MB document, takes minutes; give a
# smaller count to try it.
# Usage: bench/check/many_messages.sh [ERRORS]
# Goals: peak no more than the validator's own + 32 MB, ratio <= 2
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
errors=${1:-12000000}
build_dir=$root/build-bench
"$root/scripts/setup.sh" "$build_dir" -DCMAKE_BUILD_TYPE=Release -DTESSAVO_GUI=OFF >/dev/null
checker=$build_dir/bin/tessavo-check
catalog=$build_dir/bin/catalog
validator=$(command -v onsgmls)

work=$build_dir/bench-many-messages
rm -rf "$work"
mkdir -p "$work/temp"
chmod 700 "$work/temp"
trap 'rm -rf "$work"' EXIT
# Every line after the head is one undefined element: one error each.
{
  printf '<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01//EN">\n<title>t</title>\n<p>\n'
  awk -v n="$errors" 'BEGIN { for (i = 0; i < n; i++) print "<blink>x</blink>" }'
} >"$work/page.html"
echo "document: $(du -h "$work/page.html" | cut -f1), $errors errors; load: $(cut -d' ' -f1-3 /proc/loadavg)"

export SP_CHARSET_FIXED=YES SP_ENCODING=EUC-JP XDG_RUNTIME_DIR=$work/temp
now() { date +%s.%N; }
calc() { awk "BEGIN { print $1 }"; }
# Runs the command after OUTPUT with its standard output there; prints the
# peak memory in MB of the command and the processes it waited for.
peak() {
  python3 -c 'import resource, subprocess, sys
subprocess.run(sys.argv[2:], stdout=open(sys.argv[1], "wb"), stderr=subprocess.DEVNULL)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss // 1024)' "$@"
}

start=$(now)
validator_peak=$(peak /dev/null "$validator" -c"$catalog" -E0 -f"$work/direct.err" -s "$work/page.html")
direct=$(calc "$(now) - $start")
echo "onsgmls alone: ${direct} s, peak ${validator_peak} MB, $(wc -l <"$work/direct.err") lines"
rm -f "$work/direct.err"

for format in text gnu json; do
  start=$(now)
  checker_peak=$(peak "$work/out" "$checker" --validator "$validator" --max-errors 0 \
    --format "$format" "$work/page.html")
  took=$(calc "$(now) - $start")
  echo "$format: ${took} s, ratio $(calc "$took / $direct"), peak ${checker_peak} MB" \
    "(the validator's included), $(du -h "$work/out" | cut -f1) written," \
    "run folders left: $(ls -A "$work/temp" | wc -l)"
  rm -f "$work/out"
done
