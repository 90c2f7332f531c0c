#!/usr/bin/env python3
"""Desktop check of 音声から解読, the window that decodes sound, opened from the menu by keys.

A WAV file keyed here by the timing rule (PARIS three times, 20 WPM, 700 Hz, 4 ms ramps) is
opened through the file dialog, and the decoded text, pitch and speed are read back through
AT-SPI. Beside a private PulseAudio server (run under with-null-sink.sh), the null sink's
monitor is then recorded while paplay plays the same file into the sink, and read back alike;
without one that part is left out and said so.

    decode_check.py PROGRAM [--screenshot FILE]

Exit status: 0 passed, 1 failed (naming the step), 77 skipped (no Xvfb, D-Bus or pyatspi).
"""

import math
import os
import re
import shutil
import struct
import subprocess
import sys
import wave

from desktop_session import (ALT, FocusWatch, LABEL, PUSH_BUTTON, TEXT_FIELD, click,
                             current_description, has_state, make_log, press_key,
                             wait_until, walk)
from peer_check import REACTION_TIMEOUT, PeerCheck, StepFailed, main, require

TOTAL_TIMEOUT = 150
TITLE, DIALOG_TITLE = "音声から解読", "解読するWAVファイル"
TEXT, WPM, PITCH_HZ, RATE = "PARIS PARIS PARIS", 20, 700, 48000
# The first word may go to learning the fist: the rest must be read right.
EXPECTED = "PARIS PARIS"
MORSE = {"P": ".--.", "A": ".-", "R": ".-.", "I": "..", "S": "..."}
DECODE_TIMEOUT = 30  # a file is decoded in a second or two; played sound takes its 10 s
MONITOR_MARK = "（出力のモニター）"

log = make_log("decode_check")


def keyed_wave(path):
    """The text keyed by the rule: dot 1200 / WPM ms, dash three dots, gaps of one, three and
    seven dots, a second of silence either side."""
    dot = 1.2 / WPM * RATE
    key = [False] * RATE
    for word in TEXT.split():
        for index, letter in enumerate(word):
            if index:
                key += [False] * round(2 * dot)  # with the element gap before it: three dots
            for sign in MORSE[letter]:
                key += [True] * round((3 if sign == "-" else 1) * dot) + [False] * round(dot)
        key += [False] * round(6 * dot)
    key += [False] * RATE
    level, ramp, frames = 0.0, 1.0 / (0.004 * RATE), bytearray()
    for n, down in enumerate(key):
        level = min(1.0, level + ramp) if down else max(0.0, level - ramp)
        sample = 0.5 * level * math.sin(2 * math.pi * PITCH_HZ * n / RATE)
        frames += struct.pack("<h", round(sample * 32767))
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(bytes(frames))


class Decoding(PeerCheck):
    """The steps of decoding a file and a played sound; each raises StepFailed with what it saw."""

    NAME = "decode"
    CONTROLS = [("callsign", "コールサイン", TEXT_FIELD)]

    def program_environment(self):
        server = os.environ.get("PULSE_SERVER", "")
        return {"PULSE_SERVER": server} if server else {}

    def control(self, name, roles):
        self.window.clear_cache()
        found = [node for node, role, node_name, _ in walk(self.window)
                 if node_name == name and role in roles]
        return require(found, f"the window '{TITLE}' has no control '{name}'")[0]

    def copy_of_signal_1(self):
        """What signal 1's copy box holds; "" while there is none (its row hidden)."""
        try:
            return " ".join(self.control("信号1の解読文", TEXT_FIELD).queryText().getText(0, -1)
                            .split())
        except (NotImplementedError, StepFailed):
            return ""

    def signal_shows(self, expected_text):
        """Waits until signal 1's copy holds the text; checks its pitch and speed by the rule."""
        self.wait(lambda: expected_text in self.copy_of_signal_1(), DECODE_TIMEOUT,
                  lambda: f"signal 1 did not read '{expected_text}' within {DECODE_TIMEOUT} s "
                          f"(it reads '{self.copy_of_signal_1()}'; status "
                          f"'{current_description(self.status)}')")
        pitch = current_description(self.control("信号1の周波数", LABEL))
        speed = current_description(self.control("信号1の速度", LABEL))
        hz = int(re.match(r"(\d+) Hz", pitch).group(1)) if re.match(r"\d+ Hz", pitch) else 0
        wpm = int(re.match(r"(\d+) WPM", speed).group(1)) if re.match(r"\d+ WPM", speed) else 0
        require(abs(hz - PITCH_HZ) <= 5, f"signal 1's pitch reads '{pitch}', not {PITCH_HZ} Hz")
        require(abs(wpm - WPM) <= WPM / 10, f"signal 1's speed reads '{speed}', not {WPM} WPM")
        self.log(f"signal 1: '{self.copy_of_signal_1()}' at {pitch}, {speed}")

    # -- the steps ----------------------------------------------------------------------------

    def open_window(self):
        click(self.controls["callsign"])
        require(FocusWatch.wait_for(self.controls["callsign"], REACTION_TIMEOUT),
                "a click on 'コールサイン' did not give the main window the keyboard")
        press_key("o", ALT)
        press_key("d")
        self.window = self.wait_for_window(TITLE)
        self.status = self.control("状態", LABEL)

    def decode_file(self):
        self.wave = os.path.join(self.session.make_dir("sound"), "paris.wav")
        keyed_wave(self.wave)
        press_key("w", ALT)
        dialog = self.wait_for_window(DIALOG_TITLE)
        import pyatspi

        def name_field():
            fields = [node for node, role, _, _ in walk(dialog) if role in TEXT_FIELD
                      and has_state(node, pyatspi.STATE_FOCUSED)]
            return fields[0] if fields else None

        field = require(wait_until(name_field, REACTION_TIMEOUT),
                        "the file dialog's name field did not take the focus")
        field.queryEditableText().setTextContents(self.wave)
        press_key(0xFF0D)  # Return
        self.wait_for_no_window(DIALOG_TITLE, REACTION_TIMEOUT)
        self.signal_shows(EXPECTED)
        self.wait(lambda: "最後まで解読しました" in current_description(self.status),
                  DECODE_TIMEOUT, lambda: f"the status reads '{current_description(self.status)}'")

    def decode_played_sound(self):
        if not self.program_environment() or not shutil.which("paplay"):
            self.log("no private sound server (run under with-null-sink.sh): recording left out")
            return
        self.press(self.control("更新", PUSH_BUTTON))
        # The private server's one source is the null sink's monitor, chosen as the first.
        sources = self.control("入力", ("combo box",))
        self.wait(lambda: sources.clear_cache() or any(
                      MONITOR_MARK in name for _, _, name, _ in walk(sources)),
                  REACTION_TIMEOUT, "the inputs list no output's monitor")
        self.press(self.control("開始", PUSH_BUTTON))
        self.wait(lambda: "録音して解読" in current_description(self.status), REACTION_TIMEOUT,
                  lambda: f"recording did not start: '{current_description(self.status)}'")
        player = subprocess.run(["paplay", self.wave], timeout=DECODE_TIMEOUT)
        require(player.returncode == 0, f"paplay failed with status {player.returncode}")
        # The window must answer while it decodes: a status that cannot be read is a window
        # that has stopped.
        self.wait(lambda: current_description(self.status), REACTION_TIMEOUT,
                  "the window stopped answering while it recorded")
        self.signal_shows(EXPECTED)
        self.press(self.control("停止", PUSH_BUTTON))

    STEPS = [
        ("start the program", "start_program"),
        ("find the main window's controls", "find_window"),
        ("Alt+O, D opens 音声から解読", "open_window"),
        ("a keyed WAV file opened through the dialog is read back", "decode_file"),
        ("the null sink's monitor recorded while the file plays is read back",
         "decode_played_sound"),
        ("end the program with SIGTERM, the window still open", "termination"),
    ]


if __name__ == "__main__":
    sys.exit(main(__file__, __doc__.splitlines()[0], Decoding, log, TOTAL_TIMEOUT,
                  "/tmp/quillstart-decode.png"))
