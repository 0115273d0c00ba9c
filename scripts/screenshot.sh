#!/usr/bin/env bash
# Pictures of the window checking the sample working set, on a virtual
# display: one taken mid-run (the status bar shows the progress, the first
# documents' lines are listed) and one once the check has ended.
# Usage: scripts/screenshot.sh [OUTPUT.png [BUILD_DIR]]
# The mid-run picture goes beside OUTPUT as OUTPUT-running.png. The
# settings live in a temporary folder; the user's are never touched.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
output=$(realpath -m "${1:-$root/build/screenshot.png}")
running=${output%.png}-running.png
mkdir -p "$(dirname "$output")"
build_dir=${2:-$root/build}

for tool in xvfb-run import; do
  if ! command -v "$tool" >/dev/null; then
    echo "screenshot: $tool is missing; scripts/setup.sh installs it (scripts/packages.txt)" >&2
    exit 1
  fi
done
[[ -f $build_dir/CMakeCache.txt ]] || "$root/scripts/setup.sh" "$build_dir"
cmake --build "$build_dir" -j 2 --target screenshot_tour >/dev/null

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
cd "$root"
xvfb-run -a -s "-screen 0 1000x660x24" \
  "$build_dir/bin/screenshot_tour" samples/sample.tvx "$running" "$output"
echo "screenshot: $running"
echo "screenshot: $output"
