#!/usr/bin/env bash
# The sending decoder against seeded synthetic fists: character error rate per speed and kind
# of error, and the fist report's figures after 50 marks. Pure computation, no sound.
#   scripts/bench-decoder.sh [texts per condition, default 40]
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
cmake --preset bench >/dev/null
cmake --build --preset bench --target bench_decoder -j2
echo "== machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)"
build-bench/bench/bench_decoder "$@"
