#!/usr/bin/env bash
# Builds and runs the sound benchmark: a fixed run of Morse symbols played through the real
# sound output into a private PulseAudio null sink, idle and beside two busy CPU loops. Prints
# the recorded tone edges' errors against the nominal timeline and the CPU time used.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
bash scripts/install-deps.sh
cmake --preset bench >/dev/null
cmake --build --preset bench --target bench_sound -j2
exec tests/realsound/with-null-sink.sh build-bench/bench/bench_sound
