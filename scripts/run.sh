#!/usr/bin/env bash
# Builds KenvoPlat (Release) and starts the program. Without an attached platform choose
# Test > Platform > Simulated ... to run every test on a simulated one.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKENVO_BUILD_TESTS=OFF \
    -DKENVO_BUILD_BENCH=OFF >/dev/null
cmake --build build-release -j "$(nproc)" --target kenvoplat

program=build-release/src/app/kenvoplat
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "KenvoPlat is a desktop program, but no display was found (DISPLAY and WAYLAND_DISPLAY are unset)."
    if command -v xvfb-run >/dev/null; then
        echo "Starting it on a virtual X display (xvfb-run); nothing will be visible. Stop it with Ctrl+C."
        exec xvfb-run -a -s "-screen 0 1024x768x24" "$program" "$@"
    fi
    echo "Run this script from a desktop session."
    exit 1
fi
exec "$program" "$@"
