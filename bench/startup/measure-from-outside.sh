#!/usr/bin/env bash
# Run on a desktop by scripts/bench-startup.sh: starts the program RUNS times, each in an empty
# folder with a home of its own, and prints the time from starting it to its main window being
# viewable on the X display (polled with xwininfo) and its resident set 3 s after the start.
#   measure-from-outside.sh PROGRAM RUNS
set -uo pipefail
program=$1
runs=$2
for run in $(seq "$runs"); do
    folder=$(mktemp -d)
    mkdir -p "$folder/home"
    start=$(date +%s%N)
    (cd "$folder" && HOME=$folder/home exec "$program") >/dev/null 2>&1 &
    pid=$!
    shown=
    for _ in $(seq 5000); do
        for id in $(xwininfo -root -tree 2>/dev/null | awk '/Quillstart/ {print $1}'); do
            if xwininfo -id "$id" 2>/dev/null | grep -q IsViewable; then
                shown=$(date +%s%N)
                break 2
            fi
        done
        sleep 0.001
    done
    sleep 3
    resident=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status" 2>/dev/null)
    if [[ -n $shown ]]; then
        echo "run $run: window viewable $(( (shown - start) / 1000000 )) ms after the start," \
            "resident ${resident:-?} KiB 3 s after it, load $(cut -d' ' -f1 /proc/loadavg)"
    else
        echo "run $run: no window within the wait"
    fi
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    rm -rf "$folder"
done
