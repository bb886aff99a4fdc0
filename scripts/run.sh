#!/usr/bin/env bash
# Installs what is missing, builds a release tree and lists the plug-ins it finds.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j "$(nproc)"
ls build/release/bin/*.cpi 2>/dev/null || echo "no plug-ins built yet"
