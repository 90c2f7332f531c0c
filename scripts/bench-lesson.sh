#!/usr/bin/env bash
# Responsiveness and cost of the trainer while it plays, with real sound into a private
# PulseAudio null sink: click and message latency during a question, CPU per second of sound and
# idle with a link up, and start-up time with and without a sound server. Prints the figures.
#   scripts/bench-lesson.sh [seconds of question, default 120]
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
seconds=${1:-120}
bash scripts/install-deps.sh
cmake --preset bench >/dev/null
cmake --build --preset bench --target lesson_bench -j"$(nproc)"
bench=build-bench/bench/lesson_bench
sink=tests/realsound/with-null-sink.sh
echo "== machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)"
echo "== responsiveness (real sound)"
"$sink" "$bench" responsiveness 60
echo "== CPU (real sound)"
"$sink" "$bench" cpu "$seconds"
echo "== start-up with a sound server"
"$sink" "$bench" startup
echo "== start-up with no sound server answering"
env -u PULSE_SERVER XDG_RUNTIME_DIR="$(mktemp -d)" "$bench" startup
