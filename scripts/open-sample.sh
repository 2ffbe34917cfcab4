#!/usr/bin/env bash
# Opens a TNEF file in the Parcelo window. Where there is no display ($DISPLAY and
# $WAYLAND_DISPLAY unset), says so and extracts the file with parcelo-extract instead, into
# BUILD_DIR/sample-extracted.
# Usage: scripts/open-sample.sh [BUILD_DIR] [FILE]
#        (defaults: build/ and examples/sample.dat of this repository)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
sample=${2:-$root/examples/sample.dat}

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "open-sample: no display (\$DISPLAY and \$WAYLAND_DISPLAY are unset), so no window;" \
       "extracting $sample with parcelo-extract instead:" >&2
  exec "$build/cli/parcelo-extract" -o "$build/sample-extracted" "$sample"
fi
exec "$build/app/parcelo" "$sample"
