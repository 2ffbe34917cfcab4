#!/usr/bin/env bash
# Pictures of the window's look on a virtual display, as a new user sees it (fresh home
# folder): the screen, the window, the window with the mouse over Close and with the focus on
# Browse; then the same at twice the scale (look-2x-*.png).
# Usage: scripts/look-screenshot.sh BUILD_DIR FILE [OUT_DIR]   (default OUT_DIR: ./look-shots)
set -euo pipefail
build=$(cd "${1:?a build folder}" && pwd)
file=${2:?a TNEF file to show}
out=${3:-$PWD/look-shots}
mkdir -p "$out"
cmake --build "$build" --target look_shot >/dev/null
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
HOME="$home" XDG_RUNTIME_DIR="$home" \
  xvfb-run -a -s "-screen 0 1280x1024x24" "$build/tests/app/look_shot" "$file" "$out"
mkdir -p "$out/2x"
HOME="$home" XDG_RUNTIME_DIR="$home" QT_SCALE_FACTOR=2 \
  xvfb-run -a -s "-screen 0 1600x1200x24" "$build/tests/app/look_shot" "$file" "$out/2x"
