#!/usr/bin/env bash
# Installs what is missing, builds the editor into build/release and starts it
# on a sample image (or the file given as the first argument). Without a
# display it shows the sample's comment with tessane-cli instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSANE_BUILD_TESTS=OFF
targets=(tessane gif jpeg)
[ -f cli/CMakeLists.txt ] && targets+=(tessane-cli)
cmake --build build/release -j "$(nproc)" --target "${targets[@]}"

sample="${1:-samples/sakura.jpg}"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset), so the editor cannot open a window."
    echo "Showing the comment of $sample with tessane-cli instead:"
    echo
    if [ -x build/release/bin/tessane-cli ]; then
        build/release/bin/tessane-cli show "$sample"
    else
        echo "tessane-cli was not built; start the editor on a machine with a display:"
        echo "    build/release/bin/tessane $sample"
    fi
    exit 0
fi
exec build/release/bin/tessane "$sample"
