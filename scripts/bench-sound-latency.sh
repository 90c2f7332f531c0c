#!/usr/bin/env bash
# How quickly the trainer's sound answers and what it costs idle, with the main window linked to
# a peer on a desktop with the accessibility bus up, recorded at a private PulseAudio null sink:
# the keyed tone (key press and release through the X server -> its edges at the output, alone
# and beside a planned sequence), the stop button (click -> silence), the program's CPU idle with
# the link up, and the first sound after the stream has been corked.
#   scripts/bench-sound-latency.sh                       # all four, nothing beside the program
#   scripts/bench-sound-latency.sh --condition all       # beside a reader, busy loops, a stall
#   scripts/bench-sound-latency.sh --quick               # fewer presses, stops and seconds
#   scripts/bench-sound-latency.sh --pad                 # keyed through the sending keying pad
# One condition (idle|reader|busy|stall|all|screenreader) for every run except the idle CPU one.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/bench-common.sh"
condition=idle
quick=0
pad=()
while [[ $# -gt 0 ]]; do
    case $1 in
        --condition) condition=$2; shift 2 ;;
        --quick) quick=1; shift ;;
        --pad) pad=(--pad); shift ;;
        *) echo "usage: $0 [--condition idle|reader|busy|stall|all|screenreader] [--quick] [--pad]"; exit 2 ;;
    esac
done
counts=(200 60 60 20)
[[ $quick -eq 1 ]] && counts=(60 15 20 8)
bench_build bench_sound_latency
bench_machine
bench=$build/bench/bench_sound_latency
bench_on_desktop "$bench" keying --count "${counts[0]}" --condition "$condition" "${pad[@]}"
bench_on_desktop "$bench" stop --count "${counts[1]}" --condition "$condition"
bench_on_desktop "$bench" idle --count "${counts[2]}"
bench_on_desktop "$bench" first-tone --count "${counts[3]}" --condition "$condition"
