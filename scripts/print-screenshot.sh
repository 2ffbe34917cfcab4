#!/usr/bin/env bash
# Pictures of printing from the window on a virtual display: the progress dialog as the
# second sheet prints (print-progress.png, and the whole screen in print-progress-screen.png),
# the screen once the job has ended (print-done-screen.png), and the PDF file (printed.pdf).
# With PARCELO_REAL_PRINT_DIALOG=1 the Print dialog is shown and pictured too
# (print-dialog-screen.png) and accepted as it stands.
# Usage: scripts/print-screenshot.sh BUILD_DIR FILE [OUT_DIR]   (default OUT_DIR: ./print-shots)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?a build folder}" && pwd)
file=${2:?a TNEF file to print}
out=${3:-$PWD/print-shots}
mkdir -p "$out"
cmake --build "$build" --target print_progress_shot >/dev/null
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
HOME="$home" XDG_RUNTIME_DIR="$home" \
  xvfb-run -a -s "-screen 0 1024x768x24" "$build/tests/app/print_progress_shot" \
  ${PARCELO_REAL_PRINT_DIALOG:+--real-dialog} "$file" "$out"
