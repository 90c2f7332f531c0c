#!/usr/bin/env bash
# Runs a command beside a private PulseAudio server whose default sink is a null sink
# ("nullsink", its monitor "nullsink.monitor"), as a desktop's user service would run it.
# The server lives in its own runtime folder, so parallel runs never meet, and it is stopped
# by its PID however the command ends. Exits 77 (skipped) only when PulseAudio is missing.
# The benchmarks set QUILL_PULSE_PRIORITY=desktop to run the server as a desktop does (real-time
# scheduling and a raised priority, where allowed), and QUILL_NULL_SINK_OPTIONS for the sink.
set -uo pipefail

if ! command -v pulseaudio >/dev/null || ! command -v pactl >/dev/null; then
    echo "with-null-sink: pulseaudio or pactl missing, skipped"
    exit 77
fi

runtime=$(mktemp -d)
server_pid=
cleanup() {
    if [[ -n "$server_pid" ]]; then
        kill "$server_pid" 2>/dev/null
        # Bounded: a server that ignores TERM for 2 s is killed.
        for _ in $(seq 40); do
            kill -0 "$server_pid" 2>/dev/null || break
            sleep 0.05
        done
        kill -KILL "$server_pid" 2>/dev/null
    fi
    rm -rf "$runtime"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

export XDG_RUNTIME_DIR=$runtime
export PULSE_SERVER=unix:$runtime/pulse/native
# Neither the user's nor the system's client settings may redirect us elsewhere.
export PULSE_CLIENTCONFIG=/dev/null
mkdir -p "$runtime/pulse"
priority=(--realtime=no --high-priority=no)
if [[ ${QUILL_PULSE_PRIORITY:-} == desktop ]]; then
    priority=(--realtime=yes --high-priority=yes)
fi
# HOME is where PulseAudio keeps its cookie and state; keep them in the private folder too.
HOME=$runtime pulseaudio -n --daemonize=no --use-pid-file=no --exit-idle-time=-1 \
    "${priority[@]}" --disallow-exit \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$runtime/pulse/native" \
    -L "module-null-sink sink_name=nullsink rate=48000 channels=2 ${QUILL_NULL_SINK_OPTIONS:-}" \
    >"$runtime/server.log" 2>&1 &
server_pid=$!
disown "$server_pid"  # the checks may kill it; that is no news for this script
# For the checks that freeze or kill the server.
export QUILL_PULSE_PID=$server_pid

ready=0
for _ in $(seq 200); do  # at most 10 s
    if pactl info >/dev/null 2>&1; then
        ready=1
        break
    fi
    kill -0 "$server_pid" 2>/dev/null || break
    sleep 0.05
done
if [[ $ready -ne 1 ]]; then
    echo "with-null-sink: the sound server did not start"
    cat "$runtime/server.log"
    exit 1
fi
pactl set-default-sink nullsink

"$@"
exit $?
