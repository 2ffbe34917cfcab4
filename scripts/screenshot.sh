#!/usr/bin/env bash
# Takes a picture of the Parcelo window showing a TNEF file, the way a new user sees it: on
# a virtual display (xvfb-run), with a fresh, empty home folder.
# Usage: scripts/screenshot.sh [BUILD_DIR] [FILE] [OUT.png]
#        (defaults: build/, examples/sample.dat, docs/screenshot.png of this repository)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
out=${3:-$root/docs/screenshot.png}
mkdir -p "$(dirname "$out")"
out=$(cd "$(dirname "$out")" && pwd)/$(basename "$out")
if [ -n "${2:-}" ]; then
  file=$2
else
  # The window shows the path as given: a short one makes a tidier picture.
  cd "$root"
  file=examples/sample.dat
fi
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
HOME="$home" XDG_RUNTIME_DIR="$home" \
  xvfb-run -a -s "-screen 0 1024x768x24" "$build/app/parcelo" --screenshot="$out" "$file"
echo "wrote $out"
