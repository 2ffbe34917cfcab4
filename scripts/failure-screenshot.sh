#!/usr/bin/env bash
# Pictures of the window's failure messages on a virtual display: an attachment that no
# program opens, "Save All..." meeting existing names, and loads that fail with a known cause.
# The attachment is of a type no desktop program claims; the user's own XDG folders are empty.
# Usage: scripts/failure-screenshot.sh BUILD_DIR [OUT_DIR]   (default OUT_DIR: ./failure-shots)
set -euo pipefail
build=$(cd "${1:?a build folder}" && pwd)
out=${2:-$PWD/failure-shots}
mkdir -p "$out"
cmake --build "$build" --target failure_shot >/dev/null
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
HOME="$home" XDG_RUNTIME_DIR="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" \
  xvfb-run -a -s "-screen 0 1024x768x24" "$build/tests/app/failure_shot" "$out"
