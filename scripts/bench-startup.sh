#!/usr/bin/env bash
# Start-up as a user meets it, seen from outside the program: the release build started on a
# virtual desktop with the accessibility bus up and a private sound server, the time to its main
# window being viewable and its resident memory after it. Prints one line a run.
#   scripts/bench-startup.sh [runs, default 6]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/bench-common.sh"
runs=${1:-6}
bench_build quillstart
bench_machine
bench_on_desktop "$repo/bench/startup/measure-from-outside.sh" "$build/src/quillstart" "$runs"
