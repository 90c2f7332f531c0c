#!/usr/bin/env bash
# Installs from Debian 12's archive whatever the trainer needs to build, run and be tested.
# Does nothing (and asks no server) when everything is already installed.
set -euo pipefail

packages=(
    # build tools
    build-essential cmake ninja-build pkg-config
    # Qt 6 (with Qt D-Bus, for asking RealtimeKit to schedule the sound thread)
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
    # the sound server's client library (PulseAudio, or PipeWire's PulseAudio server)
    libpulse-dev
    # fast real FFTs of any length for the waterfall (the sources' rates are no powers of two)
    libfftw3-dev
    # the lesson history: SQLite through Qt SQL, and its charts
    libqt6sql6-sqlite qt6-charts-dev libqt6opengl6-dev
    # serial key interfaces: their status lines through Qt Serial Port
    qt6-serialport-dev
    # format check of the tests
    clang-format
    # the fuzz targets: clang with libFuzzer and its sanitizers
    clang libclang-rt-14-dev lld
    # Qt's own dialogs in Japanese
    qt6-translations-l10n
    # Japanese font for the interface
    fonts-ipafont-gothic
    # a sound server for the tests that play real sound into a null sink
    pulseaudio pulseaudio-utils
    # the desktop accessibility check: a virtual display, a private session bus and AT-SPI
    xvfb xauth dbus dbus-x11 at-spi2-core python3-pyatspi python3-gi gir1.2-atspi-2.0
    # the start-up benchmark: when the main window is viewable, seen from outside
    x11-utils
    # the install and package check: the validators of the desktop entry and metainfo
    desktop-file-utils appstream dpkg-dev
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    if [[ "$status" != "installed" ]]; then
        missing+=("$package")
    fi
done

if [[ ${#missing[@]} -eq 0 ]]; then
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
as_root=()
if [[ $(id -u) -ne 0 ]]; then
    as_root=(sudo)
fi
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y --no-install-recommends "${missing[@]}"
