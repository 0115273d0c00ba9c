#!/usr/bin/env bash
# The check pipeline against the validator alone, in the same run: 200
# documents of about 5 KB checked by tessavo-check with one validator at a
# time (-j 1) and with two at once (-j 2), and by the window's own check with
# two jobs (under Xvfb when there is no display), against a shell loop that
# runs onsgmls directly, one document after the other, on copies already
# converted to EUC-JP. Each runs three times, in turn; the best time of
# each counts. The machine's load is printed before and after: other work
# on the machine skews every figure.
# Usage: bench/check/run.sh     Goals: -j 1 <= 1.10, -j 2 <= 0.60 (2 cores)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=$root/build-bench
gui=OFF
if [[ -n ${DISPLAY:-} ]] || command -v xvfb-run >/dev/null; then gui=ON; fi
"$root/scripts/setup.sh" "$build_dir" -DCMAKE_BUILD_TYPE=Release -DTESSAVO_GUI=$gui >/dev/null
checker=$build_dir/bin/tessavo-check
catalog=$build_dir/bin/catalog
window=$build_dir/bin/bench_window_check

work=$build_dir/bench-check
rm -rf "$work"
mkdir -p "$work/docs" "$work/converted" "$work/temp"
chmod 700 "$work/temp"
python3 "$root/bench/check/make_documents.py" "$work/docs" 200
for document in "$work"/docs/*.html; do
  name=$(basename "$document" .html)
  nkf -x -e -Lw <"$document" >"$work/converted/$name.sgml"
done

export SP_CHARSET_FIXED=YES SP_ENCODING=EUC-JP XDG_RUNTIME_DIR=$work/temp
validator=$(command -v onsgmls)
now() { date +%s.%N; }
# awk does the arithmetic: bc is not on every machine.
calc() { awk "BEGIN { print $1 }"; }

checker_run() {
  "$checker" --validator "$validator" -j "$1" "$work/docs" >"$work/checker-$1.out" || [[ $? == 1 ]]
}
direct() {
  for converted in "$work"/converted/*.sgml; do
    onsgmls -c"$catalog" -f"$work/temp/direct.err" -s "$converted" || true
  done
}
# The window measures itself, from its check command to the pane's last
# line; it prints "window: SECONDS s, LINES lines".
window_run() {
  local command=("$window" "$work/docs" "$validator" 2)
  if [[ -z ${DISPLAY:-} ]]; then command=(xvfb-run -a -s "-screen 0 1280x1024x24" "${command[@]}"); fi
  "${command[@]}" 2>/dev/null | tee "$work/window.out" | awk '/^window:/ { print $2 }'
}

declare -A best
keep() {
  if [[ -z ${best[$1]:-} ]] || (($(calc "$2 < ${best[$1]}"))); then best[$1]=$2; fi
}
timed() {
  local start end
  start=$(now)
  "$@"
  end=$(now)
  calc "$end - $start"
}

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
for round in 1 2 3; do
  keep direct "$(timed direct)"
  keep j1 "$(timed checker_run 1)"
  keep j2 "$(timed checker_run 2)"
  if [[ $gui == ON ]]; then keep window "$(window_run)"; fi
done
echo "load after:  $(cut -d' ' -f1-3 /proc/loadavg)"

cmp -s "$work/checker-1.out" "$work/checker-2.out" || echo "WARNING: -j 1 and -j 2 differ"
if [[ $gui == ON ]] && ! grep -q "^window: .*, $(wc -l <"$work/checker-2.out") lines," "$work/window.out"; then
  echo "WARNING: the window listed another number of lines than tessavo-check"
fi
headers=$(grep -c '^-------- ' "$work/checker-2.out")
messages=$(grep -vc -e '^-------- ' -e '^検査終了$' "$work/checker-2.out" || true)
echo "documents: $headers checked, $messages validator lines"
printf 'onsgmls loop (direct):    %.3f s\n' "${best[direct]}"
printf 'tessavo-check -j 1:       %.3f s   ratio %.3f (goal <= 1.10)\n' "${best[j1]}" \
  "$(calc "${best[j1]} / ${best[direct]}")"
printf 'tessavo-check -j 2:       %.3f s   ratio %.3f (goal <= 0.60)\n' "${best[j2]}" \
  "$(calc "${best[j2]} / ${best[direct]}")"
if [[ $gui == ON && -n ${best[window]:-} ]]; then
  printf 'window, Jobs 2:           %.3f s   ratio %.3f (%s)\n' "${best[window]}" \
    "$(calc "${best[window]} / ${best[direct]}")" "$(sed 's/^window: [^,]*, //' "$work/window.out")"
fi
