#!/usr/bin/env bash
# Runs a command on a desktop as a screen-reader user has it: a private virtual X display
# (Xvfb), a private session bus with the accessibility (AT-SPI) bus up, and Qt serving it
# (QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1), as tests/desktop sets it up. Everything it starts is
# stopped by its PID when the command ends. Exits 77 when a tool is missing.
set -uo pipefail

launcher=
for candidate in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher; do
    [[ -x $candidate ]] && launcher=$candidate && break
done
for tool in Xvfb dbus-run-session dbus-send; do
    command -v "$tool" >/dev/null || { echo "with-desktop: $tool missing, skipped"; exit 77; }
done
[[ -n $launcher ]] || { echo "with-desktop: at-spi-bus-launcher missing, skipped"; exit 77; }

if [[ -z ${QUILL_DESKTOP_BUS:-} ]]; then
    # A session bus of its own, so that the accessibility bus is this desktop's alone.
    exec env QUILL_DESKTOP_BUS=1 dbus-run-session -- "$0" "$@"
fi

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null
    done
    for pid in "${pids[@]}"; do
        for _ in $(seq 40); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.05
        done
        kill -KILL "$pid" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp -noreset 3>"$work/display" \
    >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    [[ -s $work/display ]] && break
    sleep 0.05
done
[[ -s $work/display ]] || { echo "with-desktop: Xvfb did not start"; exit 1; }
export DISPLAY=:$(tr -d '\n' <"$work/display")

"$launcher" --launch-immediately >/dev/null 2>&1 &
pids+=($!)
up=0
for _ in $(seq 100); do
    if dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.a11y.Bus.GetAddress >/dev/null 2>&1; then
        up=1
        break
    fi
    sleep 0.05
done
[[ $up -eq 1 ]] || { echo "with-desktop: the AT-SPI bus did not come up"; exit 1; }

export QT_QPA_PLATFORM=xcb QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
"$@"
exit $?
