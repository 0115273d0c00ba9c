#!/usr/bin/env bash
# Starts the window under Xvfb with the sample working set, checks it, and
# saves a PNG of the screen once the check has ended ("検査終了").
# Usage: scripts/screenshot.sh [OUTPUT.png [BUILD_DIR]]
# The settings live in a temporary folder; the user's are never touched.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
output=$(realpath -m "${1:-$root/build/screenshot.png}")
build_dir=${2:-$root/build}

for tool in xvfb-run import; do
  if ! command -v "$tool" >/dev/null; then
    echo "screenshot: $tool is missing; scripts/setup.sh installs it (scripts/packages.txt)" >&2
    exit 1
  fi
done
[[ -x $build_dir/bin/tessavo ]] || "$root/scripts/setup.sh" "$build_dir"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config/Marrowby" "$work/data" "$work/run"
chmod 700 "$work/run"
cat >"$work/config/Marrowby/Tessavo.conf" <<'SETTINGS'
[Settings]
left=0
top=0
right=1000
bottom=660
FileListPaneSizeY=170
SETTINGS

# A runtime folder of its own keeps a Tessavo the user runs from taking the
# sample as a second start; the data folder keeps the desktop's registration.
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
export NO_AT_BRIDGE=1
# The program checks its working set once its window is up and touches this
# file when the run has ended; only this script sets the variable.
export TESSAVO_CHECK_DONE_MARKER=$work/done
export SCREENSHOT_OUTPUT=$output TESSAVO_PROGRAM=$build_dir/bin/tessavo
cd "$root"
xvfb-run -a -s "-screen 0 1000x660x24" bash -c '
  "$TESSAVO_PROGRAM" samples/sample.tvx 2>/dev/null &
  program=$!
  for _ in $(seq 600); do
    [[ -e $TESSAVO_CHECK_DONE_MARKER ]] && break
    sleep 0.1
  done
  if [[ ! -e $TESSAVO_CHECK_DONE_MARKER ]]; then
    echo "screenshot: the check did not end within a minute" >&2
    kill "$program"
    exit 1
  fi
  sleep 1  # let the last lines be painted
  import -window root "$SCREENSHOT_OUTPUT"
  kill "$program"
'
echo "screenshot: $output"
