#!/usr/bin/env bash
# Whole Normal lessons as the user plays them (the main window's start button, its lesson
# controller, the real sound output) on a desktop with the accessibility bus up, recorded at a
# private PulseAudio null sink: beep and WAV mode, 25/45/60 per minute, fine adjustment -20/0/+20,
# with nothing beside the program, a client reading the window's whole accessible tree without a
# break, two busy loops, the window thread blocked 500 ms once a second, and all at once. Prints
# a Markdown table per condition: tone edges against the nominal timeline, holes, the labels'
# changes against the sound, the program's CPU and its window thread's time per character.
# With --free, speeds of their own as well (c or c/s words a minute, "+w" for extra word space),
# each in both modes: edges against the exact timeline from the formula, the largest element and
# gap errors in samples, the length of PARIS in %, and at 25/4 the gaps of 2133 and 4978 ms.
#   scripts/bench-lesson-timing.sh                      # all five conditions, 20 runs at 45/min
#   scripts/bench-lesson-timing.sh --conditions reader --runs 5 --other-runs 0
#   scripts/bench-lesson-timing.sh --conditions screenreader --runs 3 --other-runs 0
#   scripts/bench-lesson-timing.sh --quick
#   scripts/bench-lesson-timing.sh --conditions idle --runs 0 --other-runs 0 \
#       --free 5,13,20,30,45,60,25/4,18/10,20/5 [--free-runs 1]   # only speeds of their own
# The options are bench_lesson_timing's (see bench/bench_lesson_timing.cpp).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/bench-common.sh"
bench_build bench_lesson_timing
bench_machine
echo
bench_on_desktop "$build/bench/bench_lesson_timing" "$@"
