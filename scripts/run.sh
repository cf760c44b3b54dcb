#!/usr/bin/env bash
# Installs what is missing, builds Torvik6 and starts it.
# Usage: scripts/run.sh [FOLDER]   (program folder, default ~/Torvik6)
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake -S . -B build
cmake --build build -j "$(nproc)" --target torvik6 torvik6-cli
exec ./build/torvik6 "$@"
