#!/usr/bin/env bash
# Regenerates the screenshots in docs/screenshots/: the blank main window, a stance test on the
# simulated platform, the sensor check, a replay, the Graph Setup and
# Subject dialogs and a window with a dialog bar, drawn on a virtual X display.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKENVO_BUILD_TESTS=OFF \
    -DKENVO_BUILD_BENCH=OFF >/dev/null
cmake --build build-release -j "$(nproc)" --target kenvoplat-screenshots

runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
XDG_RUNTIME_DIR="$runtime" xvfb-run -a -s "-screen 0 1024x768x24" \
    build-release/src/app/kenvoplat-screenshots docs/screenshots
