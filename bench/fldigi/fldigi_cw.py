#!/usr/bin/python3
"""fldigi's CW decoder on saved sound files, scored by the bench's own rule beside ours.

    fldigi_cw.py BENCH WAV...

BENCH is bench_copy_from_sound: its --score gives our decoder's rate on each file, its --cer
scores fldigi's copy of the same file, so one function scores both. Runs inside a private
PulseAudio server (tests/realsound/with-null-sink.sh): each file is played in real time into its
null sink, and fldigi, on a virtual display with its own settings in a temporary folder, hears
the sink's monitor. fldigi keeps its defaults but for the mode (CW), the carrier (700 Hz), and
what a first start would ask; it is started afresh in CW for each file, as ours starts afresh.
"""

import os
import re
import signal
import socket
import subprocess
import sys
import tempfile
import time
import wave
import xmlrpc.client

# What the first start's wizard would ask, and the sound server; everything else is fldigi's
# default. AUDIOIO 2 is PulseAudio.
CONFIG = """<?xml version="1.0" encoding="UTF-8"?>
<FLDIGI_DEFS>
<MYCALL>N0CALL</MYCALL>
<AUDIOIO>2</AUDIOIO>
<PULSESERVER></PULSESERVER>
<CONFIRMEXIT>0</CONFIRMEXIT>
</FLDIGI_DEFS>
"""
# The settings reported with the figures, read back from what fldigi saved.
REPORTED = ("CWTRACK", "CWSPEED", "CWRANGE", "CWLOWERLIMIT", "CWUPPERLIMIT", "CWBANDWIDTH",
            "CWMFILT", "CWUSESOMDECODING", "CWRX_ATTACK", "CWRX_DECAY", "CW_BPF_ON",
            "AFCON", "SQUELCH", "SQUELCHLEVEL", "RSID", "RX_LOWERCASE")
NAME = re.compile(r"^(?P<fist>[a-z]+)-(?P<wpm>\d+)wpm-(?P<snr>.+?)-(?P<n>\d+)\.wav$")


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def stop(process, name):
    """Stops a process we started, by its PID: TERM, then KILL after 5 s."""
    if process is None or process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(5)
    except subprocess.TimeoutExpired:
        print(f"{name} ignored TERM, killed", file=sys.stderr)
        process.kill()
        process.wait()


def start_display(folder):
    """Xvfb on a display number it picks itself (no fixed number), told back through a pipe."""
    read_end, write_end = os.pipe()
    process = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp",
                                "-screen", "0", "1024x768x24"], pass_fds=(write_end,),
                               stdout=subprocess.DEVNULL,
                               stderr=open(os.path.join(folder, "xvfb.log"), "w"))
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    if not number:
        raise RuntimeError("Xvfb did not start")
    return process, ":" + number


def start_fldigi(folder, display):
    config = os.path.join(folder, "config")
    home = os.path.join(folder, "home")
    os.makedirs(config)
    os.makedirs(home)
    with open(os.path.join(config, "fldigi_def.xml"), "w") as f:
        f.write(CONFIG)
    port = free_port()
    env = dict(os.environ, DISPLAY=display, PULSE_SOURCE="nullsink.monitor",
               PULSE_SINK="fldigiout")
    # Every server it offers on its own port; the message-queue keys apart from any other run.
    key = 0x5000 + os.getpid() % 0x4000
    args = ["fldigi", "--config-dir", config, "--home-dir", home,
            "--xmlrpc-server-port", str(port), "--arq-server-port", str(free_port()),
            "--kiss-server-port-io", str(free_port()), "--kiss-server-port-o", str(free_port()),
            "--rx-ipc-key", str(key), "--tx-ipc-key", str(key + 1)]
    process = subprocess.Popen(args, env=env, stdout=subprocess.DEVNULL,
                               stderr=open(os.path.join(folder, "fldigi.log"), "w"))
    server = xmlrpc.client.ServerProxy(f"http://127.0.0.1:{port}", allow_none=True)
    for _ in range(300):  # at most 30 s
        if process.poll() is not None:
            raise RuntimeError("fldigi exited at start, see " + folder)
        try:
            server.fldigi.version()
            return process, server, config
        except OSError:
            time.sleep(0.1)
    raise RuntimeError("fldigi's XML-RPC server did not answer")


def rx_text(server):
    length = server.text.get_rx_length()
    data = server.text.get_rx(0, length) if length > 0 else b""
    # A base64 value, that xmlrpc.client hands over as Binary.
    if isinstance(data, xmlrpc.client.Binary):
        data = data.data
    elif isinstance(data, str):
        data = data.encode()
    return data.decode("utf-8", errors="replace")


def normalized(text):
    # The bench's texts: capitals, single spaces, "=" for BT; fldigi breaks lines, may double
    # spaces and writes BT as a prosign.
    return " ".join(text.upper().replace("<BT>", "=").split())


def fldigi_copy(server, path):
    # Afresh for each file: another mode and back starts the CW decoder over, at its default
    # speed, as ours is.
    server.modem.set_by_name("BPSK31")
    time.sleep(0.5)
    server.modem.set_by_name("CW")
    server.modem.set_carrier(700)
    time.sleep(1.0)
    server.text.clear_rx()
    with wave.open(path) as w:
        seconds = w.getnframes() / w.getframerate()
    started = time.monotonic()
    subprocess.run(["paplay", "--device=nullsink", path], check=True)
    played = time.monotonic() - started
    if played < seconds * 0.95:
        raise RuntimeError(f"{path}: played in {played:.1f} s, not in real time")
    # The last character is decided after the gap that ends it; the file ends in a second of
    # silence, then let the text settle.
    time.sleep(1.0)
    text, last = rx_text(server), None
    while text != last:
        time.sleep(1.0)
        text, last = rx_text(server), text
    return text


def cer(bench, path, decoded):
    out = subprocess.run([bench, "--cer", path[:-4] + ".txt"], input=decoded, text=True,
                         capture_output=True, check=True).stdout
    return float(out)


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    bench, paths = sys.argv[1], sys.argv[2:]
    points = {}
    for path in paths:
        m = NAME.match(os.path.basename(path))
        if not m:
            sys.exit(f"not a saved point's file: {path}")
        points.setdefault((m["fist"], int(m["wpm"]), m["snr"]), []).append(path)

    # Ours first, alone: its decoding would take the processor from fldigi's real-time input.
    ours = {}
    for line in subprocess.run([bench, "--score", *paths], capture_output=True, text=True,
                               check=True).stdout.splitlines():
        rate, path = line.split(" ", 1)
        ours[path] = float(rate)

    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    folder = tempfile.mkdtemp(prefix="fldigi-cw-")
    display = fldigi = server = None
    module = None
    theirs = {}
    try:
        # fldigi's own output (silence while it receives) apart from the sink it hears.
        module = subprocess.run(["pactl", "load-module", "module-null-sink",
                                 "sink_name=fldigiout"], capture_output=True, text=True,
                                check=True).stdout.strip()
        display, name = start_display(folder)
        fldigi, server, config = start_fldigi(folder, name)
        print(f"fldigi {server.fldigi.version()}, work folder {folder}", file=sys.stderr)
        for path in paths:
            text = fldigi_copy(server, path)
            theirs[path] = cer(bench, path, normalized(text))
            with open(os.path.join(folder, os.path.basename(path)[:-4] + ".fldigi.txt"),
                      "w") as f:
                f.write(text)
            print(f"{os.path.basename(path)}: ours {ours[path]:.4f}, fldigi "
                  f"{theirs[path]:.4f}: {normalized(text)[:60]}", file=sys.stderr)
        try:
            server.fldigi.terminate(1)  # saves its settings (bit 0), to report them
            fldigi.wait(10)
        except (OSError, xmlrpc.client.Error, subprocess.TimeoutExpired):
            pass
        with open(os.path.join(config, "fldigi_def.xml"), errors="replace") as f:
            saved = f.read()
        settings = []
        for tag in REPORTED:
            m = re.search(f"<{tag}>(.*?)</{tag}>", saved)
            if m:
                settings.append(f"{tag}={m[1]}")
        print("fldigi's settings: " + ", ".join(settings))
    finally:
        stop(fldigi, "fldigi")
        stop(display, "Xvfb")
        if module:
            subprocess.run(["pactl", "unload-module", module], check=False)

    print("\n| fist | WPM | SNR | files | ours | fldigi |")
    print("|---|---|---|---|---|---|")
    for (fist, wpm, snr), files in points.items():
        def mean(rates):
            return 100 * sum(rates[p] for p in files) / len(files)
        print(f"| {fist} | {wpm} | {snr} | {len(files)} | {mean(ours):.1f} % | "
              f"{mean(theirs):.1f} % |")


if __name__ == "__main__":
    main()
