#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz and runs each for a bounded time
# (FUZZ_SECONDS, default 20). A crash, sanitizer report or failed check fails the script.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-fuzz"
seconds="${FUZZ_SECONDS:-20}"

CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DKENVO_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C "$build" >"$build.log" 2>&1 || { tail -n 40 "$build.log" >&2; echo "fuzz build failed" >&2; exit 1; }

# Small valid files as starting points, so the runs spend their time past the signature.
seed() {
    local dir="$build/corpus/$1"
    mkdir -p "$dir"
    # Keep an existing corpus; still read the seed so the writer of the pipe is not cut off.
    if [ -n "$(ls -A "$dir")" ]; then cat >/dev/null; return 0; fi
    { printf '\x0fKenvo_Plat_V1.1'; cat; } >"$dir/seed"
}
zeros() { head -c "$1" /dev/zero; }
{ printf '\x01A\x03\0\0\0\0\0\0\0\x03\0\0\0\x01\0\0\0'; } | seed protocol_file
zeros 196 | seed configuration_file
# Driving data set (test mode 3), a subject "S", one attempt of two 14-byte samples.
{ zeros 8; zeros 12; printf '\x03\0\0\0'; zeros 28; printf '\x01S'; zeros 12; zeros 3
  printf '\x0a\0\0\0\x01\0\0\0'; zeros 4; printf '\x02\0\0\0\x01\0\0\0'; zeros 28; } | seed measurement_file
{ printf '\xff\xfe\xff\x02A\0\x01\x01'; } | seed archive_string

status=0
for target in archive_string measurement_file configuration_file protocol_file; do
    corpus="$build/corpus/$target"
    log="$build/fuzz_$target.log"
    echo "fuzz_$target: ${seconds} s"
    if ! (cd "$build" && "./tests/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 \
            -rss_limit_mb=4096 -print_final_stats=1 "$corpus" >"$log" 2>&1); then
        echo "fuzz_$target FAILED; see $log" >&2
        tail -n 30 "$log" >&2
        status=1
    else
        grep -E '^stat::number_of_executed_units' "$log" || true
    fi
done
exit "$status"
