#!/usr/bin/env bash
# Debian's fldigi CW decoder beside the recording decoder, on the very same sound files and
# scored by the very same rule: the clean fist at each speed, at -10 to 0 and +6 dB. The sound is
# played to fldigi in real time: a text of about 200 characters lasts 2.5 minutes at 20 WPM (5 at
# 10 WPM), so the default run takes about 40 minutes. fldigi is needed only here:
# apt-get install fldigi.
#   scripts/bench-fldigi.sh [texts per point, default 2] [speeds in WPM, default "20"]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/bench-common.sh"
texts=${1:-2}
speeds=${2:-20}
for tool in fldigi Xvfb paplay pactl; do
    command -v "$tool" >/dev/null || { echo "bench-fldigi: $tool missing, skipped"; exit 77; }
done
bench_build bench_copy_from_sound >/dev/null
bench_machine
echo "fldigi: $(fldigi --version | head -1)"
sounds=$(mktemp -d)
trap 'rm -rf "$sounds"' EXIT
files=()
for wpm in $speeds; do
    # Writes every point of the clean fists at this speed; only these are played.
    "$build/bench/bench_copy_from_sound" --save "$sounds" "$texts" "$wpm" clean >/dev/null
    for snr in -10 -8 -6 -4 -2 +0 +6; do
        files+=("$sounds"/clean-"$wpm"wpm-"$snr"dB-*.wav)
    done
done
QUILL_PULSE_PRIORITY=desktop "$repo/tests/realsound/with-null-sink.sh" \
    /usr/bin/python3 "$repo/bench/fldigi/fldigi_cw.py" "$build/bench/bench_copy_from_sound" \
    "${files[@]}"
