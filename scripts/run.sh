#!/usr/bin/env bash
# Sets up, builds and runs the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" "$root/build"
echo "run: the window is not built yet; the build is ready in $root/build."
