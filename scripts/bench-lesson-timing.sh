#!/usr/bin/env bash
# Builds and runs the lesson timing benchmark: a whole Normal lesson played through the real
# sound output into a private PulseAudio null sink, in beep and WAV mode, at 25, 45 and 60 per
# minute and fine adjustments -20, 0 and +20, idle and beside two busy CPU loops, and the same
# text through Debian's cw (unixcw) as the reference. Prints the machine, then a Markdown table
# of the recorded tone edges' errors against the nominal timeline.
# Options are the benchmark's: --load-subset (under load only 25 and 60 per minute at 0),
# --no-cw, --quick (idle, 60 per minute at 0 only). Builds into build-bench/ (or
# $QUILL_BENCH_BUILD), apart from the presets' build/.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
bash scripts/install-deps.sh
# Only this benchmark needs cw.
if [[ $(dpkg-query -W -f='${db:Status-Status}' cw 2>/dev/null || true) != "installed" ]]; then
    as_root=()
    if [[ $(id -u) -ne 0 ]]; then
        as_root=(sudo)
    fi
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends cw
fi

build=${QUILL_BENCH_BUILD:-$repo/build-bench}
cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target bench_lesson_timing -j2

echo "date: $(date -R)"
echo "uname: $(uname -a)"
lscpu | grep -E '^(Model name|CPU\(s\)|Thread\(s\) per core|CPU max MHz|Hypervisor vendor):' |
    sed 's/^/lscpu: /'
echo "pulseaudio: $(pulseaudio --version)"
echo
exec tests/realsound/with-null-sink.sh "$build/bench/bench_lesson_timing" "$@"
