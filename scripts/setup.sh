#!/usr/bin/env bash
# On a fresh Debian 12 machine: installs what Parcelo needs, builds it and opens the bundled
# sample in the window (or, without a display, lists and extracts it on the command line).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-dependencies.sh
scripts/build.sh
exec scripts/open-sample.sh build examples/sample.dat
