#!/usr/bin/env bash
# Installs what is missing, builds Torvik6 and runs every test.
# Usage: scripts/test.sh [--sanitize]   (builds in build/ or build-asan/)
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
dir=build
opts=()
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan
  opts+=(-DTORVIK6_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo)
fi
cmake -S . -B "$dir" "${opts[@]}"
cmake --build "$dir" -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
