#!/usr/bin/env bash
# Builds KenvoPlat (Release) and starts the program. Without an attached platform choose
# Test > Platform > Simulated ... to run every test on a simulated one.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKENVO_BUILD_TESTS=OFF \
    -DKENVO_BUILD_BENCH=OFF >/dev/null
cmake --build build-release -j "$(nproc)" --target kenvoplat kenvoplat-cli

program=build-release/src/app/kenvoplat
# Without an attached platform, start on the simulated one so every test can be tried at once.
if [ -z "${KENVOPLAT_PLATFORM:-}" ] && [ -z "$(build-release/src/cli/kenvoplat-cli devices 2>/dev/null)" ]; then
    echo "No platform attached: using the simulated platform (Test > Platform chooses another)."
    export KENVOPLAT_PLATFORM=simulated
fi
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
