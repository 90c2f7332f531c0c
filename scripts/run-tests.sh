#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite twice: in the normal build,
# then in the AddressSanitizer + UndefinedBehaviorSanitizer build (clang), which also carries
# the fuzz targets and runs their short runs. A build failure stops at once; a failing test run
# is remembered, the other runs still go, and the script exits non-zero at the end.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
bash scripts/install-deps.sh

jobs=$(nproc)
logs=$(mktemp -d)
build_pid=
cleanup() {
    if [[ -n "$build_pid" ]]; then
        kill -- "-$build_pid" 2>/dev/null || true
    fi
    rm -rf "$logs"
}
trap cleanup EXIT
failed=0

# run_tests PRESET LOG [ctest arguments...]: runs one preset's tests (or some of them).
run_tests() {
    local preset=$1 log=$2
    shift 2
    echo "== $preset: tests $*"
    if ! ctest --preset "$preset" --no-tests=error "$@" 2>&1 | tee "$logs/$log.log"; then
        failed=1
    fi
}

echo "== default: configure and build"
cmake --preset default
cmake --build --preset default -j"$jobs"
# The normal suite runs while the sanitizer build goes on at a lower priority: its tests spend
# most of their time waiting on their virtual clock, their sockets and the desktop, and the build
# takes the cores they leave. Only the sound test, which measures timing to the millisecond, waits
# for the build to end.
echo "== sanitize: configure and build (beside the tests, in $logs/sanitize-build.log)"
nice -n 10 setsid bash -c 'cmake --preset sanitize && cmake --build --preset sanitize -j"$1"' \
    build "$jobs" >"$logs/sanitize-build.log" 2>&1 &
build_pid=$!
run_tests default default -LE realsound
echo "== sanitize: waiting for its build"
if ! wait "$build_pid"; then
    build_pid=
    cat "$logs/sanitize-build.log"
    echo "== sanitize: the build failed"
    exit 1
fi
build_pid=
tail -n 3 "$logs/sanitize-build.log"
run_tests default realsound -L realsound
# The sanitizer run leaves out the tests that need a sound server (its preset excludes the label
# "realsound") or a display. The desktop check goes by name: a label exclusion given here would
# replace the preset's rather than add to it.
run_tests sanitize sanitize --exclude-regex '^desktop_'

echo "== summary"
for log in default realsound sanitize; do
    summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of' "$logs/$log.log" || true)
    echo "$log: ${summary:-no test summary (ctest did not finish)}"
done
exit "$failed"
