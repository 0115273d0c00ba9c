#!/usr/bin/env bash
# Runs every test program of the Windows build under wine, with the Japanese
# locale so that the ANSI code page is 932, in a fresh wine prefix (its
# first-start set-up included). Prints how many tests ran and fails on any
# failure. Usage: scripts/windows_tests.sh [BUILD_DIR]  (default build-windows,
# built by scripts/windows.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$root/build-windows}
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
started=$SECONDS

work=$(mktemp -d "${TMPDIR:-/tmp}/tessavo-wine.XXXXXX")
export WINEPREFIX=$work/prefix WINEDEBUG=-all
# No Mono or Gecko: no test needs them, and their set-up would ask for them.
export WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  "$wineserver" -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Wine takes its code page from the locale, which must exist on the system.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  mkdir -p "$work/locales"
  localedef -i ja_JP -f UTF-8 "$work/locales/ja_JP.UTF-8" 2>/dev/null
  export LOCPATH=$work/locales
fi
run_wine() {
  LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 "$wine" "$@"
}

echo "windows: setting up wine in $WINEPREFIX"
run_wine wineboot --init >/dev/null 2>&1
"$wineserver" -w
echo "windows: wine ready after $((SECONDS - started)) s"

total=0
failed=()
for program in "$build_dir"/bin/*_test.exe; do
  name=$(basename "$program" .exe)
  log=$work/$name.log
  status=0
  (cd "$build_dir/bin" && timeout 600 env LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 "$wine" "$program" >"$log" 2>&1) || status=$?
  ran=$(sed -n 's/^\[==========\] \([0-9]*\) tests\? from .* ran\..*/\1/p' "$log" | tail -1)
  total=$((total + ${ran:-0}))
  if ((status != 0)) || [[ -z $ran ]] || grep -q '^\[  FAILED  \]' "$log"; then
    failed+=("$name")
    echo "windows: $name FAILED (exit status $status)"
    grep -E '^\[  FAILED  \]|Failure|error' "$log" | head -40 || true
  else
    skipped=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\?,.*/\1/p' "$log" | tail -1)
    echo "windows: $name: ${ran} tests passed${skipped:+, $skipped skipped}"
  fi
done

echo "windows: $total tests ran under wine in $((SECONDS - started)) s"
if ((${#failed[@]})); then
  echo "windows: failed: ${failed[*]}" >&2
  exit 1
fi
