#!/usr/bin/env bash
# Runs each fuzz target for a long time (10 million executions by default) from its seed corpus,
# one at a time, and prints what each found. Inputs that make a target fail are left in
# build-fuzz/tests/fuzz/work/<target>/: copy them into tests/fuzz/regression/<target>/ once the
# fault is mended, so that the test command keeps running them.
#   scripts/fuzz.sh [runs] [target...]
# QUILL_FUZZ_SECONDS=n stops each target after n seconds if it has not made its runs by then.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
runs=${1:-10000000}
shift || true
targets=("$@")
[[ ${#targets[@]} -gt 0 ]] || targets=(fuzz_wire fuzz_question_file fuzz_settings fuzz_wave_file
                                       fuzz_dispatch)
bash scripts/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
for target in "${targets[@]}"; do
    work=build-fuzz/tests/fuzz/work/$target
    mkdir -p "$work"
    echo "== $target: $runs executions"
    start=$(date +%s)
    status=0
    "build-fuzz/tests/fuzz/$target" -runs="$runs" -max_len=4096 -timeout=10 \
        -max_total_time="${QUILL_FUZZ_SECONDS:-0}" \
        -artifact_prefix="$work/" -print_final_stats=1 "$work" "tests/fuzz/corpus/$target" \
        2>&1 | grep -E "^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::peak_rss|==[0-9]+==ERROR|SUMMARY|artifact)" ||
        status=$?
    echo "   $(( $(date +%s) - start )) s"
done
