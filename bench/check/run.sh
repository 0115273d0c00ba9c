#!/usr/bin/env bash
# The check pipeline's cost over the validator's own: 200 documents of about
# 5 KB checked by tessavo-check, against a shell loop that runs onsgmls
# directly on copies already converted to EUC-JP, in the same run. Each side
# runs three times, alternating; the best time of each counts.
# Usage: bench/check/run.sh     Goal: ratio <= 1.10
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=$root/build-bench
"$root/scripts/setup.sh" "$build_dir" -DCMAKE_BUILD_TYPE=Release -DTESSAVO_GUI=OFF >/dev/null
checker=$build_dir/bin/tessavo-check
catalog=$build_dir/bin/catalog

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
now() { date +%s.%N; }
# awk does the arithmetic: bc is not on every machine.
calc() { awk "BEGIN { print $1 }"; }

pipeline() {
  "$checker" --validator "$(command -v onsgmls)" "$work/docs" >"$work/pipeline.out" || [[ $? == 1 ]]
}
direct() {
  for converted in "$work"/converted/*.sgml; do
    onsgmls -c"$catalog" -f"$work/temp/direct.err" -s "$converted" || true
  done
}

best_pipeline=
best_direct=
for round in 1 2 3; do
  start=$(now); pipeline; end=$(now)
  time_pipeline=$(calc "$end - $start")
  start=$(now); direct; end=$(now)
  time_direct=$(calc "$end - $start")
  if [[ -z $best_pipeline ]] || (($(calc "$time_pipeline < $best_pipeline"))); then
    best_pipeline=$time_pipeline
  fi
  if [[ -z $best_direct ]] || (($(calc "$time_direct < $best_direct"))); then
    best_direct=$time_direct
  fi
done

headers=$(grep -c '^-------- ' "$work/pipeline.out")
messages=$(grep -vc -e '^-------- ' -e '^検査終了$' "$work/pipeline.out" || true)
echo "documents: $headers checked, $messages validator lines"
printf 'tessavo-check:          %.3f s\n' "$best_pipeline"
printf 'onsgmls loop (direct):  %.3f s\n' "$best_direct"
printf 'ratio:                  %.3f (goal <= 1.10)\n' "$(calc "$best_pipeline / $best_direct")"
