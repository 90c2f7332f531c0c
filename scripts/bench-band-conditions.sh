#!/bin/bash
# The band conditions' figures (pure computation, no sound server): noise level, fading
# statistics, the same seed in two processes, rendering cost. Prints them; judges nothing.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUILL_BENCH_BUILD:-$repo/build-bench}
cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILL_BENCHMARKS=ON \
    -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j2 --target bench_band_conditions >/dev/null
echo "date: $(date -R)"
lscpu | grep -E '^(Model name|CPU\(s\)):' | sed 's/^/lscpu: /'
echo "load: $(cat /proc/loadavg)"
"$build/bench/bench_band_conditions"
