#!/usr/bin/env bash
# Sets up, builds and starts the window with the sample working set.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" "$root/build"
cd "$root"
if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
  cat <<'TEXT'
run: there is no display here, so the window cannot open. Instead:
  xvfb-run -a build/bin/tessavo samples/sample.tvx   (runs the window on a virtual display)
  scripts/screenshot.sh                              (checks the samples there and saves build/screenshot.png)
  build/bin/tessavo-check samples/sample.tvx         (the same check, printed to the terminal)
TEXT
  exit 0
fi
exec "$root/build/bin/tessavo" samples/sample.tvx
