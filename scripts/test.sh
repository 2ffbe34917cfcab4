#!/usr/bin/env bash
# Builds Parcelo and runs all its tests.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
ctest --test-dir build --output-on-failure -j "$(nproc)"
