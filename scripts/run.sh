#!/usr/bin/env bash
# Builds KenvoPlat (Release) and starts it: on the attached platform when one is found,
# otherwise on the simulated platform.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKENVO_BUILD_TESTS=OFF >/dev/null
cmake --build build-release -j "$(nproc)" --target kenvoplat-cli kenvoplat-emulator

cli=build-release/src/cli/kenvoplat-cli
if [ -n "$($cli devices)" ]; then
    exec "$cli" monitor "$@"
else
    echo "No platform attached: showing the simulated platform."
    exec "$cli" monitor --simulate --seconds 10 "$@"
fi
