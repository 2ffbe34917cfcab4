#!/usr/bin/env bash
# Pictures of the window under a light and a dark desktop theme on a virtual display, with a
# window manager: theme-light.png, theme-dark.png and the About box, theme-about-dark.png.
# Usage: scripts/theme-screenshot.sh BUILD_DIR FILE [OUT_DIR]   (default OUT_DIR: ./theme-shots)
set -euo pipefail
build=$(cd "${1:?a build folder}" && pwd)
file=${2:?a TNEF file to show}
out=${3:-$PWD/theme-shots}
mkdir -p "$out"
cmake --build "$build" --target theme_shot >/dev/null
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
HOME="$home" XDG_RUNTIME_DIR="$home" QT_QPA_PLATFORMTHEME= \
  xvfb-run -a -s "-screen 0 1400x1000x24" \
  sh -c '{ openbox & } 2>/dev/null; sleep 1; exec "$0" "$@"' "$build/tests/app/theme_shot" "$file" "$out"
