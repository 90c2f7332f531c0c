# Shared by the sound benchmarks' scripts (sourced, not run): the build, the machine's
# description, and the desktop a program runs on as users run it.

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUILL_BENCH_BUILD:-$repo/build-bench}

# Builds the targets in release mode into build-bench/ (or $QUILL_BENCH_BUILD), apart from the
# presets' build/.
bench_build() {
    bash "$repo/scripts/install-deps.sh"
    cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILL_BENCHMARKS=ON \
        -DBUILD_TESTING=OFF >/dev/null
    cmake --build "$build" -j2 --target "$@"
}

bench_machine() {
    echo "date: $(date -R)"
    echo "uname: $(uname -a)"
    lscpu | grep -E '^(Model name|CPU\(s\)|Thread\(s\) per core|CPU max MHz|Hypervisor vendor):' |
        sed 's/^/lscpu: /'
    echo "pulseaudio: $(pulseaudio --version)"
    echo "qt: $(dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null)"
    echo "load: $(cat /proc/loadavg)"
}

# Runs a command as a screen-reader user's desktop would: the sound server as a desktop runs it
# (real-time and raised priority where allowed) with a private null sink, a virtual display and
# the accessibility bus. The null sink does not rewind: the recorder at its monitor could not
# show what a rewind rewrites, and the program never needs one (it changes only what the sink
# has not taken yet); a real device that rewinds would start a sound after silence sooner, so
# the latencies measured here are upper bounds.
bench_on_desktop() {
    QUILL_PULSE_PRIORITY=desktop QUILL_NULL_SINK_OPTIONS=norewinds=1 \
        "$repo/tests/realsound/with-null-sink.sh" "$repo/bench/sound/with-desktop.sh" "$@"
}
