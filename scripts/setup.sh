#!/usr/bin/env bash
# Installs the Debian packages the project needs (only the missing ones),
# fetches the HTML5 checker (vnu.jar) with npm into the build tree, then
# configures and builds. Usage: scripts/setup.sh [BUILD_DIR [CMAKE_ARGS...]]
# As root it installs with apt-get; otherwise it prints the command to run
# with sudo and stops if anything is missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$root/build}
shift || true

mapfile -t wanted < <(grep -v -E '^\s*(#|$)' "$root/scripts/packages.txt")
# npm fetches the HTML5 checker at build time; one that came with Node.js
# from elsewhere serves as well as Debian's.
command -v npm >/dev/null || wanted+=(npm)
# shellcheck source=install_missing.sh
source "$root/scripts/install_missing.sh"
install_missing setup "${wanted[@]}"

# The HTML5 checker at its pinned version. Its install script, which would
# fetch a Java runtime, is not run: Debian's runs it.
vnu_version=26.9.27
vnu_dir=$build_dir/html5-checker
if ! grep -qs "\"version\": \"$vnu_version\"" "$vnu_dir/node_modules/vnu-jar/package.json" ||
   [[ ! -f $vnu_dir/node_modules/vnu-jar/build/dist/vnu.jar ]]; then
  echo "setup: fetching vnu-jar $vnu_version with npm"
  mkdir -p "$vnu_dir"
  npm install --prefix "$vnu_dir" --ignore-scripts --no-audit --no-fund --no-save \
    "vnu-jar@$vnu_version" >/dev/null
fi

cmake -S "$root" -B "$build_dir" "$@" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
